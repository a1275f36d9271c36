// The primitive lists on the memory device: what the builders stage, what the registries and vertex stores
// hold after frees in any order, the rebuild after a device reset, the draw counts, and every check.
#include "ChildProcess.h"
#include "MemDevice.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace
{

struct Built
{
    KoGfxVertexList* pList;
    std::vector<KoGfxVertex> vtx; // what the list was given
};

// A triangle list of n triangles whose every vertex is unique to (tag, triangle, corner).
Built BuildTris(int tag, int n)
{
    Built b;
    KoGfxTriStart();
    for (int i = 0; i < n; ++i)
    {
        float x        = (float)(tag * 1000 + i * 10);
        unsigned int c = 0xFF000000u | (unsigned int)(tag << 16) | (unsigned int)i;
        KoGfxTriAdd(x, 1.0f, c, x + 1.0f, 2.0f, c + 1, x + 2.0f, 3.0f, c + 2);
        b.vtx.push_back({x, 1.0f, 0.0f, c});
        b.vtx.push_back({x + 1.0f, 2.0f, 0.0f, c + 1});
        b.vtx.push_back({x + 2.0f, 3.0f, 0.0f, c + 2});
    }
    b.pList = KoGfxTriEnd();
    return b;
}

Built BuildLines(int tag, int n)
{
    Built b;
    KoGfxLineStart();
    for (int i = 0; i < n; ++i)
    {
        float x        = (float)(tag * 1000 + i * 10);
        unsigned int c = 0x80000000u | (unsigned int)(tag << 8) | (unsigned int)i;
        KoGfxLineAdd(x, -1.0f, c, x + 5.0f, -2.0f, c + 7);
        b.vtx.push_back({x, -1.0f, 0.0f, c});
        b.vtx.push_back({x + 5.0f, -2.0f, 0.0f, c + 7});
    }
    b.pList = KoGfxLineEnd();
    return b;
}

bool SameVertices(const std::vector<KoGfxVertex>& a, const KoGfxVertex* pB, size_t nB)
{
    if (a.size() != nB) return false;
    for (size_t i = 0; i < nB; ++i)
        if (a[i].x != pB[i].x || a[i].y != pB[i].y || a[i].z != pB[i].z || a[i].colour != pB[i].colour)
            return false;
    return true;
}

std::vector<KoGfxVertex> Store(bool tri)
{
    const KoGfxVertex* p = KoGfxListsStoreData(tri);
    return std::vector<KoGfxVertex>(p, p + KoGfxListsStoreSize(tri));
}

// The store equals the lists' own vertices, concatenated in registry order, and every list's buffer holds
// exactly its vertices.
void ExpectStoreMatches(bool tri, const std::vector<Built>& alive)
{
    std::vector<KoGfxVertex> expected;
    ASSERT_EQ(KoGfxListsRegistrySize(tri), alive.size());
    for (size_t i = 0; i < alive.size(); ++i)
    {
        EXPECT_EQ(KoGfxListsRegistryEntry(tri, (unsigned int)i), alive[i].pList) << "registry order at " << i;
        expected.insert(expected.end(), alive[i].vtx.begin(), alive[i].vtx.end());
        std::vector<KoGfxVertex> inBuffer = MemBufferVertices(alive[i].pList->pVtxBuffer);
        EXPECT_TRUE(SameVertices(alive[i].vtx, inBuffer.data(), inBuffer.size())) << "buffer of list " << i;
    }
    std::vector<KoGfxVertex> store = Store(tri);
    EXPECT_TRUE(SameVertices(expected, store.data(), store.size()));
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

TEST_F(PrimitiveLists, EndHandsBackARecordWhoseBufferHoldsTheStagedVertices)
{
    Built t = BuildTris(1, 3);
    Built l = BuildLines(2, 4);
    ASSERT_NE(t.pList, nullptr);
    ASSERT_NE(l.pList, nullptr);
    EXPECT_EQ(t.pList->vtxNum, 9u);
    EXPECT_TRUE(t.pList->triFlag);
    EXPECT_EQ(l.pList->vtxNum, 8u);
    EXPECT_FALSE(l.pList->triFlag);
    ExpectStoreMatches(true, {t});
    ExpectStoreMatches(false, {l});
    // The builders are closed and empty again: the next lists start from scratch.
    Built t2 = BuildTris(3, 1);
    EXPECT_EQ(t2.pList->vtxNum, 3u);
    ExpectStoreMatches(true, {t, t2});
}

TEST_F(PrimitiveLists, FreeingInAnyOrderKeepsTheStoreInRegistryOrder)
{
    int order[4] = {0, 1, 2, 3};
    do
    {
        std::vector<Built> tris   = {BuildTris(1, 2), BuildTris(2, 1), BuildTris(3, 4), BuildTris(4, 3)};
        std::vector<Built> lines  = {BuildLines(5, 1), BuildLines(6, 3), BuildLines(7, 2), BuildLines(8, 1)};
        std::vector<Built> aliveT = tris, aliveL = lines;
        for (int k = 0; k < 4; ++k)
        {
            const Built& t = tris[order[k]];
            const Built& l = lines[order[3 - k]];
            KoGfxFree(t.pList);
            KoGfxFree(l.pList);
            aliveT.erase(std::find_if(aliveT.begin(), aliveT.end(),
                                      [&](const Built& b) { return b.pList == t.pList; }));
            aliveL.erase(std::find_if(aliveL.begin(), aliveL.end(),
                                      [&](const Built& b) { return b.pList == l.pList; }));
            ExpectStoreMatches(true, aliveT);
            ExpectStoreMatches(false, aliveL);
            if (HasFailure()) return;
        }
        EXPECT_EQ(MemLiveBuffers(), 0);
    } while (std::next_permutation(order, order + 4));
}

TEST_F(PrimitiveLists, RebuildAfterAResetRestoresEveryListIntoTheSameRecord)
{
    Built a = BuildTris(1, 2);
    Built b = BuildTris(2, 3);
    Built c = BuildTris(3, 1);
    Built l = BuildLines(4, 3);
    Built m = BuildLines(5, 2);
    KoGfxTriFree(a.pList); // b now starts at vertex 0 of the store
    KoGfxLineFree(l.pList);

    KoGfxListsReleaseAll();
    EXPECT_EQ(MemLiveBuffers(), 0);
    EXPECT_EQ(KoGfxListsRegistrySize(true), 2u);
    EXPECT_EQ(KoGfxListsStoreSize(true), 12u);

    KoGfxListsRebuildAll();
    EXPECT_EQ(MemLiveBuffers(), 3);
    ExpectStoreMatches(true, {b, c});
    ExpectStoreMatches(false, {m});
    EXPECT_TRUE(b.pList->triFlag);
    EXPECT_FALSE(m.pList->triFlag);

    // Lists built after the reset follow the rebuilt ones.
    Built d = BuildTris(6, 2);
    ExpectStoreMatches(true, {b, c, d});
}

TEST_F(PrimitiveLists, DrawCountsFollowTheOperationAndTheFlag)
{
    Built t = BuildTris(1, 3);  // 9 vertices
    Built l = BuildLines(2, 3); // 6 vertices
    KoGfxTriDraw(t.pList);
    KoGfxDraw(t.pList);
    KoGfxDraw(l.pList);
    KoGfxTriDraw(l.pList); // a line list drawn as triangles: 6 / 3
    ASSERT_EQ(gMemDraws.size(), 4u);
    EXPECT_TRUE(gMemDraws[0].triangles && gMemDraws[0].primNum == 3);
    EXPECT_TRUE(gMemDraws[1].triangles && gMemDraws[1].primNum == 3);
    EXPECT_TRUE(!gMemDraws[2].triangles && gMemDraws[2].primNum == 3);
    EXPECT_TRUE(gMemDraws[3].triangles && gMemDraws[3].primNum == 2);
    EXPECT_EQ(gMemDraws[2].pBuf, l.pList->pVtxBuffer);
}

TEST_F(PrimitiveLists, AnEndThatFailsReturnsNullAndLeavesLaterListsSound)
{
    Built a = BuildTris(1, 2);

    // No primitive: the device refuses a buffer of length 0.
    KoGfxTriStart();
    EXPECT_EQ(KoGfxTriEnd(), nullptr);
    // The device cannot make the buffer, or cannot lock it.
    gMemFailCreateAt = 1;
    EXPECT_EQ(BuildTris(2, 3).pList, nullptr);
    gMemFailLockAt = 1;
    EXPECT_EQ(BuildTris(3, 2).pList, nullptr);
    gMemFailCreateAt = 1;
    EXPECT_EQ(BuildLines(4, 2).pList, nullptr);

    EXPECT_EQ(MemLiveBuffers(), 1) << "the buffer that could not be locked is released";
    ExpectStoreMatches(true, {a});
    ExpectStoreMatches(false, {});

    Built b = BuildTris(5, 1);
    Built l = BuildLines(6, 2);
    ASSERT_NE(b.pList, nullptr);
    ASSERT_NE(l.pList, nullptr);
    KoGfxListsReleaseAll();
    KoGfxListsRebuildAll();
    ExpectStoreMatches(true, {a, b});
    ExpectStoreMatches(false, {l});
}

TEST_F(PrimitiveLists, TheStagingArraysTakeTheirFullSize)
{
    Built t = BuildTris(0, KO_GFX_TRI_NUM_MAX);
    Built l = BuildLines(0, KO_GFX_LINE_NUM_MAX);
    ASSERT_NE(t.pList, nullptr);
    ASSERT_NE(l.pList, nullptr);
    EXPECT_EQ(t.pList->vtxNum, 3u * KO_GFX_TRI_NUM_MAX);
    EXPECT_EQ(l.pList->vtxNum, 2u * KO_GFX_LINE_NUM_MAX);
    ExpectStoreMatches(true, {t});
}

TEST_F(PrimitiveLists, ResettingTheBuildersClosesOpenLists)
{
    KoGfxTriStart();
    KoGfxTriAdd(0, 0, 0, 1, 0, 0, 0, 1, 0);
    KoGfxLineStart();
    KoGfxListsResetBuilders();
    // Both can be started again, and End sees no staged primitive from before.
    KoGfxTriStart();
    KoGfxTriAdd(5, 0, 1, 6, 0, 1, 5, 1, 1);
    KoGfxVertexList* p = KoGfxTriEnd();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->vtxNum, 3u);
    KoGfxLineStart();
    KoGfxLineAdd(0, 0, 0, 1, 1, 0);
    EXPECT_NE(KoGfxLineEnd(), nullptr);
}

TEST(PrimitiveListChecks, EveryCheckPrintsItsReportAndEndsWithCodeOne)
{
    const std::string head = "Line: N\nFunc: ";
    const std::string file = "\nFile: src\\KoGraphics\n";
    auto mesg              = [&](const char* expr, const char* func, const char* text)
    { return std::string("KO_ASSERT_MESG: ") + expr + "\n" + head + func + file + "Mesg: " + text + "\n"; };
    auto parm = [&](const char* name, const char* func)
    { return std::string("KO_ASSERT_PARM: ") + name + "\n" + head + func + file; };
    auto fill = [](int n, bool tri)
    {
        for (int i = 0; i < n; ++i)
        {
            if (tri)
                KoGfxTriAdd(0, 0, 0, 1, 0, 0, 0, 1, 0);
            else
                KoGfxLineAdd(0, 0, 0, 1, 1, 0);
        }
    };
    struct Case
    {
        ChildResult r;
        std::string expected;
    };
    Case cases[] = {
        {RunInChild([] { KoGfxTriAdd(0, 0, 0, 1, 0, 0, 0, 1, 0); }),
         mesg("sTriFlag", "KoGfxTriAdd", "triangle list is NOT started yet!!")},
        {RunInChild([] { KoGfxTriStart(), KoGfxTriStart(); }),
         mesg("sTriFlag == false", "KoGfxTriStart", "triangle list was started already!!")},
        {RunInChild([&] { KoGfxTriStart(), fill(KO_GFX_TRI_NUM_MAX + 1, true); }),
         mesg("sTriNum < KO_GFX_TRI_NUM_MAX", "KoGfxTriAdd", "triangle list overflow!!")},
        {RunInChild([] { KoGfxLineAdd(0, 0, 0, 1, 1, 0); }),
         mesg("sLineFlag", "KoGfxLineAdd", "line list is NOT started yet!!")},
        {RunInChild([] { KoGfxLineStart(), KoGfxLineStart(); }),
         mesg("sLineFlag == false", "KoGfxLineStart", "line list was started already!!")},
        {RunInChild([&] { KoGfxLineStart(), fill(KO_GFX_LINE_NUM_MAX + 1, false); }),
         mesg("sLineNum < KO_GFX_LINE_NUM_MAX", "KoGfxLineAdd", "line list overflow!!")},
        {RunInChild([] { KoGfxTriDraw(nullptr); }), parm("pTriList", "KoGfxTriDraw")},
        {RunInChild([] { KoGfxDraw(nullptr); }), parm("pVtxList", "KoGfxDraw")},
        {RunInChild([] { KoGfxTriFree(nullptr); }), parm("pTriList", "KoGfxTriFree")},
        {RunInChild([] { KoGfxLineFree(nullptr); }), parm("pLineList", "KoGfxLineFree")},
        {RunInChild([] { KoGfxFree(nullptr); }), parm("pVtxList", "KoGfxFree")},
        {RunInChild(
             []
             {
                 BuildTris(1, 1);
                 gMemExtraRefs = 2;
                 BuildTris(2, 1);
                 KoGfxListsReleaseAll();
             }),
         mesg("0", "OnLostDevice",
              "The vertex buffer object failed to cleanup properly.\nRelease() returned a reference count of "
              "2")},
        {RunInChild(
             []
             {
                 BuildTris(1, 1);
                 BuildTris(2, 2);
                 KoGfxListsReleaseAll();
                 gMemFailCreateAt = 2;
                 KoGfxListsRebuildAll();
             }),
         mesg("0", "OnResetDevice", "Failed to recreate the vtx buffer of 6 vertices")},
        {RunInChild(
             []
             {
                 BuildLines(1, 3);
                 KoGfxListsReleaseAll();
                 gMemFailLockAt = 1;
                 KoGfxListsRebuildAll();
             }),
         mesg("0", "OnResetDevice", "Failed to lock the vtx buffer of 6 vertices")},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.r.exitCode, 1) << c.expected;
        EXPECT_EQ(WithoutLineNumbers(c.r.out), c.expected);
    }

    // The 8192nd triangle and line are still accepted.
    ChildResult full = RunInChild(
        [&]
        {
            KoGfxTriStart(), fill(KO_GFX_TRI_NUM_MAX, true);
            KoGfxLineStart(), fill(KO_GFX_LINE_NUM_MAX, false);
        });
    EXPECT_EQ(full.exitCode, 0);
    EXPECT_EQ(full.out, "");
}
