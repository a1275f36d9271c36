// The two editors driven through the real program: splash, menu, F2 / F3, scripted mouse and keys, and
// the files they read from and write to the user's data folder (the save folder), never the game's.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "Play.h"

namespace fs = std::filesystem;

namespace
{

// The menu is up after the splash's three seconds (180 frames at 1/60 s); the editors are one key away.
const int E     = 200;
const int VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_MINUS = 0xBD, VK_A = 0x41, VK_J = 0x4A, VK_L = 0x4C;

// The game's data (links: never written through) and the user's data folder, where the editors' files go
// (copy / NAME) and where they look first.
struct DataCopy : Scenario::GameData
{
    Scenario::TempDir user;
    DataCopy()
    {
        for (const char* d : {"Meshes", "Tilemaps"}) fs::create_directory(fs::path(user.path) / d);
    }
    std::string operator/(const std::string& name) const { return user / name; }
};

struct EditorPlay : Scenario::Play
{
    explicit EditorPlay(const DataCopy& copy)
    {
        opt.dataDir = copy.dir.path;
        opt.saveDir = copy.user.path;
    }
};

// Client pixel of the centre of map cell (column, row) at the tile editor's starting camera (12, 8.5) and
// zoom 7: world = 7 * (map - camera), 80 x 60 world units across the 800 x 600 window.
int TilePx(int column)
{
    return int(400.0 + 5.0 * 7.0 * (column + 0.5 - 12.0));
}
int TilePy(int row)
{
    return int(300.0 - 5.0 * 7.0 * (19.5 - row - 8.5));
}

int MapValue(const std::string& text, int cell)
{
    std::istringstream in(text);
    int v = 0;
    for (int i = 0; i <= cell; ++i) in >> v;
    return in ? v : -999;
}

// A party start, terrain dragged along the bottom row, a diamond, an erased cell, and a floor across the
// whole width of row 18 painted by holding the mouse still while the camera scrolls right; A writes the map.
TEST(TileEditorScenario, PaintsWritesShowsTheMapAgainAndQuitsOnEscape)
{
    DataCopy copy;
    EditorPlay p(copy);
    p.Key(E, VK_F2);
    p.Key(E + 4, VK_L); // 14 -> 1, the party start
    p.Click(E + 6, TilePx(3), TilePy(17));
    for (int i = 0; i < 3; ++i) p.Key(E + 10 + 2 * i, VK_J); // 1 -> 12, terrain
    const int f = E + 20;
    p.Move(f, TilePx(1), TilePy(19));
    p.Line(f + 1, "press 1");
    for (int c = 2; c <= 10; ++c) p.Move(f + c, TilePx(c), TilePy(19));
    p.Line(f + 11, "release 1");
    p.Key(f + 12, VK_L); // painting over a painted cell changes nothing, even as a diamond
    p.Click(f + 14, TilePx(3), TilePy(19));
    p.Click(f + 17, TilePx(4), TilePy(16));     // a diamond in an empty cell
    p.Click(f + 20, TilePx(10), TilePy(19), 2); // the right button erases column 10
    p.Key(f + 23, VK_J);
    p.Move(f + 26, 22, TilePy(18));
    p.Line(f + 27, "press 1");
    p.Line(f + 27, "down 0x27");
    p.Line(f + 316, "up 0x27");
    p.Line(f + 317, "release 1");
    p.Key(f + 319, VK_A); // writes the map
    ASSERT_EQ(p.Go(f + 325).exitCode, 0) << p.res.out << p.res.err;

    std::string map = Scenario::ReadFile(copy / "Tilemaps/map_out.txt");
    ASSERT_FALSE(map.empty());
    EXPECT_FALSE(Scenario::FileExists(copy.dir / "Tilemaps/map_out.txt")) << "the game's data is not written";
    for (int c = 1; c <= 9; ++c) EXPECT_EQ(MapValue(map, 19 * 140 + c), 26) << "column " << c;
    EXPECT_EQ(MapValue(map, 19 * 140 + 10), 0);
    EXPECT_EQ(MapValue(map, 19 * 140 + 0), 0);
    EXPECT_EQ(MapValue(map, 16 * 140 + 4), 27);
    EXPECT_EQ(MapValue(map, 17 * 140 + 3), 5);
    for (int c = 1; c < 140; ++c) ASSERT_EQ(MapValue(map, 18 * 140 + c), 26) << "row 18, column " << c;

    // Entering again reads the written map back and shows every painted cell; R rebuilds them the same. ESC
    // quits.
    EditorPlay again(copy);
    again.Key(E, VK_F2);
    again.Key(E + 10, 'R');
    again.Key(E + 46, 0x1B);
    for (long shot : {E + 5, E + 15}) again.Shot(shot);
    ASSERT_EQ(again.Go(E + 200).exitCode, 0) << again.res.out << again.res.err;
    EXPECT_EQ(again.StateChange(3, 6), E + 46) << again.res.err;
    for (long shot : {E + 5, E + 15})
    {
        TestImage img = again.Image(shot);
        for (int c = 1; c <= 9; ++c)
            EXPECT_NE(ImagePixel(img, TilePx(c), TilePy(19)) & 0xFFFFFF, 0u) << shot << " column " << c;
        EXPECT_EQ(ImagePixel(img, TilePx(10), TilePy(19)) & 0xFFFFFF, 0u) << shot;
        EXPECT_EQ(ImagePixel(img, TilePx(14), TilePy(12)) & 0xFFFFFF, 0u) << shot;
    }
    EXPECT_EQ(Scenario::ReadFile(copy / "Tilemaps/map_out.txt"), map); // only A writes the file
}

// Client pixel of grid point (x, y) at the mesh editor's starting camera (12, 8.5) and zoom 4.
int MeshPx(double x)
{
    return int(400.0 + 5.0 * 4.0 * (x - 12.0));
}
int MeshPy(double y)
{
    return int(300.0 - 5.0 * 4.0 * (y - 8.5));
}

// Lit pixels in the lower half of the preview of the last export at zoom 1 (grid x 45..55, y -5..5 lies at
// client x 565..615, y 318..367; below the grid it is clear of grid lines).
int PreviewLit(const TestImage& img)
{
    int lit = 0;
    for (int y = 346; y < 366; y += 4)
        for (int x = 570; x < 610; x += 4) lit += (ImagePixel(img, x, y) & 0xFFFFFF) != 0;
    return lit;
}

// Zoom out to 1 (and once more, which is refused), paint and erase at once, and leave for the level.
void ZoomOutPaintAndLeave(Scenario::Play* p, int from)
{
    for (int i = 0; i < 4; ++i) p->Key(from + 2 * i, VK_MINUS);
    p->Move(from + 11, 300, 300);
    p->Line(from + 12, "press 1");
    p->Line(from + 13, "press 2");
    p->Line(from + 14, "release 1");
    p->Line(from + 15, "release 2");
    p->Shot(from + 16);
    p->Key(from + 18, VK_F1);
}

TEST(MeshEditorScenario, AfterAnEmptyExportPaintsPicksAndExports)
{
    DataCopy copy;
    Scenario::WriteFile(copy / "Meshes/outmesh.txt", "");
    EditorPlay p(copy);
    p.Key(E, VK_F3);
    p.Key(E + 3, VK_A); // nothing painted yet: the file stays as it is
    const int f = E + 6;
    // Pick swatch 5 and drag up into the grid: the same stroke paints in colour 5.
    p.Move(f, MeshPx(5.5), MeshPy(-1.5));
    p.Line(f + 1, "press 1");
    p.Move(f + 2, MeshPx(0.5), MeshPy(0.5));
    p.Line(f + 3, "release 1");
    p.Key(f + 5, VK_A);
    ZoomOutPaintAndLeave(&p, f + 10);
    ASSERT_EQ(p.Go(f + 40).exitCode, 0) << p.res.out << p.res.err;
    EXPECT_EQ(PreviewLit(p.Image(f + 26)), 0) << "an empty export shows no preview";
    EXPECT_NE(p.res.err.find("mesh editor: could not save " + (copy / "Meshes/outmesh.txt") +
                             ": nothing is painted; the file is kept\n"),
              std::string::npos);

    std::istringstream palette(Scenario::ReadFile(copy.dir / "Meshes/colours.txt"));
    unsigned int colour = 0;
    for (int k = 0; k <= 5; ++k) palette >> std::hex >> colour;
    std::ostringstream hex;
    hex << "0x" << std::hex << colour << "\n";
    // Cell (0, 0) is the bottom-left cell of the 80 x 80 grid: x -0.5..-0.4875, y -0.5..-0.4875.
    std::string c = hex.str();
    EXPECT_EQ(Scenario::ReadFile(copy / "Meshes/outmesh.txt"),
              "-0.4875\n-0.4875\n" + c + "-0.5\n-0.4875\n" + c + "-0.5\n-0.5\n" + c + "-0.5\n-0.5\n" + c +
                  "-0.4875\n-0.5\n" + c + "-0.4875\n-0.4875\n" + c);
}

// The legend's text (not the white grid lines).
bool Cream(int r, int g, int b)
{
    return r > 200 && g > 190 && b < 215 && b > 120;
}

// Each editor prints its keys for the first five seconds and H shows or hides them; after a save a status
// line at the bottom names the file (mesh editor) or says why it failed (tile editor, whose file is a
// folder); the mesh editor frames the cell under the cursor in yellow.
TEST(EditorHelpScenario, KeysForFiveSecondsHTogglesThemAndASaveSaysHowItWent)
{
    DataCopy copy;
    fs::create_directory(copy / "Tilemaps/map_out.txt");
    EditorPlay p(copy);
    p.Key(E, VK_F3);
    p.Move(E + 2, MeshPx(30.5), MeshPy(10.5));
    p.Line(E + 3, "press 1");
    p.Line(E + 4, "release 1");
    p.Key(E + 5, VK_A);
    p.Shot(E + 8);
    p.Key(E + 10, 'H');
    p.Shot(E + 13);
    p.Key(E + 20, VK_F2);
    p.Key(E + 24, VK_A);
    p.Shot(E + 28);
    p.Shot(E + 24 + 310); // past five seconds in the tile editor
    ASSERT_EQ(p.Go(E + 340).exitCode, 0) << p.res.out << p.res.err;
    auto legend = [&](int f) { return ImageCount(p.Image(f), 10, 10, 420, 180, Cream); };
    auto green  = [](int r, int g, int b) { return g > 200 && r < 190 && b < 190; };            // saved
    auto red    = [](int r, int g, int b) { return r > 220 && g < 170 && b < 160 && g > 100; }; // failed
    EXPECT_GT(legend(E + 8), 1000);
    EXPECT_EQ(legend(E + 13), 0);
    EXPECT_GT(legend(E + 28), 1000);
    EXPECT_EQ(legend(E + 334), 0);
    EXPECT_GT(ImageCount(p.Image(E + 8), 10, 560, 400, 595, green), 200) << "Saved Meshes/outmesh.txt";
    EXPECT_GT(ImageCount(p.Image(E + 28), 10, 560, 600, 595, red), 200) << "Not saved: Tilemaps/map_out.txt";
    EXPECT_NE(p.res.err.find("tile editor: could not save " + (copy / "Tilemaps/map_out.txt") + ": "),
              std::string::npos);
    // The pointer's frame around grid cell (30, 10): client x 770..790, y 250..270 at the start view.
    auto yellow = [](int r, int g, int b) { return r > 200 && g > 180 && b < 100; };
    EXPECT_GT(
        ImageCount(p.Image(E + 13), MeshPx(30) - 4, MeshPy(11) - 4, MeshPx(31) + 4, MeshPy(10) + 4, yellow),
        60);
}

// The legend grows with the window as the menus' texts do: at twice the 800 x 600 layout it reaches twice as
// far right as its longest line does at 800 x 600 (about 400 pixels).
TEST(EditorHelpScenario, TheLegendGrowsWithTheWindow)
{
    DataCopy copy;
    EditorPlay p(copy);
    p.opt.args = {"--geometry", "1600x1200"};
    p.Key(E, VK_F2);
    p.Shot(E + 8);
    ASSERT_EQ(p.Go(E + 10).exitCode, 0) << p.res.err;
    EXPECT_GT(ImageCount(p.Image(E + 8), 480, 20, 840, 360, Cream), 500);
}

TEST(MeshEditorScenario, EntersSafelyWithAHugeExportAndNoGridFile)
{
    std::string huge;
    for (int i = 0; i < 9000; ++i) huge += "-0.5 -0.5 0xff804020 0.5 -0.5 0xff804020 0.5 0.5 0xff804020\n";
    DataCopy copy;
    Scenario::WriteFile(copy / "Meshes/outmesh.txt", huge);
    fs::remove(copy.dir / "Meshes/readmesh80x80.txt");
    EditorPlay p(copy);
    p.Key(E, VK_F3);
    ZoomOutPaintAndLeave(&p, E + 4);
    ASSERT_EQ(p.Go(E + 40).exitCode, 0) << p.res.out << p.res.err;
    EXPECT_GT(PreviewLit(p.Image(E + 20)), 0) << "the first triangles of a large export are previewed";
}

} // namespace
