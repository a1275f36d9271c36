// The flag type.
#include "level/Flag.h"

#include "framework/CommonLevel.h"
#include "framework/MeshFile.h"

namespace Flag
{
void LoadFlag()
{
    MeshLoadType(&sGameObjList[TYPE_FLAG], TYPE_FLAG, &sGameObjNum, LoadFlagMesh, "Meshes/flagmesh.txt",
                 MESH_LOADER_FLAG, __LINE__);
}
} // namespace Flag
