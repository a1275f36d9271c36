// The primitive lists on the memory device: what the builders stage, what the registries and vertex stores
// hold after frees in any order, the rebuild after a device reset, the draw counts, and every check.
#include "ChildProcess.h"
#include "MemDevice.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

static bool operator==(const KoGfxVertex& p, const KoGfxVertex& q)
{
    return p.x == q.x && p.y == q.y && p.z == q.z && p.colour == q.colour;
}

namespace
{

const bool TRI = true, LINE = false;

struct Built
{
    KoGfxVertexList* pList;
    std::vector<KoGfxVertex> vtx; // what the list was given
};

// A list of n triangles or lines whose every vertex is unique to (tag, corner).
Built Build(bool tri, int tag, int n)
{
    const int k = tri ? 3 : 2;
    Built b;
    for (int i = 0; i < n * k; ++i)
        b.vtx.push_back(
            {float(tag * 100000 + i), float(i % k), 0.0f, 0xFF000000u | unsigned(tag << 16) | unsigned(i)});
    tri ? KoGfxTriStart() : KoGfxLineStart();
    for (const KoGfxVertex* v = b.vtx.data(); v < b.vtx.data() + b.vtx.size(); v += k)
    {
        if (tri)
            KoGfxTriAdd(v[0].x, v[0].y, v[0].colour, v[1].x, v[1].y, v[1].colour, v[2].x, v[2].y,
                        v[2].colour);
        else
            KoGfxLineAdd(v[0].x, v[0].y, v[0].colour, v[1].x, v[1].y, v[1].colour);
    }
    b.pList = tri ? KoGfxTriEnd() : KoGfxLineEnd();
    return b;
}

// The store equals the lists' own vertices, concatenated in registry order, and every list's buffer holds
// exactly its vertices.
void ExpectStoreMatches(bool tri, const std::vector<Built>& alive)
{
    ASSERT_EQ(KoGfxListsRegistrySize(tri), alive.size());
    std::vector<KoGfxVertex> expected;
    for (size_t i = 0; i < alive.size(); ++i)
    {
        EXPECT_EQ(KoGfxListsRegistryEntry(tri, (unsigned int)i), alive[i].pList) << "registry order at " << i;
        EXPECT_TRUE(alive[i].vtx == MemBufferVertices(alive[i].pList->pVtxBuffer)) << "buffer of list " << i;
        expected.insert(expected.end(), alive[i].vtx.begin(), alive[i].vtx.end());
    }
    const KoGfxVertex* pStore = KoGfxListsStoreData(tri);
    EXPECT_TRUE(expected == std::vector<KoGfxVertex>(pStore, pStore + KoGfxListsStoreSize(tri)));
}

void Fill(bool tri, int n)
{
    for (int i = 0; i < n; ++i) tri ? KoGfxTriAdd(0, 0, 0, 1, 0, 0, 0, 1, 0) : KoGfxLineAdd(0, 0, 0, 1, 1, 0);
}

class PrimitiveLists : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        KoGfxListsFreeAll();
        KoGfxListsResetBuilders();
        MemReset();
    }
    void TearDown() override
    {
        KoGfxListsFreeAll();
        EXPECT_EQ(MemLiveBuffers(), 0) << "every buffer is released with its list";
    }
};

} // namespace

TEST_F(PrimitiveLists, DrawsCountThePrimitivesOfTheOperationNotOfTheList)
{
    Built t = Build(TRI, 1, 3), l = Build(LINE, 2, 3);
    ASSERT_TRUE(t.pList && t.pList->triFlag && l.pList && !l.pList->triFlag);
    KoGfxTriDraw(t.pList);
    KoGfxDraw(t.pList);
    KoGfxDraw(l.pList);
    KoGfxTriDraw(l.pList); // a line list drawn as triangles: 6 / 3
    std::string drawn;     // per draw: the list, triangles or lines, and the count
    for (const MemDraw& d : gMemDraws)
        drawn += std::string(d.pBuf == t.pList->pVtxBuffer ? "t" : "l") + "LT"[d.triangles] +
                 std::to_string(d.primNum) + " ";
    EXPECT_EQ(drawn, "tT3 tT3 lL3 lT2 ");
}

TEST_F(PrimitiveLists, FreeingInAnyOrderKeepsTheStoreInRegistryOrder)
{
    int order[4] = {0, 1, 2, 3};
    do
    {
        std::vector<Built> tris  = {Build(TRI, 1, 2), Build(TRI, 2, 1), Build(TRI, 3, 4), Build(TRI, 4, 3)};
        std::vector<Built> lines = {Build(LINE, 5, 1), Build(LINE, 6, 3), Build(LINE, 7, 2),
                                    Build(LINE, 8, 1)};
        for (int k = 0; k < 4; ++k) // triangles freed in the order, lines in the reverse order
        {
            KoGfxFree(tris[order[k]].pList);
            KoGfxFree(lines[order[3 - k]].pList);
            std::vector<Built> aliveT, aliveL;
            for (int i = 0; i < 4; ++i)
            {
                if (std::find(order + k + 1, order + 4, i) != order + 4) aliveT.push_back(tris[i]);
                if (std::find(order, order + 3 - k, i) != order + 3 - k) aliveL.push_back(lines[i]);
            }
            ExpectStoreMatches(TRI, aliveT);
            ExpectStoreMatches(LINE, aliveL);
            if (HasFailure()) return;
        }
        EXPECT_EQ(MemLiveBuffers(), 0);
    } while (std::next_permutation(order, order + 4));
}

TEST_F(PrimitiveLists, RebuildAfterAResetRestoresEveryListIntoTheSameRecord)
{
    Built a = Build(TRI, 1, 2);
    Built b = Build(TRI, 2, 3);
    Built c = Build(TRI, 3, 1);
    Built l = Build(LINE, 4, 3);
    Built m = Build(LINE, 5, 2);
    KoGfxTriFree(a.pList); // b now starts at vertex 0 of the store
    KoGfxLineFree(l.pList);

    KoGfxListsReleaseAll();
    EXPECT_TRUE(MemLiveBuffers() == 0 && KoGfxListsRegistrySize(TRI) == 2 && KoGfxListsStoreSize(TRI) == 12);

    KoGfxListsRebuildAll();
    EXPECT_EQ(MemLiveBuffers(), 3);
    ExpectStoreMatches(TRI, {b, c});
    ExpectStoreMatches(LINE, {m});
    // Lists built after the reset follow the rebuilt ones.
    Built d = Build(TRI, 6, 2);
    ExpectStoreMatches(TRI, {b, c, d});
}

TEST_F(PrimitiveLists, AnEndThatFailsReturnsNullAndLeavesLaterListsOfTheFullSizeSound)
{
    Built a = Build(TRI, 1, 2);
    KoGfxTriStart();
    EXPECT_EQ(KoGfxTriEnd(), nullptr) << "no primitive: the device refuses a buffer of length 0";
    gMemFailCreateAt = 1;
    EXPECT_EQ(Build(TRI, 2, 3).pList, nullptr);
    gMemFailLockAt = 1;
    EXPECT_EQ(Build(TRI, 3, 2).pList, nullptr);
    gMemFailCreateAt = 1;
    EXPECT_EQ(Build(LINE, 4, 2).pList, nullptr);
    EXPECT_EQ(MemLiveBuffers(), 1) << "the buffer that could not be locked is released";
    ExpectStoreMatches(TRI, {a});
    ExpectStoreMatches(LINE, {});

    Built b = Build(TRI, 5, KO_GFX_TRI_NUM_MAX),
          l = Build(LINE, 6, KO_GFX_LINE_NUM_MAX); // the builders' full size
    ExpectStoreMatches(TRI, {a, b});
    ExpectStoreMatches(LINE, {l});
}

TEST(PrimitiveListChecks, EveryCheckPrintsItsReportAndEndsWithCodeOne)
{
    const std::string file = "\nFile: src/engine/KoGfxLists.cpp\n";
    auto mesg              = [&](const char* expr, const char* func, const char* text)
    {
        return std::string("KO_ASSERT_MESG: ") + expr + "\nLine: N\nFunc: " + func + file + "Mesg: " + text +
               "\n";
    };
    auto parm = [&](const char* name, const char* func)
    { return std::string("KO_ASSERT_PARM: ") + name + "\nLine: N\nFunc: " + func + file; };
    const std::pair<void (*)(), std::string> cases[] = {
        {[] { Fill(TRI, 1); }, mesg("sTriFlag", "KoGfxTriAdd", "triangle list is NOT started yet!!")},
        {[] { KoGfxTriStart(), KoGfxTriStart(); },
         mesg("sTriFlag == false", "KoGfxTriStart", "triangle list was started already!!")},
        {[] { KoGfxTriStart(), Fill(TRI, KO_GFX_TRI_NUM_MAX + 1); },
         mesg("sTriNum < KO_GFX_TRI_NUM_MAX", "KoGfxTriAdd", "triangle list overflow!!")},
        {[] { Fill(LINE, 1); }, mesg("sLineFlag", "KoGfxLineAdd", "line list is NOT started yet!!")},
        {[] { KoGfxLineStart(), KoGfxLineStart(); },
         mesg("sLineFlag == false", "KoGfxLineStart", "line list was started already!!")},
        {[] { KoGfxLineStart(), Fill(LINE, KO_GFX_LINE_NUM_MAX + 1); },
         mesg("sLineNum < KO_GFX_LINE_NUM_MAX", "KoGfxLineAdd", "line list overflow!!")},
        {[] { KoGfxTriDraw(nullptr); }, parm("pTriList", "KoGfxTriDraw")},
        {[] { KoGfxDraw(nullptr); }, parm("pVtxList", "KoGfxDraw")},
        {[] { KoGfxTriFree(nullptr); }, parm("pTriList", "KoGfxTriFree")},
        {[] { KoGfxLineFree(nullptr); }, parm("pLineList", "KoGfxLineFree")},
        {[] { KoGfxFree(nullptr); }, parm("pVtxList", "KoGfxFree")},
        {[]
         {
             Build(TRI, 1, 1);
             gMemExtraRefs = 2;
             Build(TRI, 2, 1);
             KoGfxListsReleaseAll();
         },
         mesg("0", "OnLostDevice",
              "The vertex buffer object failed to cleanup properly.\nRelease() returned a reference count of "
              "2")},
        {[]
         {
             Build(TRI, 1, 1);
             Build(TRI, 2, 2);
             KoGfxListsReleaseAll();
             gMemFailCreateAt = 2;
             KoGfxListsRebuildAll();
         },
         mesg("0", "OnResetDevice", "Failed to recreate the vtx buffer of 6 vertices")},
        {[]
         {
             Build(LINE, 1, 3);
             KoGfxListsReleaseAll();
             gMemFailLockAt = 1;
             KoGfxListsRebuildAll();
         },
         mesg("0", "OnResetDevice", "Failed to lock the vtx buffer of 6 vertices")},
    };
    for (const auto& c : cases)
    {
        ChildResult r = RunInChild(c.first);
        EXPECT_EQ(r.exitCode, 1) << c.second;
        EXPECT_EQ(WithoutLineNumbers(r.out), c.second);
    }
}
