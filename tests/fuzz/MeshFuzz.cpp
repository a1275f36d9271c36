// The three mesh readers (general, monster, flag) over one input, each into a triangle list of its own on
// the memory device. Every list they build holds whole triangles of finite corners; the monster shape
// always starts with its 25-triangle circle and the flag has at most its two rectangles.
#include "FuzzFile.h"
#include "MemDevice.h"
#include "engine/KoGraphics.h"
#include "framework/MeshFile.h"

#include <cctype>
#include <cmath>

// Reads the input into a list of its own and checks the list; returns its triangle count (0: no list).
static size_t ReadAndCheck(MeshReader reader, const char* path)
{
    KoGfxTriStart();
    reader(path);
    KoGfxVertexList* pList = KoGfxTriEnd();
    if (!pList) return 0;
    std::vector<KoGfxVertex> vtx = MemBufferVertices(pList->pVtxBuffer);
    FUZZ_CHECK(vtx.size() % 3 == 0 && !vtx.empty() && vtx.size() <= 3 * KO_GFX_TRI_NUM_MAX);
    for (const KoGfxVertex& v : vtx) FUZZ_CHECK(std::isfinite(v.x) && std::isfinite(v.y));
    KoGfxFree(pList);
    return vtx.size() / 3;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = FuzzWriteFile("mesh.txt", data, size);
    // Whitespace-separated tokens: enough to tell whether a reader could pass the triangle limit of one
    // list, which ends the game on purpose and is no fault of the reader.
    size_t tokens = 0;
    for (size_t i = 0; i < size; ++i) tokens += !isspace(data[i]) && (i == 0 || isspace(data[i - 1]));

    if (tokens / 9 <= KO_GFX_TRI_NUM_MAX) ReadAndCheck(LoadMesh, path);
    if (25 + 2 * (tokens / 5) <= KO_GFX_TRI_NUM_MAX)
    {
        size_t triangles = ReadAndCheck(LoadMonsterMesh, path);
        FUZZ_CHECK(triangles >= 25 && (triangles - 25) % 2 == 0);
    }
    size_t triangles = ReadAndCheck(LoadFlagMesh, path);
    FUZZ_CHECK(triangles <= 4 && triangles % 2 == 0);
    FUZZ_CHECK(MemLiveBuffers() == 0);
    return 0;
}
