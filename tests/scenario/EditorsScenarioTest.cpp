// The two editors driven through the real program: splash, menu, F2 / F3, scripted mouse and keys, and
// the files they write in a copy of the data folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "Image.h"
#include "Scenario.h"

namespace fs = std::filesystem;

namespace
{

// The menu is up after the splash's three seconds (180 frames at 1/60 s); the editors are one key away.
const int EDITOR_FRAME = 200;

// A data folder the editors may write into: meshes and maps copied, sounds linked.
struct DataCopy
{
    Scenario::TempDir dir;
    std::string data = dir / "data";
    DataCopy()
    {
        fs::create_directories(data);
        fs::copy(fs::path(SKARN_DATA_DIR) / "Meshes", fs::path(data) / "Meshes", fs::copy_options::recursive);
        fs::create_directories(fs::path(data) / "Tilemaps");
        if (fs::exists(fs::path(SKARN_DATA_DIR) / "Tilemaps"))
            fs::copy(fs::path(SKARN_DATA_DIR) / "Tilemaps", fs::path(data) / "Tilemaps",
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::create_directory_symlink(fs::path(SKARN_DATA_DIR) / "Sounds", fs::path(data) / "Sounds");
        fs::copy_file(fs::path(SKARN_DATA_DIR) / "highscore.txt", fs::path(data) / "highscore.txt");
    }
    std::string operator/(const std::string& name) const { return data + "/" + name; }
};

Scenario::Result RunEditor(const DataCopy& copy, int frames, const std::string& script,
                           const std::vector<std::string>& extra = {})
{
    Scenario::Options opt;
    opt.dataDir = copy.data;
    opt.script  = script;
    opt.args    = {"--frames", std::to_string(frames)};
    opt.args.insert(opt.args.end(), extra.begin(), extra.end());
    return Scenario::Run(opt);
}

std::string Key(int frame, const char* vk)
{
    std::ostringstream s;
    s << frame << " down " << vk << "\n" << frame + 1 << " up " << vk << "\n";
    return s.str();
}

// Client pixel of the centre of map cell (column, row) at the tile editor's starting camera
// (12, 8.5) and zoom 7: world = 7 * (map - camera), 80 x 60 world units across the 800 x 600 window.
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

TEST(TileEditorScenario, PaintsWritesAndShowsTheMapAgain)
{
    DataCopy copy;
    fs::remove(copy / "Tilemaps/map_out.txt");
    std::ostringstream s;
    s << Key(EDITOR_FRAME, "0x71");                                      // F2
    s << Key(EDITOR_FRAME + 4, "0x4A") << Key(EDITOR_FRAME + 6, "0x4A"); // J J: terrain
    int f = EDITOR_FRAME + 10;
    s << f << " move " << TilePx(1) << " " << TilePy(19) << "\n" << f + 1 << " press 1\n";
    for (int c = 2; c <= 10; ++c) s << f + c << " move " << TilePx(c) << " " << TilePy(19) << "\n";
    s << f + 11 << " release 1\n";
    // Painting over a painted cell changes nothing, even with another type selected (L: diamond).
    s << Key(f + 12, "0x4C");
    s << f + 14 << " move " << TilePx(3) << " " << TilePy(19) << "\n" << f + 15 << " press 1\n";
    s << f + 16 << " release 1\n";
    // A diamond in an empty cell, then the right button erases column 10.
    s << f + 17 << " move " << TilePx(4) << " " << TilePy(16) << "\n" << f + 18 << " press 1\n";
    s << f + 19 << " release 1\n";
    s << f + 20 << " move " << TilePx(10) << " " << TilePy(19) << "\n" << f + 21 << " press 2\n";
    s << f + 22 << " release 2\n";
    s << Key(f + 24, "0x41"); // A: write the map
    Scenario::Result r = RunEditor(copy, f + 30, s.str());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;

    std::string map = Scenario::ReadFile(copy / "Tilemaps/map_out.txt");
    ASSERT_FALSE(map.empty());
    const int bottom = 19 * 140;
    for (int c = 1; c <= 9; ++c) EXPECT_EQ(MapValue(map, bottom + c), 26) << "column " << c;
    EXPECT_EQ(MapValue(map, bottom + 10), 0);
    EXPECT_EQ(MapValue(map, bottom + 0), 0);
    EXPECT_EQ(MapValue(map, 16 * 140 + 4), 27);

    // Entering again reads the written map back and shows every painted cell; R rebuilds them the same.
    std::string shot1 = copy.dir / "tiles1.png", shot2 = copy.dir / "tiles2.png";
    std::string script2 = Key(EDITOR_FRAME, "0x71") + Key(EDITOR_FRAME + 10, "0x52");
    r                   = RunEditor(copy, EDITOR_FRAME + 20, script2,
                                    {"--screenshot", std::to_string(EDITOR_FRAME + 5) + ":" + shot1, "--screenshot",
                                     std::to_string(EDITOR_FRAME + 15) + ":" + shot2});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    for (const std::string& shot : {shot1, shot2})
    {
        TestImage img;
        ASSERT_TRUE(ImageLoad(shot, &img)) << shot;
        for (int c = 1; c <= 9; ++c)
            EXPECT_NE(ImagePixel(img, TilePx(c), TilePy(19)) & 0xFFFFFF, 0u) << shot << " column " << c;
        EXPECT_EQ(ImagePixel(img, TilePx(10), TilePy(19)) & 0xFFFFFF, 0u) << shot;
        EXPECT_EQ(ImagePixel(img, TilePx(14), TilePy(12)) & 0xFFFFFF, 0u) << shot;
    }
    // The level reads what the editor wrote: the map file is unchanged by a run of the editor.
    EXPECT_EQ(Scenario::ReadFile(copy / "Tilemaps/map_out.txt"), map);
}

// A map painted in the editor plays as the level's first chunk: a leader over a floor that runs the
// whole width, painted by holding the mouse still while the camera scrolls right.
TEST(TileEditorScenario, APaintedMapPlaysInTheLevel)
{
    DataCopy copy;
    std::ostringstream s;
    s << Key(EDITOR_FRAME, "0x71");
    s << Key(EDITOR_FRAME + 4, "0x4C"); // L: 14 -> 1, the party start
    s << EDITOR_FRAME + 6 << " move " << TilePx(3) << " " << TilePy(17) << "\n";
    s << EDITOR_FRAME + 7 << " press 1\n" << EDITOR_FRAME + 8 << " release 1\n";
    for (int i = 0; i < 3; ++i) s << Key(EDITOR_FRAME + 10 + 2 * i, "0x4A"); // J J J: 1 -> 12, terrain
    int f = EDITOR_FRAME + 20;
    s << f << " move 22 " << TilePy(19) << "\n" << f + 1 << " press 1\n" << f + 1 << " down 0x27\n";
    s << f + 290 << " up 0x27\n" << f + 291 << " release 1\n";
    s << Key(f + 293, "0x41");
    Scenario::Result r = RunEditor(copy, f + 300, s.str());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    std::string map = Scenario::ReadFile(copy / "Tilemaps/map_out.txt");
    EXPECT_EQ(MapValue(map, 17 * 140 + 3), 5);
    for (int c = 1; c < 140; ++c) ASSERT_EQ(MapValue(map, 19 * 140 + c), 26) << "column " << c;

    // The painted map becomes the first chunk; F1 from the editor starts the level on it. SPACE closes
    // the tutorial pages (and jumps, which the floor does not mind).
    fs::copy_file(copy / "Tilemaps/map_out.txt", copy / "Tilemaps/map0.txt",
                  fs::copy_options::overwrite_existing);
    std::string script = Key(EDITOR_FRAME, "0x71") + Key(EDITOR_FRAME + 5, "0x70");
    for (int k = 0; k < 20; ++k) script += Key(EDITOR_FRAME + 40 + 30 * k, "0x20");
    std::string shot = copy.dir / "level.png";
    r                = RunEditor(copy, EDITOR_FRAME + 660, script,
                                 {"--screenshot", std::to_string(EDITOR_FRAME + 600) + ":" + shot});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    int meters = -1, kills = -1, power = -1;
    float seconds = 0;
    size_t at     = r.err.rfind("run: ");
    ASSERT_NE(at, std::string::npos) << r.err;
    ASSERT_EQ(sscanf(r.err.c_str() + at, "run: meters=%d kills=%d power=%d seconds=%f", &meters, &kills,
                     &power, &seconds),
              4)
        << r.err;
    EXPECT_GE(power, 1) << "the leader is still running";
    EXPECT_GT(meters, 5);
}

TEST(TileEditorScenario, EscapeQuitsAndZoomStopsAtOne)
{
    DataCopy copy;
    std::string script = Key(EDITOR_FRAME, "0x71");
    for (int i = 0; i < 10; ++i) script += Key(EDITOR_FRAME + 4 + 2 * i, "0xBD"); // minus, ten times
    script += Key(EDITOR_FRAME + 30, "0x1B");
    Scenario::Result r =
        RunEditor(copy, EDITOR_FRAME + 200, script,
                  {"--screenshot", std::to_string(EDITOR_FRAME + 28) + ":" + (copy.dir / "zoomed.png")});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.signal, 0);
    TestImage img;
    ASSERT_TRUE(ImageLoad(copy.dir / "zoomed.png", &img));
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

TEST(MeshEditorScenario, PaintsPicksAndExports)
{
    DataCopy copy;
    std::ostringstream s;
    s << Key(EDITOR_FRAME, "0x72"); // F3
    int f = EDITOR_FRAME + 6;
    // Pick swatch 5 and drag up into the grid: the same stroke paints in colour 5.
    s << f << " move " << MeshPx(5.5) << " " << MeshPy(-1.5) << "\n" << f + 1 << " press 1\n";
    s << f + 2 << " move " << MeshPx(0.5) << " " << MeshPy(0.5) << "\n";
    s << f + 3 << " release 1\n";
    s << Key(f + 5, "0x41");
    Scenario::Result r = RunEditor(copy, f + 10, s.str());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;

    std::string palette = Scenario::ReadFile(copy / "Meshes/colours.txt");
    std::istringstream pin(palette);
    unsigned int colour = 0;
    for (int k = 0; k <= 5; ++k) pin >> std::hex >> colour;
    std::ostringstream hex;
    hex << "0x" << std::hex << colour << "\n";
    // Cell (0, 0) is the bottom-left cell of the 80 x 80 grid: x -0.5..-0.4875, y -0.5..-0.4875.
    std::string c = hex.str();
    EXPECT_EQ(Scenario::ReadFile(copy / "Meshes/outmesh.txt"),
              "-0.4875\n-0.4875\n" + c + "-0.5\n-0.4875\n" + c + "-0.5\n-0.5\n" + c + "-0.5\n-0.5\n" + c +
                  "-0.4875\n-0.5\n" + c + "-0.4875\n-0.4875\n" + c);
}

TEST(MeshEditorScenario, EntersSafelyWithEmptyHugeOrMissingFiles)
{
    // An empty export, an export larger than one triangle list, and no grid file at all: the editor
    // opens, draws and leaves cleanly every time.
    std::string huge;
    for (int i = 0; i < 9000; ++i) huge += "-0.5 -0.5 0xff804020 0.5 -0.5 0xff804020 0.5 0.5 0xff804020\n";
    for (int variant = 0; variant < 3; ++variant)
    {
        DataCopy copy;
        if (variant == 0) Scenario::WriteFile(copy / "Meshes/outmesh.txt", "");
        if (variant == 1) Scenario::WriteFile(copy / "Meshes/outmesh.txt", huge);
        if (variant == 2) fs::remove(copy / "Meshes/readmesh80x80.txt");
        std::string shot = copy.dir / "mesh.png";
        // Zoom out to 1 (and once more, which is refused) so the preview beside the grid is in view.
        std::string script = Key(EDITOR_FRAME, "0x72") + Key(EDITOR_FRAME + 4, "0xBD") +
                             Key(EDITOR_FRAME + 6, "0xBD") + Key(EDITOR_FRAME + 8, "0xBD") +
                             Key(EDITOR_FRAME + 10, "0xBD") + "215 move 300 300\n216 press 1\n217 press 2\n" +
                             "218 release 1\n219 release 2\n" + Key(EDITOR_FRAME + 22, "0x71");
        Scenario::Result r = RunEditor(copy, EDITOR_FRAME + 40, script,
                                       {"--screenshot", std::to_string(EDITOR_FRAME + 20) + ":" + shot});
        ASSERT_EQ(r.exitCode, 0) << "variant " << variant << "\n" << r.out << r.err;
        TestImage img;
        ASSERT_TRUE(ImageLoad(shot, &img)) << variant;
        // At zoom 1 the preview (grid x 45..55, y -5..5) lies at client x 565..615, y 318..367; its lower
        // half, below the grid, is clear of grid lines.
        int lit = 0;
        for (int y = 346; y < 366; y += 4)
            for (int x = 570; x < 610; x += 4) lit += (ImagePixel(img, x, y) & 0xFFFFFF) != 0;
        if (variant == 1)
        {
            EXPECT_GT(lit, 0) << "the first triangles of a large export are previewed";
        }
        if (variant == 0)
        {
            EXPECT_EQ(lit, 0) << "an empty export shows no preview";
        }
    }
}

} // namespace
