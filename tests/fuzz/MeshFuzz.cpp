// The three mesh readers (general, monster, flag) over one input, each into a triangle list of its own on
// the memory device. Every list they build holds whole triangles of finite corners; the monster shape
// always starts with its 25-triangle circle and the flag has at most its two rectangles.
#include "FuzzFile.h"
#include "MemDevice.h"
#include "engine/KoGraphics.h"
#include "framework/MeshFile.h"

#include <cctype>
#include <cmath>

// Whitespace-separated tokens of the input: enough to tell whether a reader could pass the triangle limit
// of one list, which ends the game on purpose and is no fault of the reader.
static size_t CountTokens(const uint8_t* data, size_t size)
{
    size_t tokens = 0;
    bool inToken  = false;
    for (size_t i = 0; i < size; ++i)
    {
        bool space = isspace(data[i]) != 0;
        if (!space && !inToken) ++tokens;
        inToken = !space;
    }
    return tokens;
}

// Closes the open list and checks it; returns its triangle count (0 when no list was built).
static size_t EndAndCheck()
{
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
    size_t tokens    = CountTokens(data, size);

    if (tokens / 9 <= KO_GFX_TRI_NUM_MAX)
    {
        KoGfxTriStart();
        LoadMesh(path);
        EndAndCheck();
    }
    if (25 + 2 * (tokens / 5) <= KO_GFX_TRI_NUM_MAX)
    {
        KoGfxTriStart();
        LoadMonsterMesh(path);
        size_t triangles = EndAndCheck();
        FUZZ_CHECK(triangles >= 25 && (triangles - 25) % 2 == 0);
    }
    KoGfxTriStart();
    LoadFlagMesh(path);
    size_t triangles = EndAndCheck();
    FUZZ_CHECK(triangles <= 4 && triangles % 2 == 0);

    FUZZ_CHECK(MemLiveBuffers() == 0);
    return 0;
}
