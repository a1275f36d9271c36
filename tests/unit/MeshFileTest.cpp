// The mesh file readers, the shape builders and the type loader pattern.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "Scenario.h"
#include "engine/KoGfxDevice.h"
#include "engine/KoGraphics.h"
#include "framework/MeshFile.h"

namespace
{

struct Tri
{
    KoGfxVertex v[3];
};

// The triangles that fill() adds to an open triangle list: the list's vertices at the end of the store.
std::vector<Tri> Build(const std::function<void()>& fill)
{
    unsigned int before = KoGfxListsStoreSize(true);
    KoGfxTriStart();
    fill();
    std::vector<Tri> tris;
    const KoGfxVertex* pStore = KoGfxListsStoreData(true);
    for (unsigned int i = before; i + 2 < KoGfxListsStoreSize(true); i += 3)
        tris.push_back(Tri{{pStore[i], pStore[i + 1], pStore[i + 2]}});
    KoGfxVertexList* pList = KoGfxTriEnd();
    if (pList)
    {
        EXPECT_EQ(pList->vtxNum, tris.size() * 3);
        KoGfxFree(pList);
    }
    else
        EXPECT_TRUE(tris.empty());
    return tris;
}

// Twice the signed area: positive for counter-clockwise corners.
float Winding(const Tri& t)
{
    return (t.v[1].x - t.v[0].x) * (t.v[2].y - t.v[0].y) - (t.v[2].x - t.v[0].x) * (t.v[1].y - t.v[0].y);
}

class MeshFileTest : public ::testing::Test
{
  protected:
    Scenario::TempDir dir;
    std::string Write(const std::string& text)
    {
        std::string path = dir / ("mesh" + std::to_string(count++) + ".txt");
        Scenario::WriteFile(path, text);
        return path;
    }
    std::vector<Tri> Read(void (*reader)(const char*), const std::string& text)
    {
        std::string path = Write(text);
        return Build([&] { reader(path.c_str()); });
    }
    int count = 0;
};

TEST_F(MeshFileTest, GeneralFileYieldsItsCompleteGroupsOnly)
{
    std::vector<Tri> tris = Read(LoadMesh, "0 0 0xFF112233\n1 0 ff112233\n0.5 1 0XFF112233\n"
                                           "-1.5e0 2 aabbccdd 3 +4 AaBbCcDd 5 .5 0x1\n"
                                           "7 8 0xFF000000 9\n");
    ASSERT_EQ(tris.size(), 2u);
    for (const KoGfxVertex& v : tris[0].v) EXPECT_EQ(v.colour, 0xFF112233u);
    EXPECT_EQ(tris[0].v[1].x, 1.0f);
    EXPECT_EQ(tris[0].v[2].y, 1.0f);
    EXPECT_EQ(tris[1].v[0].x, -1.5f);
    EXPECT_EQ(tris[1].v[0].colour, 0xAABBCCDDu);
    EXPECT_EQ(tris[1].v[1].colour, 0xAABBCCDDu);
    EXPECT_EQ(tris[1].v[2].y, 0.5f);
    EXPECT_EQ(tris[1].v[2].colour, 0x1u);
    for (const Tri& t : tris)
        for (const KoGfxVertex& v : t.v) EXPECT_EQ(v.z, 0.0f);

    // The mesh editor's output (one token per line, six significant digits, lower-case hex) reads back.
    tris = Read(LoadMesh, "-0.333333\n0.25\n0xff8c2318\n0.5\n-0.5\n0xff0\n1e-05\n0\n0x0\n");
    ASSERT_EQ(tris.size(), 1u);
    EXPECT_FLOAT_EQ(tris[0].v[0].x, -0.333333f);
    EXPECT_EQ(tris[0].v[1].colour, 0xFF0u);
    EXPECT_FLOAT_EQ(tris[0].v[2].x, 1e-05f);

    EXPECT_TRUE(Read(LoadMesh, "").empty());
    EXPECT_TRUE(Read(LoadMesh, "\n \t\n").empty());
    EXPECT_TRUE(Build([&] { LoadMesh((dir / "missing.txt").c_str()); }).empty());
}

TEST_F(MeshFileTest, AMalformedTokenEndsReadingAndKeepsWhatCameBefore)
{
    const std::string good = "0 0 0xFF000001 1 0 0xFF000001 0 1 0xFF000001\n";
    for (const char* bad :
         {"abc", "1.2.3", "0x", "0x1", "nan", "inf", "1e", "--1", "1e999", "1,5", "+", ".", "1f", "\x01\x02"})
    {
        EXPECT_EQ(Read(LoadMesh, good + "0 " + bad + " 0xFF 1 1 0xFF 2 2 0xFF\n" + good).size(), 1u) << bad;
        EXPECT_EQ(Read(LoadMonsterMesh, std::string("0 0 1 1 0xFF 0 ") + bad + " 1 1 0xFF").size(), 27u)
            << bad;
    }
    for (const char* bad :
         {"0x", "0xGG", "123456789", "0x123456789", "nan", "--1", "0x-1", "-1", "1.5", "g", "\x01\x02"})
    {
        EXPECT_EQ(Read(LoadMesh, good + "0 0 " + bad + " 1 1 0xFF 2 2 0xFF\n" + good).size(), 1u) << bad;
        EXPECT_EQ(Read(LoadFlagMesh, std::string("0 0 1 1 0xFF 0 0 1 1 ") + bad).size(), 2u) << bad;
    }

    // Arbitrary bytes never hang or crash the readers.
    srand(7);
    for (int i = 0; i < 50; ++i)
    {
        std::string junk;
        for (int k = 0; k < 300; ++k)
            junk += char(i % 2 ? rand() % 256 : " 0123456789.-+xXeEaF\n"[rand() % 21]);
        std::string path = Write(junk);
        Build([&] { LoadMesh(path.c_str()); });
        Build([&] { LoadMonsterMesh(path.c_str()); });
        Build([&] { LoadFlagMesh(path.c_str()); });
    }
}

TEST_F(MeshFileTest, MonsterFileDrawsItsRectanglesOverTheCircle)
{
    std::vector<Tri> tris = Read(LoadMonsterMesh, "");
    ASSERT_EQ(tris.size(), 25u);
    EXPECT_EQ(tris[0].v[0].colour, 0xFF8C2318u);
    EXPECT_EQ(tris[0].v[1].x, 0.5f);

    tris = Read(LoadMonsterMesh, "0 0.25 0.5 0.1 0xFF00FF00\n-0.2 0 0.1 0.1 ff0000ff\n0 0 1");
    ASSERT_EQ(tris.size(), 29u);
    EXPECT_EQ(tris[25].v[0].colour, 0xFF00FF00u);
    EXPECT_FLOAT_EQ(tris[25].v[0].x, -0.25f);
    EXPECT_FLOAT_EQ(tris[25].v[0].y, 0.2f);
    EXPECT_EQ(tris[28].v[0].colour, 0xFF0000FFu);

    EXPECT_TRUE(Build([&] { LoadMonsterMesh((dir / "missing.txt").c_str()); }).empty());
}

TEST_F(MeshFileTest, FlagFileReadsAtMostTwoRectangles)
{
    EXPECT_EQ(Read(LoadFlagMesh, "0 0 1 1 0xFF000000").size(), 2u);
    EXPECT_EQ(Read(LoadFlagMesh, "0 0 1 1 0xFF000000 5 5 1").size(), 2u);
    EXPECT_EQ(Read(LoadFlagMesh, "0 0 1 1 0xFF 1 1 1 1 0xFF 2 2 1 1 0xFF\n").size(), 4u);
    EXPECT_TRUE(Read(LoadFlagMesh, "0 0 1 1").empty());
    EXPECT_TRUE(Read(LoadFlagMesh, "x 0 1 1 0xFF 1 1 1 1 0xFF").empty());
}

TEST_F(MeshFileTest, ShapeBuilders)
{
    std::vector<Tri> rect = Build([] { MeshAddRect(0.0f, 0.0f, 1.0f, 1.0f, 0x80FFFFFF); });
    ASSERT_EQ(rect.size(), 2u);
    const float expect[2][3][2] = {{{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}},
                                   {{-0.5f, -0.5f}, {0.5f, 0.5f}, {-0.5f, 0.5f}}};
    for (int t = 0; t < 2; ++t)
    {
        EXPECT_GT(Winding(rect[t]), 0.0f);
        for (int k = 0; k < 3; ++k)
        {
            EXPECT_EQ(rect[t].v[k].x, expect[t][k][0]);
            EXPECT_EQ(rect[t].v[k].y, expect[t][k][1]);
            EXPECT_EQ(rect[t].v[k].colour, 0x80FFFFFFu);
        }
    }

    std::vector<Tri> circle = Build([] { MeshAddCircle(2.0f, -1.0f, 3.0f, 0xFF123456); });
    ASSERT_EQ(circle.size(), 25u);
    EXPECT_EQ(circle[0].v[1].x, 5.0f);
    EXPECT_EQ(circle[0].v[1].y, -1.0f);
    for (size_t k = 0; k < circle.size(); ++k)
    {
        const Tri& t = circle[k];
        EXPECT_GT(Winding(t), 0.0f);
        EXPECT_EQ(t.v[0].x, 2.0f);
        EXPECT_EQ(t.v[0].y, -1.0f);
        EXPECT_NEAR(std::hypot(t.v[1].x - 2.0f, t.v[1].y + 1.0f), 3.0f, 1e-5f);
        if (k + 1 < circle.size())
        {
            EXPECT_EQ(t.v[2].x, circle[k + 1].v[1].x); // the fan closes without gaps
            EXPECT_EQ(t.v[2].y, circle[k + 1].v[1].y);
        }
    }
    EXPECT_NEAR(circle[24].v[2].x, 5.0f, 1e-5f);
    EXPECT_NEAR(circle[24].v[2].y, -1.0f, 1e-5f);
}

TEST_F(MeshFileTest, TypeLoaderFillsTheRecordOrStopsWithTheLoadersMessage)
{
    GameObj table[4] = {};
    int num          = 0;
    std::string path = Write("0 0 0xFF 1 0 0xFF 0 1 0xFF");
    MeshLoadType(&table[0], 0, &num, LoadMesh, path.c_str(), MESH_LOADER_HERO, __LINE__);
    EXPECT_EQ(num, 1);
    EXPECT_EQ(table[0].type, 0u);
    ASSERT_NE(table[0].pMesh, nullptr);
    EXPECT_EQ(table[0].pMesh->vtxNum, 3u);
    KoGfxFree(table[0].pMesh);

    std::string missing = dir / "missing.txt";
    auto r              = RunInChild(
        [&] { MeshLoadType(&table[1], 1, &num, LoadMesh, missing.c_str(), MESH_LOADER_HERO, 42); });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "KO_ASSERT_MESG: pObj->pMesh\nLine: 42\nFunc: LoadHero\nFile: src\\Hero\n"
                     "Mesg: fail to create object!!\n");

    std::string empty = Write("");
    r = RunInChild([&] { MeshLoadType(&table[1], 27, &num, LoadMesh, empty.c_str(), MESH_LOADER_COINS, 7); });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "KO_ASSERT_MESG: pObj->pMesh\nLine: 7\nFunc: Coins::LoadCoins\nFile: src\\Coins\n"
                     "Mesg: failed to create object!\n");
}

} // namespace
