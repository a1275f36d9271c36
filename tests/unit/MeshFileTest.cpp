// The mesh file readers and the shape builders. What the type loader says when a mesh is missing or empty
// the bad-input and overlay scenarios show.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

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
    if (KoGfxVertexList* pList = KoGfxTriEnd())
    {
        EXPECT_EQ(pList->vtxNum, tris.size() * 3);
        KoGfxFree(pList);
    }
    return tris;
}

class MeshFileTest : public ::testing::Test
{
  protected:
    Scenario::TempDir dir;
    std::string Write(const std::string& text)
    {
        std::string path = dir / "mesh.txt";
        Scenario::WriteFile(path, text);
        return path;
    }
    std::vector<Tri> Read(MeshReader reader, const std::string& text)
    {
        std::string path = Write(text);
        return Build([&] { reader(path.c_str()); });
    }
};

TEST_F(MeshFileTest, GeneralFileYieldsItsCompleteGroupsOnly)
{
    std::vector<Tri> tris = Read(LoadMesh, "0 0 0xFF112233\n1 0 ff112233\n0.5 1 0XFF112233\n"
                                           "-1.5e0 2 aabbccdd 3 +4 AaBbCcDd 5 .5 0x1\n"
                                           "7 8 0xFF000000 9\n");
    ASSERT_EQ(tris.size(), 2u);
    for (const KoGfxVertex& v : tris[0].v) EXPECT_EQ(v.colour, 0xFF112233u);
    EXPECT_TRUE(tris[0].v[1].x == 1.0f && tris[1].v[0].x == -1.5f && tris[1].v[1].colour == 0xAABBCCDDu &&
                tris[1].v[2].y == 0.5f && tris[1].v[2].colour == 0x1u);

    // The mesh editor's output (one token per line, six significant digits, lower-case hex) reads back.
    tris = Read(LoadMesh, "-0.333333\n0.25\n0xff8c2318\n0.5\n-0.5\n0xff0\n1e-05\n0\n0x0\n");
    ASSERT_EQ(tris.size(), 1u);
    EXPECT_TRUE(tris[0].v[0].x == -0.333333f && tris[0].v[1].colour == 0xFF0u && tris[0].v[2].x == 1e-05f);

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
         {"0x", "0xGG", "123456789", "0x123456789", "nan", "--1", "0x-1", "-1", "1.5", "g", "\x01"})
    {
        EXPECT_EQ(Read(LoadMesh, good + "0 0 " + bad + " 1 1 0xFF 2 2 0xFF\n" + good).size(), 1u) << bad;
        EXPECT_EQ(Read(LoadFlagMesh, std::string("0 0 1 1 0xFF 0 0 1 1 ") + bad).size(), 2u) << bad;
    }
    // Each number finite, but the corners cx + w / 2 not: the record is not drawn and reading stops. The
    // largest rectangles that still fit are read.
    const std::string beyond = "0 0 1 1 ff0000ff\n3e38 0 3e38 1 ff00ff00\n0 0 1 1 ff0000ff\n";
    EXPECT_EQ(Read(LoadMonsterMesh, beyond).size(), 25u + 2u);
    EXPECT_EQ(Read(LoadFlagMesh, beyond).size(), 2u);
    EXPECT_EQ(Read(LoadFlagMesh, "0 -3e38 1 3e38 ff").size(), 0u);
    EXPECT_EQ(Read(LoadFlagMesh, "0 0 3e38 3e38 ff 1e38 -1e38 1e38 1e38 ff").size(), 4u);
}

TEST_F(MeshFileTest, MonsterFileDrawsItsRectanglesOverTheCircleAndTheFlagAtMostTwo)
{
    std::vector<Tri> tris =
        Read(LoadMonsterMesh, "0 0.25 0.5 0.1 0xFF00FF00\n-0.2 0 0.1 0.1 ff0000ff\n0 0 1");
    ASSERT_EQ(tris.size(), 29u);
    EXPECT_TRUE(tris[0].v[0].colour == 0xFF8C2318u && tris[25].v[0].colour == 0xFF00FF00u &&
                tris[28].v[0].colour == 0xFF0000FFu);
    EXPECT_TRUE(tris[25].v[0].x == -0.25f && std::fabs(tris[25].v[0].y - 0.2f) < 1e-6f);
    EXPECT_TRUE(Build([&] { LoadMonsterMesh((dir / "missing.txt").c_str()); }).empty());

    EXPECT_EQ(Read(LoadFlagMesh, "0 0 1 1 0xFF 1 1 1 1 0xFF 2 2 1 1 0xFF\n").size(), 4u);
}

// Rectangles are checked through the monster file, and both shapes' winding on the shipped meshes.
TEST_F(MeshFileTest, ACircleIsAClosedFanOfItsRadius)
{
    std::vector<Tri> circle = Build([] { MeshAddCircle(2.0f, -1.0f, 3.0f, 0xFF123456); });
    ASSERT_EQ(circle.size(), 25u);
    EXPECT_TRUE(circle[0].v[1].x == 5.0f && circle[0].v[1].y == -1.0f);
    for (size_t k = 0; k < circle.size(); ++k)
    {
        const Tri& t = circle[k];
        EXPECT_TRUE(t.v[0].x == 2.0f && t.v[0].y == -1.0f) << k;
        EXPECT_NEAR(std::hypot(t.v[1].x - 2.0f, t.v[1].y + 1.0f), 3.0f, 1e-5f);
        const KoGfxVertex& next = circle[(k + 1) % 25].v[1]; // the fan closes without gaps
        EXPECT_LT(std::hypot(t.v[2].x - next.x, t.v[2].y - next.y), 1e-5f) << k;
    }
}

} // namespace
