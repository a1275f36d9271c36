// The editors' file formats and painting rules, against the logic library (no window needed).
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "Scenario.h"
#include "engine/KoGraphics.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "level/Terrain.h"
#include "states/GameState_Mesheditor.h"
#include "states/GameState_TileEditor.h"

namespace
{

TEST(TileEditor, WritesTheMapFormatExactlyAndTheLevelReadsItBack)
{
    Scenario::TempDir dir;
    static int cells[MAP_CELLS], readBack[MAP_CELLS];
    std::fill(std::begin(cells), std::end(cells), 0);
    cells[0] = 26;
    ASSERT_EQ(TileEditorWriteMap((dir / "map.txt").c_str(), cells), "");
    std::string zeros, text;
    for (int i = 0; i < 139; ++i) zeros += " 0 ";
    for (int r = 0; r < MAP_HEIGHT; ++r) text += (r ? " 0 " : "26 ") + zeros + "\n";
    EXPECT_EQ(Scenario::ReadFile(dir / "map.txt"), text);

    const int values[] = {0, 5, 6, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, -3, 9, 10, 123};
    for (int i = 0; i < MAP_CELLS; ++i) cells[i] = values[(i * 7 + i / 13) % 19];
    ASSERT_EQ(TileEditorWriteMap((dir / "map.txt").c_str(), cells), "");
    std::fill(std::begin(readBack), std::end(readBack), 99);
    ASSERT_TRUE(Terrain::ReadMap((dir / "map.txt").c_str(), readBack));
    for (int i = 0; i < MAP_CELLS; ++i) ASSERT_EQ(readBack[i], cells[i]) << "cell " << i;
}

// The palette steps and the painting itself are walked through in the editor scenarios.
TEST(TileEditor, CellsOfTheCursorStayInsideTheMap)
{
    Vec2 p = {0.2f, 19.9f};
    EXPECT_EQ(TileEditorCellAt(&p), 0);
    p = {139.9f, 0.1f};
    EXPECT_EQ(TileEditorCellAt(&p), MAP_CELLS - 1);
    for (Vec2 out : {Vec2{-0.1f, 5.0f}, Vec2{140.0f, 5.0f}, Vec2{5.0f, 20.0f}, Vec2{5.0f, -0.01f}})
        EXPECT_EQ(TileEditorCellAt(&out), -1) << out.x << "," << out.y;
}

// The mesh editor's grid lives from Init to Free; these tests build it from files of their own.
struct MeshEditor : ::testing::Test
{
    Scenario::TempDir dir;
    void TearDown() override { MeshEditorFreeGrid(); }

    void Grid(int w, int h, const std::string& cells = "")
    {
        std::string text = "width: " + std::to_string(w) + "\nheight: " + std::to_string(h) + "\n";
        if (cells.empty())
            for (int i = 0; i < w * h; ++i) text += "0 ";
        else
            text += cells;
        ASSERT_TRUE(Scenario::WriteFile(dir / "grid.txt", text));
        ASSERT_TRUE(MeshEditorReadGrid((dir / "grid.txt").c_str()));
    }
};

TEST_F(MeshEditor, ExportsEachPaintedCellAsTwoTriangles)
{
    Grid(80, 80);
    gMeshColour     = 3;
    gMeshPalette[3] = 0xFF123456;
    Vec2 p          = {0.5f, 79.5f}; // the top-left cell
    MeshEditorPaint(&p);
    ASSERT_EQ(MeshEditorExport((dir / "out.txt").c_str()), "");
    EXPECT_EQ(Scenario::ReadFile(dir / "out.txt"), "-0.4875\n0.5\n0xff123456\n"
                                                   "-0.5\n0.5\n0xff123456\n"
                                                   "-0.5\n0.4875\n0xff123456\n"
                                                   "-0.5\n0.4875\n0xff123456\n"
                                                   "-0.4875\n0.4875\n0xff123456\n"
                                                   "-0.4875\n0.5\n0xff123456\n");
}

TEST_F(MeshEditor, NonSquareGridPaintsAndErasesEverywhereAndNothingBeyond)
{
    Grid(100, 60);
    gMeshColour         = 0;
    const Vec2 beyond[] = {{100.0f, 5.0f}, {250.0f, 5.0f}, {5.0f, 60.0f}, {-1.0f, 5.0f}};
    for (int state : {1, 0})
    {
        for (int i = 0; i < 100 * 60; ++i)
        {
            Vec2 p = {float(i % 100) + 0.5f, float(i / 100) + 0.5f};
            state ? MeshEditorPaint(&p) : MeshEditorErase(&p);
        }
        // Past the right and top edges: no cell of the next row, nothing past the arrays.
        for (Vec2 p : beyond) state ? MeshEditorErase(&p) : MeshEditorPaint(&p);
        for (int i = 0; i < 100 * 60; ++i) ASSERT_EQ(gMeshCells[i].state, state) << i;
    }
}

// In full screen the view shows every cell and the palette row; in the window it starts where it always did.
TEST_F(MeshEditor, FullScreenViewFitsTheGridAndThePalette)
{
    gKoWinMinX = -80.0f, gKoWinMaxX = 80.0f, gKoWinMinY = -60.0f, gKoWinMaxY = 60.0f;
    const int grids[][2] = {{80, 80}, {100, 60}, {10, 200}};
    for (const auto& g : grids)
    {
        Grid(g[0], g[1]);
        gFullScreen = true;
        MeshEditorSetView();
        const float corners[][2] = {{0, -2}, {30, -2}, {float(g[0]), float(g[1])}, {0, float(g[1])}};
        for (const auto& c : corners)
        {
            float x = gMeshZoom * (c[0] - gMeshCamX), y = gMeshZoom * (c[1] - gMeshCamY);
            EXPECT_TRUE(x >= -80.0f && x <= 80.0f && y >= -60.0f && y <= 60.0f) << g[0] << "x" << g[1];
        }
        // as large as it fits: the grid with its margins fills the width or the height
        float fill = std::max(gMeshZoom * float(std::max(g[0], 30) + 2) / 160.0f,
                              gMeshZoom * float(g[1] + 6) / 120.0f);
        EXPECT_NEAR(fill, 1.0f, 1e-3f) << g[0] << "x" << g[1];
    }
    gFullScreen = false;
    MeshEditorSetView();
    EXPECT_TRUE(gMeshCamX == 12.0f && gMeshCamY == 8.5f && gMeshZoom == 4.0f);
}

TEST_F(MeshEditor, PaintingRules)
{
    Grid(4, 3, "0 0 0 0\n0 2 1 0\n0 0 0 0\n");
    gMeshPalette[0] = 0xFF0000FF;
    gMeshPalette[5] = 0xFF00FF00;
    gMeshColour     = 0;

    // A cursor between -1 and 0 still paints column 0 / row 0 (truncation toward zero).
    Vec2 p = {-0.5f, -0.5f};
    MeshEditorPaint(&p);
    EXPECT_EQ(gMeshCells[2 * 4 + 0].state, 1);

    // A painted cell keeps its colour; the file's filled cells cannot be painted over.
    gMeshColour = 1;
    MeshEditorPaint(&p);
    EXPECT_EQ(gMeshCells[2 * 4 + 0].colour, 0xFF0000FFu);
    Vec2 filled = {2.5f, 1.5f};
    MeshEditorPaint(&filled);
    EXPECT_EQ(gMeshCells[1 * 4 + 2].colour, 0xFFFFFFFFu);

    // The palette row below the grid picks a colour, in the same stroke as painting.
    Vec2 swatch = {5.5f, -1.5f};
    MeshEditorPaint(&swatch);
    EXPECT_EQ(gMeshColour, 5);
    Vec2 off = {30.5f, -1.5f};
    MeshEditorPaint(&off);
    EXPECT_EQ(gMeshColour, 5);

    // The right button erases painted cells (also those from the file) but not other states.
    MeshEditorErase(&filled);
    EXPECT_EQ(gMeshCells[1 * 4 + 2].state, 0);
    Vec2 other = {1.5f, 1.5f};
    MeshEditorErase(&other);
    EXPECT_EQ(gMeshCells[1 * 4 + 1].state, 2);
}

TEST_F(MeshEditor, DamagedFilesAreSafe)
{
    // No grid file: an empty grid, and painting or freeing touches nothing.
    EXPECT_FALSE(MeshEditorReadGrid((dir / "none.txt").c_str()));
    EXPECT_EQ(gMeshGridW * gMeshGridH, 0);
    Vec2 p = {0.5f, 0.5f};
    MeshEditorPaint(&p);
    MeshEditorErase(&p);
    MeshEditorFreeGrid();

    // A damaged header, or an absurd size, gives an empty grid.
    for (const char* text : {"width: x\nheight: 3\n", "w: -5 h: 4 0 0", "w: 100000 h: 100000 0"})
    {
        ASSERT_TRUE(Scenario::WriteFile(dir / "grid.txt", text));
        MeshEditorReadGrid((dir / "grid.txt").c_str());
        EXPECT_EQ(gMeshGridW * gMeshGridH, 0) << text;
    }
    // Cells after an unreadable value stay empty.
    Grid(3, 1, "1 x 1");
    EXPECT_EQ(gMeshCells[0].state, 1);
    EXPECT_EQ(gMeshCells[2].state, 0);

    // The palette stops at the first bad value; the rest keep their colours.
    for (uint32_t& c : gMeshPalette) c = 0xFF010101;
    ASSERT_TRUE(Scenario::WriteFile(dir / "colours.txt", "0xFFAA0000 ffbb0000 zz 0xFFCC0000"));
    ASSERT_TRUE(MeshEditorReadPalette((dir / "colours.txt").c_str()));
    EXPECT_EQ(gMeshPalette[0], 0xFFAA0000u);
    EXPECT_EQ(gMeshPalette[1], 0xFFBB0000u);
    EXPECT_EQ(gMeshPalette[2], 0xFF010101u);
}

} // namespace
