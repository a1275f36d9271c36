// The diamond type.
#include "level/Coins.h"

#include "framework/CommonLevel.h"
#include "framework/MeshFile.h"

namespace Coins
{
void LoadCoins()
{
    MeshLoadType(&sGameObjList[TYPE_DIAMOND], TYPE_DIAMOND, &sGameObjNum, LoadMesh, "Meshes/invulnmesh.txt",
                 MESH_LOADER_COINS, __LINE__);
}
} // namespace Coins
