// Damaged data files that once slipped through the readers: numbers beyond their range and headers that
// ask for far more than the file holds. Each reads as a malformed value does.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Scenario.h"
#include "engine/KoGfxDevice.h"
#include "engine/KoGraphics.h"
#include "framework/MeshFile.h"
#include "states/GameState_Mesheditor.h"

namespace
{

struct DamagedData : ::testing::Test
{
    Scenario::TempDir dir;
    void TearDown() override { MeshEditorFreeGrid(); }

    std::string Write(const std::string& name, const std::string& text)
    {
        std::string path = dir / name;
        EXPECT_TRUE(Scenario::WriteFile(path, text));
        return path;
    }

    // Triangles a reader adds for the file, and whether every corner of them is a finite point.
    unsigned int Triangles(MeshReader reader, const std::string& text, bool* pFinite)
    {
        std::string path    = Write("mesh.txt", text);
        unsigned int before = KoGfxListsStoreSize(true);
        KoGfxTriStart();
        reader(path.c_str());
        unsigned int after        = KoGfxListsStoreSize(true);
        const KoGfxVertex* pStore = KoGfxListsStoreData(true);
        *pFinite                  = true;
        for (unsigned int i = before; i < after; ++i)
            *pFinite = *pFinite && std::isfinite(pStore[i].x) && std::isfinite(pStore[i].y);
        KoGfxVertexList* pList = KoGfxTriEnd();
        if (pList) KoGfxFree(pList);
        return (after - before) / 3;
    }
};

TEST_F(DamagedData, ARectangleBeyondTheFloatRangeEndsTheReading)
{
    // Each number is finite, but the corners cx + w / 2 are not: the record is not drawn and reading stops.
    const std::string text = "0 0 1 1 ff0000ff\n3e38 0 3e38 1 ff00ff00\n0 0 1 1 ff0000ff\n";
    bool finite;
    EXPECT_EQ(Triangles(LoadMonsterMesh, text, &finite), 25u + 2u);
    EXPECT_TRUE(finite);
    EXPECT_EQ(Triangles(LoadFlagMesh, text, &finite), 2u);
    EXPECT_TRUE(finite);
    EXPECT_EQ(Triangles(LoadFlagMesh, "0 -3e38 1 3e38 ff", &finite), 0u);
    // The largest rectangles that still fit are read.
    EXPECT_EQ(Triangles(LoadFlagMesh, "0 0 3e38 3e38 ff 1e38 -1e38 1e38 1e38 ff", &finite), 4u);
    EXPECT_TRUE(finite);
}

TEST_F(DamagedData, GridHeaderBeyondItsRange)
{
    // 2^32 + 80 once wrapped round to a width of 80.
    MeshEditorReadGrid(Write("grid.txt", "width: 4294967376\nheight: 2\n1 1 1").c_str());
    EXPECT_EQ(gMeshGridW * gMeshGridH, 0);
    // A header of a few bytes asking for a side beyond 1024 cells is damaged; 1024 x 1024 is allowed.
    for (const char* header : {"width: 1025\nheight: 1024\n1", "width: 1\nheight: 1048576\n1"})
    {
        MeshEditorReadGrid(Write("grid.txt", header).c_str());
        EXPECT_EQ(gMeshGridW * gMeshGridH, 0) << header;
    }
    MeshEditorReadGrid(Write("grid.txt", "width: 1024\nheight: 1024\n1 2").c_str());
    ASSERT_EQ(gMeshGridW * gMeshGridH, 1024 * 1024);
    EXPECT_EQ(gMeshCells[0].state, 1);
    EXPECT_EQ(gMeshCells[1].state, 2);
    EXPECT_EQ(gMeshCells[2].state, 0);
    // A cell value beyond 32 bits is unreadable: it and the cells after it stay empty.
    MeshEditorReadGrid(Write("grid.txt", "width: 3\nheight: 1\n1 99999999999 1").c_str());
    ASSERT_EQ(gMeshGridW * gMeshGridH, 3);
    EXPECT_EQ(gMeshCells[0].state, 1);
    EXPECT_EQ(gMeshCells[1].state, 0);
    EXPECT_EQ(gMeshCells[2].state, 0);
}

TEST_F(DamagedData, PaletteColourBeyondThirtyTwoBits)
{
    for (uint32_t& c : gMeshPalette) c = 0xFF010101;
    // Nine digits do not fit a colour (they once lost their top digit), and a sign is no part of one.
    ASSERT_TRUE(MeshEditorReadPalette(Write("colours.txt", "0xff000001 0x1ff0000ff 0xff000003").c_str()));
    EXPECT_EQ(gMeshPalette[0], 0xFF000001u);
    EXPECT_EQ(gMeshPalette[1], 0xFF010101u);
    EXPECT_EQ(gMeshPalette[2], 0xFF010101u);
    ASSERT_TRUE(MeshEditorReadPalette(Write("colours.txt", "FF000002 -1 0xff000003").c_str()));
    EXPECT_EQ(gMeshPalette[0], 0xFF000002u);
    EXPECT_EQ(gMeshPalette[1], 0xFF010101u);
}

} // namespace
