// Tests of the asset tools: rectangle merging, the sprite language, the mesh writers and readers and the
// synthesiser, where the shipped assets do not reach. That the shipped data is what the tools make of the
// assets is the data_matches_assets test.
#include "AssetLib.h"
#include "Synth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace Asset;

namespace
{

// A temporary assets folder with a three-colour palette and the real font.
struct TempAssets
{
    std::string dir;
    TempAssets()
    {
        char tmpl[] = "/tmp/assettest.XXXXXX";
        dir         = mkdtemp(tmpl);
        WriteFile(dir + "/palette.txt", "K 0xff000000\nW 0xffffffff\nR 0xffff0000\n");
        std::string err;
        EXPECT_TRUE(LoadPalette(dir + "/palette.txt", &err)) << err;
        EXPECT_TRUE(LoadFont(std::string(SKARN_ASSETS_DIR) + "/font.txt", &err)) << err;
    }
    ~TempAssets() { std::filesystem::remove_all(dir); }
    // The sprite written and built; its triangles must all be counter-clockwise.
    Mesh Build(const std::string& name, const std::string& text, bool ok = true)
    {
        WriteFile(dir + "/" + name + ".sprite", text);
        Mesh m;
        std::string err;
        EXPECT_EQ(BuildSprite(dir, name, &m, &err), ok) << name << ": " << err;
        for (const Tri& t : m.tris) EXPECT_GT(TriArea2(t), 0.0f) << name;
        EXPECT_TRUE(ok || err.find(name + ".sprite") != std::string::npos) << err;
        return m;
    }
};

// The corners of every triangle: min x, max x, min y, max y.
std::vector<float> Extent(const std::vector<Tri>& tris)
{
    std::vector<float> e = {9, -9, 9, -9};
    for (const Tri& t : tris)
        for (const Vtx& v : t.v)
            e = {std::min(e[0], v.x), std::max(e[1], v.x), std::min(e[2], v.y), std::max(e[3], v.y)};
    return e;
}

} // namespace

TEST(MergeRects, CoversEveryPixelOnceWithItsOwnColour)
{
    srand(3);
    for (int round = 0; round < 200; ++round)
    {
        Bitmap bm;
        bm.w = 1 + rand() % 12;
        bm.h = 1 + rand() % 12;
        bm.px.resize(bm.w * bm.h);
        for (uint32_t& p : bm.px) p = (uint32_t)(rand() % 3) * 0x7f000001u; // empty or one of two colours
        std::vector<int> covered(bm.px.size(), 0);
        for (const PixRect& r : MergeRects(bm))
            for (int y = r.y; y < r.y + r.h; ++y)
                for (int x = r.x; x < r.x + r.w; ++x)
                {
                    ASSERT_EQ(bm.px[y * bm.w + x], r.c);
                    ++covered[y * bm.w + x];
                }
        for (size_t i = 0; i < bm.px.size(); ++i) ASSERT_EQ(bm.px[i] ? 1 : 0, covered[i]);
    }
    EXPECT_EQ(1u, MergeRects(Bitmap{7, 5, std::vector<uint32_t>(35, 0xff123456u)}).size()) << "a solid block";
}

// What the shipped sprites use (grids, turned includes, text) data_matches_assets checks; here a mirrored
// include and a triangle given clockwise, which stay counter-clockwise.
TEST(Sprite, MirroredIncludesAndClockwiseTrianglesStayCounterClockwise)
{
    TempAssets a;
    a.Build("_part", "grid 0 0 0.1\nRW\nend\ntri 0 0 K 0.2 0.3 K 0.3 0 K\n");
    Mesh m = a.Build("whole", "include _part 0.5 0 1 90\ninclude _part 0 0 -1 0\ninclude _part 0 0 2 -37\n");
    ASSERT_EQ(15u, m.tris.size());
    std::vector<float> red = Extent({m.tris[0], m.tris[1]}); // turned about its origin, then moved
    EXPECT_NEAR(0.4f, red[0], 1e-6f);
    EXPECT_NEAR(0.5f, red[1], 1e-6f);
}

TEST(Sprite, MistakesAreReportedWithTheFile)
{
    TempAssets a;
    Mesh m;
    for (const char* text :
         {"grid 0 0 0.1\nRR\n", "format flag\nrect 0 0 1 1 R\nrect 0 0 1 1 W\nrect 0 0 1 1 K\n",
          "text 0 0 0.1 W plain K \"A~\"\n", "include loop 0 0 1 0\n", "# nothing\n"})
        a.Build("loop", text, false);
    std::string err;
    EXPECT_FALSE(BuildSprite(a.dir, "missing", &m, &err));
    WriteFile(a.dir + "/line.sprite", "# comment\ngrid 0 0 0.1\nRQ\nend\n");
    EXPECT_FALSE(BuildSprite(a.dir, "line", &m, &err));
    EXPECT_NE(std::string::npos, err.find("line.sprite:3")) << err;
}

// Written meshes are the committed data (data_matches_assets) and the icons read the troglin back
// (icons_match_troglin); here what the reader drops.
TEST(MeshText, IncompleteGroupsAndWhatFollowsABadTokenAreDropped)
{
    // The monster format is the 25-triangle disc plus two per record; the flag takes two records only.
    EXPECT_EQ(1u, ParseMeshText("0 0 ff 1 0 ff 1 1 ff\n0 0 ff 1", FORMAT_MESH).size());
    EXPECT_EQ(1u, ParseMeshText("0 0 0xff 1 0 ff 1 1 ff 0 0 zz 1 0 ff 1 1 ff", FORMAT_MESH).size());
    EXPECT_EQ(27u, ParseMeshText("0 0 0.5 0.5 ffffffff\n", FORMAT_RECTS).size());
    EXPECT_EQ(4u, ParseMeshText("0 0 1 1 ff 0 0 1 1 ff 0 0 1 1 ff", FORMAT_FLAG).size());
}

TEST(Synth, NotesRecipesAndLevels)
{
    float hz = 0, hz2 = 0; // middle C, nine semitones below the 440 Hz a4
    EXPECT_TRUE(Synth::NoteFreq("c4", &hz) && std::fabs(hz - 261.63f) < 0.01f) << hz;
    EXPECT_TRUE(Synth::NoteFreq("a#3", &hz) && Synth::NoteFreq("bb3", &hz2) && hz == hz2);
    for (const char* bad : {"h4", "a", "a44"}) EXPECT_FALSE(Synth::NoteFreq(bad, &hz)) << bad;

    // Two patterns of 8 steps at 120 beats a minute, 4 steps a beat: 2 x 8 x 0.125 s = 2 s.
    std::string song = "out \"x.mp3\"\npeak -6\ntempo 120\nsteps 4\n"
                       "instrument b saw decay 0.1\ninstrument k kick\n"
                       "pattern p\nb a2 - . c#3 . . . .\nk x . . . x . . .\nend\nsong p*2\n";
    std::vector<float> buf;
    std::string name, err;
    float peak = 0;
    ASSERT_TRUE(Synth::RenderRecipe(song, "s.snd", &buf, &name, &peak, &err)) << err;
    EXPECT_EQ("x.mp3", name);
    EXPECT_EQ(-6.0f, peak);
    EXPECT_EQ((size_t)(2 * Synth::RATE), buf.size());
    Synth::Normalise(&buf, peak);
    float top = 0;
    for (float s : buf) top = std::max(top, std::fabs(s));
    EXPECT_NEAR(std::pow(10.0f, -6.0f / 20.0f), top, 1e-5f);
    EXPECT_EQ(44 + 2 * buf.size(), Synth::EncodeWav(buf).size()) << "a 16-bit file";

    const std::pair<const char*, const char*> bad[] = {
        {"out \"a.wav\"\ninstrument b saw\npattern p\nb q9\nend\nsong p\n", "bad note"},
        {"out \"a.wav\"\npattern p\nz a4\nend\n", "bad.snd:3"},
        {"voice sine dur 0.1\n", ""}};
    for (const auto& b : bad)
    {
        EXPECT_FALSE(Synth::RenderRecipe(b.first, "bad.snd", &buf, &name, &peak, &err)) << b.first;
        EXPECT_NE(std::string::npos, err.find(b.second)) << err;
    }
}
