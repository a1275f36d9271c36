// The editors' file formats, painting rules and damaged files, against the logic library (no window
// needed). The exact export of a painted cell and the palette steps are walked in the editor scenarios.
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

// Any map the level reads goes through the writer and back unchanged: the map fuzz target's saved inputs.
TEST(TileEditor, WritesTheMapFormatExactlyAndTheCursorCellStaysInTheMap)
{
    Scenario::TempDir dir;
    static int cells[MAP_CELLS];
    std::fill(std::begin(cells), std::end(cells), 0);
    cells[0] = 26;
    ASSERT_EQ(TileEditorWriteMap((dir / "map.txt").c_str(), cells), "");
    std::string zeros, text;
    for (int i = 0; i < 139; ++i) zeros += " 0 ";
    for (int r = 0; r < MAP_HEIGHT; ++r) text += (r ? " 0 " : "26 ") + zeros + "\n";
    EXPECT_EQ(Scenario::ReadFile(dir / "map.txt"), text);

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

    // The grid read from the text; its size (0 when the file is refused) and the state of its first cells.
    std::string Read(const std::string& text)
    {
        EXPECT_TRUE(Scenario::WriteFile(dir / "grid.txt", text));
        MeshEditorReadGrid((dir / "grid.txt").c_str());
        std::string s = std::to_string(gMeshGridW * gMeshGridH);
        for (int i = 0; i < std::min(3, gMeshGridW * gMeshGridH); ++i)
            s += " " + std::to_string(gMeshCells[i].state);
        return s;
    }
    void Grid(int w, int h, const std::string& cells = "")
    {
        std::string text = "width: " + std::to_string(w) + "\nheight: " + std::to_string(h) + "\n";
        if (cells.empty())
            for (int i = 0; i < w * h; ++i) text += "0 ";
        Read(text + cells);
    }
};

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

// In full screen the view shows every cell and the palette row, as large as it fits; in the window it
// starts where it always did.
TEST_F(MeshEditor, FullScreenViewFitsTheGridAndThePalette)
{
    gKoWinMinX = -80.0f, gKoWinMaxX = 80.0f, gKoWinMinY = -60.0f, gKoWinMaxY = 60.0f;
    for (const auto& g : {std::pair<int, int>{80, 80}, {100, 60}, {10, 200}})
    {
        Grid(g.first, g.second);
        gKoGfxFullScreen = true;
        MeshEditorSetView();
        const float corners[][2] = {
            {0, -2}, {30, -2}, {float(g.first), float(g.second)}, {0, float(g.second)}};
        float reach = 0.0f; // the largest share of the half-width or half-height in use: margins stay
        for (const auto& c : corners)
        {
            float x = gMeshZoom * (c[0] - gMeshCamX) / 80.0f, y = gMeshZoom * (c[1] - gMeshCamY) / 60.0f;
            EXPECT_TRUE(std::abs(x) <= 1.0f && std::abs(y) <= 1.0f) << g.first << "x" << g.second;
            reach = std::max({reach, std::abs(x), std::abs(y)});
        }
        EXPECT_GT(reach, 0.97f) << g.first << "x" << g.second;
    }
    gKoGfxFullScreen = false;
    MeshEditorSetView();
    EXPECT_TRUE(gMeshCamX == 12.0f && gMeshCamY == 8.5f && gMeshZoom == 4.0f);
}

TEST_F(MeshEditor, PaintingRules)
{
    Grid(4, 3, "0 0 0 0\n0 2 1 0\n0 0 0 0\n");
    gMeshPalette[0] = 0xFF0000FF;
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

    Vec2 off = {30.5f, -1.5f}; // past the palette row's last swatch (picking is the scenarios')
    MeshEditorPaint(&off);
    EXPECT_EQ(gMeshColour, 1);

    // The right button erases painted cells (also those from the file) but not other states.
    Vec2 other = {1.5f, 1.5f};
    MeshEditorErase(&filled);
    MeshEditorErase(&other);
    EXPECT_EQ(gMeshCells[1 * 4 + 2].state, 0);
    EXPECT_EQ(gMeshCells[1 * 4 + 1].state, 2);
}

// Damaged grid files give an empty grid (or stop at the first unreadable cell); some once slipped through:
// a width beyond 32 bits wrapped round to 80, nine-digit colours lost their top digit.
TEST_F(MeshEditor, DamagedFilesAreSafe)
{
    // No grid file at all: the mesh editor scenario paints on the empty grid.
    const std::pair<const char*, const char*> grids[] = {
        {"width: x\nheight: 3\n", "0"},
        {"w: -5 h: 4 0 0", "0"},
        {"w: 100000 h: 100000 0", "0"},
        {"width: 4294967376\nheight: 2\n1 1 1", "0"},
        {"width: 1025\nheight: 1024\n1", "0"},
        {"width: 1\nheight: 1048576\n1", "0"},
        {"width: 1024\nheight: 1024\n1 2", "1048576 1 2 0"},
        {"width: 3\nheight: 1\n1 x 1", "3 1 0 0"},
        {"width: 3\nheight: 1\n1 99999999999 1", "3 1 0 0"},
    };
    for (const auto& g : grids) EXPECT_EQ(Read(g.first), g.second) << g.first;

    // The palette stops at the first bad value; the rest keep their colours.
    for (const char* text : {"0xFFAA0000 ffbb0000 zz 0xFFCC0000", "0xffaa0000 0xffbb0000 0x1ff0000ff 3",
                             "FFAA0000 ffbb0000 -1 0xff000003"})
    {
        for (uint32_t& c : gMeshPalette) c = 0xFF010101;
        ASSERT_TRUE(Scenario::WriteFile(dir / "colours.txt", text));
        ASSERT_TRUE(MeshEditorReadPalette((dir / "colours.txt").c_str()));
        EXPECT_TRUE(gMeshPalette[0] == 0xFFAA0000u && gMeshPalette[1] == 0xFFBB0000u &&
                    gMeshPalette[2] == 0xFF010101u && gMeshPalette[3] == 0xFF010101u)
            << text;
    }
}

} // namespace
