// Every mesh file of data/ read by the game's readers: it builds a list within the triangle limit, every
// triangle faces the viewer, and the shapes have the sizes and pivots the game places them by.
#include "MemDevice.h"
#include "framework/MeshFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
    {
        s.minX = std::min(s.minX, v.x);
        s.maxX = std::max(s.maxX, v.x);
        s.minY = std::min(s.minY, v.y);
        s.maxY = std::max(s.maxY, v.y);
    }
    return s;
}

const char* const MESHES[] = {
    "herolegmesh.txt",   "heroarmmesh.txt",    "heroweapon.txt",      "herobodymesh.txt",
    "new-0mesh.txt",     "new-1mesh.txt",      "new-2mesh.txt",       "new-3mesh.txt",
    "new-4mesh.txt",     "new-5mesh.txt",      "new-6mesh.txt",       "new-7mesh.txt",
    "new-8mesh.txt",     "new-9mesh.txt",      "squirrelmesh.txt",    "skullmesh.txt",
    "skull2mesh.txt",    "goblinmesh.txt",     "neonbeastmesh.txt",   "neonbeast2mesh.txt",
    "darkmagemesh.txt",  "princessmesh.txt",   "terrain1mesh.txt",    "invulnmesh.txt",
    "skullheadmesh.txt", "starmesh.txt",       "skymesh.txt",         "newplaymesh.txt",
    "newexitmesh.txt",   "newcreditsmesh.txt", "logomesh.txt",        "highscoremesh.txt",
    "howtoplaymesh.txt", "newsoundonmesh.txt", "newsoundoffmesh.txt", "fullscrbtnmesh.txt",
    "windowedmesh.txt",  "yesmesh.txt",        "nomesh.txt",          "optionsmesh.txt",
    "backmesh.txt",      "fullheromesh.txt",   "pausemesh.txt",       "resumemesh.txt",
    "restartmesh.txt",   "menumesh.txt",       "outmesh.txt"};

} // namespace

TEST(DataFiles, EveryMeshBuildsAListThatFacesTheViewer)
{
    for (const char* file : MESHES)
    {
        Shape s = Load(file);
        EXPECT_GE(s.vtx.size(), 3u) << file;
        EXPECT_LE(s.vtx.size(), 3u * KO_GFX_TRI_NUM_MAX) << file;
        EXPECT_EQ(0, s.clockwise) << file << " has triangles the renderer culls";
    }
    Shape monster = Load("monstermesh.txt", LoadMonsterMesh);
    EXPECT_GT(monster.vtx.size(), 75u) << "rectangles over the 25-triangle disc";
    EXPECT_EQ(0, monster.clockwise);
    Shape flag = Load("flagmesh.txt", LoadFlagMesh);
    EXPECT_EQ(12u, flag.vtx.size()) << "a pole and a banner";
    EXPECT_EQ(0, flag.clockwise);
}

TEST(DataFiles, TerrainTileFillsItsCellExactly)
{
    // bounds of the unit cell and an area of exactly one: the tile covers the cell without gaps or overlaps
    Shape s = Load("terrain1mesh.txt");
    EXPECT_FLOAT_EQ(-0.5f, s.minX);
    EXPECT_FLOAT_EQ(0.5f, s.maxX);
    EXPECT_FLOAT_EQ(-0.5f, s.minY);
    EXPECT_FLOAT_EQ(0.5f, s.maxY);
    EXPECT_NEAR(1.0, s.area, 1e-4);
}

TEST(DataFiles, SkyCoversTheWholeViewFromItsPlace)
{
    // placed at (-80, -130) with scale 120, the view -80..80 x -60..60 needs x 0..1.333 and y 0.583..1.583
    Shape s = Load("skymesh.txt");
    EXPECT_LE(s.minX, 0.0f);
    EXPECT_GE(s.maxX, 160.0f / 120.0f);
    EXPECT_LE(s.minY, 70.0f / 120.0f);
    EXPECT_GE(s.maxY, 190.0f / 120.0f);
}

TEST(DataFiles, ButtonsFillTheirHitRectangle)
{
    // hit-tested as 40 x 10 at scale 40 and 30 x 7.5 at scale 30: the slab spans x -0.5..0.5, y -0.125..0.125
    const char* buttons[] = {"newplaymesh.txt",    "newexitmesh.txt",     "newcreditsmesh.txt",
                             "optionsmesh.txt",    "backmesh.txt",        "yesmesh.txt",
                             "nomesh.txt",         "highscoremesh.txt",   "howtoplaymesh.txt",
                             "newsoundonmesh.txt", "newsoundoffmesh.txt", "fullscrbtnmesh.txt",
                             "windowedmesh.txt",   "pausemesh.txt",       "resumemesh.txt",
                             "restartmesh.txt",    "menumesh.txt"};
    for (const char* file : buttons)
    {
        Shape s = Load(file);
        EXPECT_FLOAT_EQ(-0.5f, s.minX) << file;
        EXPECT_FLOAT_EQ(0.5f, s.maxX) << file;
        EXPECT_GE(s.minY, -0.125f) << file;
        EXPECT_LE(s.maxY, 0.125f) << file;
        EXPECT_GE(s.maxY - s.minY, 0.2f) << file;
    }
}

TEST(DataFiles, BodyPartsHangFromTheirPivots)
{
    // scale 2 over a 1 x 1 box: the body stays in -0.25..0.25 across, its head at most a little above;
    // a leg hangs 0.175 from the hip (-0.075) to the ground (-0.25); the arm's fist reaches the axe's grip
    // at (0.2, -0.2); the axe's grip is its origin
    Shape body = Load("herobodymesh.txt");
    EXPECT_GE(body.minX, -0.25f);
    EXPECT_LE(body.maxX, 0.25f);
    EXPECT_GE(body.minY, -0.25f);
    EXPECT_GE(body.maxY, 0.25f);
    EXPECT_LE(body.maxY, 0.4f);
    Shape leg = Load("herolegmesh.txt");
    EXPECT_FLOAT_EQ(-0.175f, leg.minY);
    EXPECT_LT(leg.minX, 0.0f);
    EXPECT_GT(leg.maxX, 0.0f);
    Shape arm = Load("heroarmmesh.txt");
    EXPECT_LT(arm.minX, 0.0f);
    EXPECT_GT(arm.maxY, 0.0f);
    EXPECT_NEAR(0.2f, arm.maxX - 0.0125f, 0.04f);
    EXPECT_NEAR(-0.2f, arm.minY + 0.0125f, 0.04f);
    Shape axe = Load("heroweapon.txt");
    EXPECT_LT(axe.minY, 0.0f);
    EXPECT_GT(axe.maxY, 0.2f) << "the head is up the handle, +y";
    EXPECT_LT(axe.minX, 0.0f);
    EXPECT_GT(axe.maxX, 0.0f);
}

TEST(DataFiles, MonstersStandOnTheGroundBelowTheirDigits)
{
    // a monster is laid at its cell centre plus its lift, at scale 2: its feet are (0.5 + lift) / 2 below
    // the origin; its power digits float at 0.9 above it, so it stays below 0.6
    struct Monster
    {
        const char* file;
        float lift;
    } monsters[] = {{"squirrelmesh.txt", 0.3f}, {"skullmesh.txt", 0.5f},     {"skull2mesh.txt", 0.4f},
                    {"goblinmesh.txt", 0.2f},   {"neonbeastmesh.txt", 0.3f}, {"neonbeast2mesh.txt", 0.5f},
                    {"darkmagemesh.txt", 0.3f}, {"princessmesh.txt", 0.5f}};
    for (const Monster& m : monsters)
    {
        Shape s = Load(m.file);
        EXPECT_NEAR(-(0.5f + m.lift) / 2, s.minY, 1e-4f) << m.file;
        EXPECT_LE(s.maxY, 0.6f) << m.file;
        EXPECT_GE(s.minX, -0.5f) << m.file;
        EXPECT_LE(s.maxX, 0.5f) << m.file;
    }
    Shape blob = Load("monstermesh.txt", LoadMonsterMesh);
    EXPECT_NEAR(-0.5f, blob.minY, 1e-4f);
    for (int d = 0; d < 10; ++d)
    {
        // two digits sit 1 unit apart at size 0.8: each stays narrower than 1.25 and about 1 tall
        Shape s = Load("new-" + std::to_string(d) + "mesh.txt");
        EXPECT_LT(s.maxX - s.minX, 1.25f) << d;
        EXPECT_LE(s.maxY - s.minY, 1.01f) << d;
        EXPECT_NEAR(0.0f, (s.minY + s.maxY) / 2, 0.12f) << d;
    }
}
