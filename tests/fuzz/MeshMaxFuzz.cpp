// The bounded mesh reader of the mesh editor's preview. The first byte of the input is the bound (255
// stands for the editor's own bound, the triangle limit of one list); the rest is the file. The reader
// adds at most that many triangles and says how many it added.
#include "FuzzFile.h"
#include "MemDevice.h"
#include "engine/KoGraphics.h"
#include "framework/MeshFile.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    int bound        = data[0] == 255 ? KO_GFX_TRI_NUM_MAX : data[0];
    const char* path = FuzzWriteFile("mesh.txt", data + 1, size - 1);

    KoGfxTriStart();
    int added              = LoadMeshMax(path, bound);
    KoGfxVertexList* pList = KoGfxTriEnd();
    FUZZ_CHECK(added >= 0 && added <= bound);
    FUZZ_CHECK((pList != nullptr) == (added > 0));
    if (pList)
    {
        std::vector<KoGfxVertex> vtx = MemBufferVertices(pList->pVtxBuffer);
        FUZZ_CHECK(vtx.size() == 3 * size_t(added));
        for (const KoGfxVertex& v : vtx) FUZZ_CHECK(std::isfinite(v.x) && std::isfinite(v.y));
        KoGfxFree(pList);
    }
    FUZZ_CHECK(MemLiveBuffers() == 0);
    return 0;
}
