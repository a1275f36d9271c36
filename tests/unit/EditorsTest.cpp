// The editors' file formats and painting rules, against the logic library (no window needed).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Scenario.h"
#include "framework/CommonLevel.h"
#include "level/Terrain.h"
#include "states/GameState_Mesheditor.h"
#include "states/GameState_TileEditor.h"

namespace
{

std::string Line(const std::string& text, int n)
{
    size_t pos = 0;
    for (int i = 0; i < n; ++i) pos = text.find('\n', pos) + 1;
    return text.substr(pos, text.find('\n', pos) - pos);
}

TEST(TileEditor, WritesTheMapFormatExactly)
{
    Scenario::TempDir dir;
    static int cells[MAP_CELLS];
    std::fill(std::begin(cells), std::end(cells), 0);
    cells[0] = 26;
    ASSERT_TRUE(TileEditorWriteMap((dir / "map.txt").c_str(), cells));
    std::string text = Scenario::ReadFile(dir / "map.txt");

    std::string zeros;
    for (int i = 0; i < 139; ++i) zeros += " 0 ";
    EXPECT_EQ(Line(text, 0), "26 " + zeros);
    for (int r = 1; r < MAP_HEIGHT; ++r) EXPECT_EQ(Line(text, r), " 0 " + zeros) << "row " << r;
    EXPECT_EQ(text.size(), size_t(MAP_HEIGHT) * (MAP_WIDTH * 3 + 1));
    EXPECT_EQ(text.back(), '\n');

    EXPECT_FALSE(TileEditorWriteMap((dir / "missing/map.txt").c_str(), cells));
}

TEST(TileEditor, WrittenMapReadsBackUnchanged)
{
    Scenario::TempDir dir;
    static int painted[MAP_CELLS], readBack[MAP_CELLS];
    const int values[] = {0, 5, 6, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, -3, 9, 10, 123};
    for (int i = 0; i < MAP_CELLS; ++i) painted[i] = values[(i * 7 + i / 13) % 19];
    ASSERT_TRUE(TileEditorWriteMap((dir / "map.txt").c_str(), painted));
    std::fill(std::begin(readBack), std::end(readBack), 99);
    ASSERT_TRUE(Terrain::ReadMap((dir / "map.txt").c_str(), readBack));
    for (int i = 0; i < MAP_CELLS; ++i) ASSERT_EQ(readBack[i], painted[i]) << "cell " << i;
}

TEST(TileEditor, CellsAndPalette)
{
    Vec2 p = {0.2f, 19.9f};
    EXPECT_EQ(TileEditorCellAt(&p), 0);
    p = {139.9f, 0.1f};
    EXPECT_EQ(TileEditorCellAt(&p), MAP_CELLS - 1);
    p = {5.5f, 18.5f};
    EXPECT_EQ(TileEditorCellAt(&p), MAP_WIDTH + 5);
    for (Vec2 out : {Vec2{-0.1f, 5.0f}, Vec2{140.0f, 5.0f}, Vec2{5.0f, 20.0f}, Vec2{5.0f, -0.01f}})
        EXPECT_EQ(TileEditorCellAt(&out), -1) << out.x << "," << out.y;

    int index = 14;
    for (int i = 0; i < 14; ++i) index = TileEditorPaletteStep(index, 1);
    EXPECT_EQ(index, 14);
    EXPECT_EQ(TileEditorPaletteStep(14, 1), 1);
    EXPECT_EQ(TileEditorPaletteStep(1, -1), 14);
    EXPECT_EQ(TileEditorPaletteType(12), TYPE_TERRAIN);
    EXPECT_EQ(TileEditorPaletteType(14), TYPE_FLAG);
    EXPECT_EQ(TileEditorPaletteType(1), TYPE_LEADER_BODY);
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

TEST_F(MeshEditor, ExportOfTheTopLeftCell)
{
    Grid(80, 80);
    gMeshColour     = 3;
    gMeshPalette[3] = 0xFF123456;
    Vec2 p          = {0.5f, 79.5f};
    MeshEditorPaint(&p);
    ASSERT_TRUE(MeshEditorExport((dir / "out.txt").c_str()));
    EXPECT_EQ(Scenario::ReadFile(dir / "out.txt"), "-0.4875\n0.5\n0xff123456\n"
                                                   "-0.5\n0.5\n0xff123456\n"
                                                   "-0.5\n0.4875\n0xff123456\n"
                                                   "-0.5\n0.4875\n0xff123456\n"
                                                   "-0.4875\n0.4875\n0xff123456\n"
                                                   "-0.4875\n0.5\n0xff123456\n");
}

TEST_F(MeshEditor, EmptyExportIsAnEmptyFile)
{
    Grid(80, 80);
    ASSERT_TRUE(Scenario::WriteFile(dir / "out.txt", "stale"));
    ASSERT_TRUE(MeshEditorExport((dir / "out.txt").c_str()));
    EXPECT_EQ(Scenario::ReadFile(dir / "out.txt"), "");
    EXPECT_FALSE(MeshEditorExport((dir / "missing/out.txt").c_str()));
}

TEST_F(MeshEditor, NonSquareGridPaintsAndErasesEverywhere)
{
    Grid(100, 60);
    gMeshColour = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
        {
            Vec2 p = {x + 0.5f, y + 0.5f};
            MeshEditorPaint(&p);
        }
    for (int i = 0; i < 100 * 60; ++i) ASSERT_EQ(gMeshCells[i].state, 1) << i;
    // Beyond the right and top edges nothing is painted (and nothing past the arrays is touched).
    for (Vec2 p : {Vec2{100.0f, 5.0f}, Vec2{250.0f, 5.0f}, Vec2{5.0f, 60.0f}, Vec2{-1.0f, 5.0f}})
    {
        MeshEditorErase(&p);
        MeshEditorPaint(&p);
    }
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
        {
            Vec2 p = {x + 0.5f, y + 0.5f};
            MeshEditorErase(&p);
        }
    for (int i = 0; i < 100 * 60; ++i) ASSERT_EQ(gMeshCells[i].state, 0) << i;
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
