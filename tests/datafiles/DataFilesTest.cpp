// Every mesh file of data/ read by the game's readers: it builds a list whose triangles all face the viewer,
// and the shapes have the sizes and pivots the game places them by.
#include "MemDevice.h"
#include "framework/MeshFile.h"
#include "level/Monsters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

struct Shape
{
    std::vector<KoGfxVertex> vtx;
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    double area   = 0; // sum of the triangles' areas
    int clockwise = 0;
};

Shape Load(const std::string& file, MeshReader reader = LoadMesh)
{
    Shape s;
    std::string path = std::string(SKARN_DATA_DIR) + "/Meshes/" + file;
    KoGfxTriStart();
    reader(path.c_str());
    KoGfxVertexList* pList = KoGfxTriEnd();
    EXPECT_TRUE(pList) << file << " gives no triangle";
    if (!pList) return s;
    s.vtx = MemBufferVertices(pList->pVtxBuffer);
    KoGfxFree(pList);
    for (size_t i = 0; i + 2 < s.vtx.size(); i += 3)
    {
        const KoGfxVertex &a = s.vtx[i], &b = s.vtx[i + 1], &c = s.vtx[i + 2];
        double cross = (double)(b.x - a.x) * (c.y - a.y) - (double)(c.x - a.x) * (b.y - a.y);
        if (cross <= 0) ++s.clockwise;
        s.area += cross / 2;
    }
    for (const KoGfxVertex& v : s.vtx)
        s.minX = std::min(s.minX, v.x), s.maxX = std::max(s.maxX, v.x), s.minY = std::min(s.minY, v.y),
        s.maxY = std::max(s.maxY, v.y);
    return s;
}

} // namespace

TEST(DataFiles, EveryMeshBuildsAListThatFacesTheViewer)
{
    for (const auto& entry : std::filesystem::directory_iterator(std::string(SKARN_DATA_DIR) + "/Meshes"))
    {
        const std::string file = entry.path().filename().string();
        if (file == "colours.txt" || file == "readmesh80x80.txt")
            continue; // the mesh editor's palette and grid
        MeshReader reader = file == "flagmesh.txt" ? LoadFlagMesh : LoadMesh;
        for (const MonsterKind& kind : MONSTER_KINDS)
            if (file == kind.mesh && kind.round) reader = LoadMonsterMesh;
        EXPECT_EQ(0, Load(file, reader).clockwise) << file << " has triangles the renderer culls";
    }
    EXPECT_EQ(12u, Load("flagmesh.txt", LoadFlagMesh).vtx.size()) << "a pole and a banner";
}

TEST(DataFiles, ShapesFitWhereTheGamePlacesThem)
{
    // The terrain tile covers its unit cell without gaps or overlaps.
    Shape tile = Load("terrain1mesh.txt");
    EXPECT_TRUE(tile.minX == -0.5f && tile.maxX == 0.5f && tile.minY == -0.5f && tile.maxY == 0.5f);
    EXPECT_NEAR(1.0, tile.area, 1e-4);
    // The sky, at (-80, -130) and scale 120, covers the view -80..80 x -60..60.
    Shape sky = Load("skymesh.txt");
    EXPECT_TRUE(sky.minX <= 0.0f && sky.maxX >= 160.0f / 120.0f && sky.minY <= 70.0f / 120.0f &&
                sky.maxY >= 190.0f / 120.0f);
    // Buttons are hit-tested as 40 x 10 at scale 40: they span x -0.5..0.5 and y -0.125..0.125.
    for (const char* file :
         {"newplaymesh.txt", "newexitmesh.txt", "newcreditsmesh.txt", "optionsmesh.txt", "backmesh.txt",
          "yesmesh.txt", "nomesh.txt", "highscoremesh.txt", "howtoplaymesh.txt", "newsoundonmesh.txt",
          "newsoundoffmesh.txt", "fullscrbtnmesh.txt", "windowedmesh.txt", "pausemesh.txt", "resumemesh.txt",
          "restartmesh.txt", "menumesh.txt"})
    {
        Shape s = Load(file);
        EXPECT_TRUE(s.minX == -0.5f && s.maxX == 0.5f && s.minY >= -0.125f && s.maxY <= 0.125f) << file;
        EXPECT_GE(s.maxY - s.minY, 0.2f) << file;
    }

    // At scale 2 in a 1 x 1 box: the body keeps within -0.25..0.25 across, its head a little above; a leg
    // hangs from the hip (-0.075) to the ground (-0.25); the fist reaches the axe's grip at (0.2, -0.2); the
    // axe's grip is its origin and its head is up the handle.
    Shape body = Load("herobodymesh.txt"), leg = Load("herolegmesh.txt"), arm = Load("heroarmmesh.txt");
    EXPECT_TRUE(body.minX >= -0.25f && body.maxX <= 0.25f && body.minY >= -0.25f);
    EXPECT_TRUE(body.maxY >= 0.25f && body.maxY <= 0.4f);
    EXPECT_FLOAT_EQ(-0.175f, leg.minY);
    EXPECT_TRUE(leg.minX < 0.0f && leg.maxX > 0.0f);
    EXPECT_TRUE(arm.minX < 0.0f && arm.maxY > 0.0f);
    EXPECT_NEAR(0.2f, arm.maxX - 0.0125f, 0.04f);
    EXPECT_NEAR(-0.2f, arm.minY + 0.0125f, 0.04f);
    Shape axe = Load("heroweapon.txt");
    EXPECT_TRUE(axe.minX < 0.0f && axe.maxX > 0.0f && axe.minY < 0.0f && axe.maxY > 0.2f);

    // A monster stands at its cell centre plus its lift, at its size: its feet are (0.5 + lift) / size below
    // the origin, and it keeps below its power digits at 0.6.
    for (const MonsterKind& kind : MONSTER_KINDS)
    {
        Shape s = Load(kind.mesh, kind.round ? LoadMonsterMesh : LoadMesh);
        EXPECT_NEAR(-(0.5f + kind.lift) / kind.size, s.minY, 1e-4f) << kind.mesh;
        EXPECT_TRUE(s.maxY <= 0.6f && s.minX >= -0.5f && s.maxX <= 0.5f) << kind.mesh;
    }
    // Two digits sit 1 unit apart at size 1 (a monster's and the party's): each narrower than 1, about 1
    // tall and centred.
    for (const char* kind : {"new-", "party-"})
        for (int d = 0; d < 10; ++d)
        {
            Shape s = Load(kind + std::to_string(d) + "mesh.txt");
            EXPECT_TRUE(s.maxX - s.minX < 1.0f && s.maxY - s.minY <= 1.01f) << kind << d;
            EXPECT_NEAR(0.0f, (s.minY + s.maxY) / 2, 0.12f) << kind << d;
        }
}
