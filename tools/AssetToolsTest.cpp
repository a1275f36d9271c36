// Tests of the asset tools: rectangle merging, the sprite language, the mesh writers and readers, the
// synthesiser, and the shipped data folder.
#include "AssetLib.h"
#include "Synth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>

using namespace Asset;

namespace
{

// A temporary assets folder with a two-colour palette and the real font.
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
    ~TempAssets()
    {
        std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(0, system(cmd.c_str()));
    }
    void Sprite(const std::string& name, const std::string& text)
    {
        WriteFile(dir + "/" + name + ".sprite", text);
    }
    bool Build(const std::string& name, Mesh* m, std::string* err) { return BuildSprite(dir, name, m, err); }
};

bool AllCounterClockwise(const std::vector<Tri>& tris)
{
    for (const Tri& t : tris)
        if (TriArea2(t) <= 0) return false;
    return true;
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
    Bitmap solid;
    solid.w = 7;
    solid.h = 5;
    solid.px.assign(35, 0xff123456u);
    EXPECT_EQ(1u, MergeRects(solid).size());
}

TEST(Sprite, GridPixelsLandOnTheirModelSquares)
{
    TempAssets a;
    // a 2 x 2 grid, bottom-left corner at (-0.5, -0.5), pixel 0.5: red top-left, white bottom-right
    a.Sprite("g", "grid -0.5 -0.5 0.5\nR.\n.W\nend\n");
    Mesh m;
    std::string err;
    ASSERT_TRUE(a.Build("g", &m, &err)) << err;
    ASSERT_EQ(4u, m.tris.size());
    EXPECT_TRUE(AllCounterClockwise(m.tris));
    ASSERT_EQ(2u, m.rects.size());
    EXPECT_FLOAT_EQ(-0.25f, m.rects[0].cx);
    EXPECT_FLOAT_EQ(0.25f, m.rects[0].cy);
    EXPECT_EQ(0xffff0000u, m.rects[0].c);
    EXPECT_FLOAT_EQ(0.25f, m.rects[1].cx);
    EXPECT_FLOAT_EQ(-0.25f, m.rects[1].cy);
    EXPECT_EQ(0xffffffffu, m.rects[1].c);
}

TEST(Sprite, IncludesTurnedOrScaledStayCounterClockwise)
{
    TempAssets a;
    a.Sprite("_part", "grid 0 0 0.1\nRW\nend\ntri 0 0 K 0.2 0.3 K 0.3 0 K\n");
    a.Sprite("whole", "include _part 0.5 0 1 90\ninclude _part 0 0 -1 0\ninclude _part 0 0 2 -37\n");
    Mesh m;
    std::string err;
    ASSERT_TRUE(a.Build("whole", &m, &err)) << err;
    EXPECT_EQ(15u, m.tris.size());
    EXPECT_TRUE(AllCounterClockwise(m.tris));
    // turned by 90 degrees about its origin, then moved: the red pixel (0..0.1, 0..0.1) lies at x 0.4..0.5
    float minX = 1, maxX = -1;
    for (int k = 0; k < 2; ++k)
        for (const Vtx& v : m.tris[k].v) minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
    EXPECT_NEAR(0.4f, minX, 1e-6f);
    EXPECT_NEAR(0.5f, maxX, 1e-6f);
}

TEST(Sprite, MistakesAreReportedWithTheirLine)
{
    TempAssets a;
    Mesh m;
    std::string err;
    a.Sprite("badcolour", "# comment\ngrid 0 0 0.1\nRQ\nend\n");
    EXPECT_FALSE(a.Build("badcolour", &m, &err));
    EXPECT_NE(std::string::npos, err.find("badcolour.sprite:3")) << err;
    a.Sprite("noend", "grid 0 0 0.1\nRR\n");
    EXPECT_FALSE(a.Build("noend", &m, &err));
    a.Sprite("flag3", "format flag\nrect 0 0 1 1 R\nrect 0 0 1 1 W\nrect 0 0 1 1 K\n");
    EXPECT_FALSE(a.Build("flag3", &m, &err));
    a.Sprite("glyph", "text 0 0 0.1 W plain K \"A~\"\n");
    EXPECT_FALSE(a.Build("glyph", &m, &err));
    a.Sprite("loop", "include loop 0 0 1 0\n");
    EXPECT_FALSE(a.Build("loop", &m, &err));
    a.Sprite("empty", "# nothing\n");
    EXPECT_FALSE(a.Build("empty", &m, &err));
    EXPECT_FALSE(a.Build("missing", &m, &err));
}

TEST(Sprite, TextIsCentredOnThePixelLattice)
{
    TempAssets a;
    a.Sprite("t", "text 0 0 0.1 W outline K \"H\"\n");
    Mesh m;
    std::string err;
    ASSERT_TRUE(a.Build("t", &m, &err)) << err;
    float minX = 9, maxX = -9, minY = 9, maxY = -9;
    for (const Tri& t : m.tris)
        for (const Vtx& v : t.v)
            minX = std::min(minX, v.x), maxX = std::max(maxX, v.x), minY = std::min(minY, v.y),
            maxY = std::max(maxY, v.y);
    // 5 x 7 glyph with a one-pixel outline: 7 x 9 pixels, half a pixel off centre at most
    EXPECT_NEAR(0.7f, maxX - minX, 1e-5f);
    EXPECT_NEAR(0.9f, maxY - minY, 1e-5f);
    EXPECT_LE(std::fabs(minX + maxX), 0.1f + 1e-5f);
    EXPECT_LE(std::fabs(minY + maxY), 0.1f + 1e-5f);
    EXPECT_NEAR(std::round(minX * 10), minX * 10, 1e-4f);
}

TEST(MeshText, WrittenMeshesReadBackAsTheGameReadsThem)
{
    TempAssets a;
    a.Sprite("m", "grid -0.5 -0.5 0.125\nRRW.\n.KK.\nend\nvgrad 0 0 0.3 0.2 R W\n");
    Mesh m;
    std::string err;
    ASSERT_TRUE(a.Build("m", &m, &err)) << err;
    std::vector<Tri> back = ParseMeshText(WriteMesh(m), FORMAT_MESH);
    ASSERT_EQ(m.tris.size(), back.size());
    for (size_t i = 0; i < back.size(); ++i)
        for (int v = 0; v < 3; ++v)
        {
            EXPECT_FLOAT_EQ(m.tris[i].v[v].x, back[i].v[v].x);
            EXPECT_FLOAT_EQ(m.tris[i].v[v].y, back[i].v[v].y);
            EXPECT_EQ(m.tris[i].v[v].c, back[i].v[v].c);
        }

    // an incomplete last group and anything after a bad token are dropped
    EXPECT_EQ(1u, ParseMeshText("0 0 ff 1 0 ff 1 1 ff\n0 0 ff 1", FORMAT_MESH).size());
    EXPECT_EQ(1u, ParseMeshText("0 0 0xff 1 0 ff 1 1 ff 0 0 zz 1 0 ff 1 1 ff", FORMAT_MESH).size());
    // the monster format: the 25-triangle disc plus two per record; the flag takes two records only
    EXPECT_EQ(27u, ParseMeshText("0 0 0.5 0.5 ffffffff\n", FORMAT_RECTS).size());
    EXPECT_EQ(4u, ParseMeshText("0 0 1 1 ff 0 0 1 1 ff 0 0 1 1 ff", FORMAT_FLAG).size());
}

TEST(MeshText, EditorSampleUsesTheEditorsExportLayout)
{
    TempAssets a;
    // one painted cell: the top-left cell of the 80 x 80 grid
    a.Sprite("e", "format editor\ngrid -0.5 0.4875 0.0125\nR\nend\n");
    Mesh m;
    std::string err;
    ASSERT_TRUE(a.Build("e", &m, &err)) << err;
    EXPECT_EQ("-0.4875\n0.5\n0xffff0000\n"
              "-0.5\n0.5\n0xffff0000\n"
              "-0.5\n0.4875\n0xffff0000\n"
              "-0.5\n0.4875\n0xffff0000\n"
              "-0.4875\n0.4875\n0xffff0000\n"
              "-0.4875\n0.5\n0xffff0000\n",
              WriteMesh(m));
}

TEST(Synth, NotesRecipesAndLevels)
{
    float hz = 0, hz2 = 0;
    ASSERT_TRUE(Synth::NoteFreq("a4", &hz));
    EXPECT_FLOAT_EQ(440.0f, hz);
    ASSERT_TRUE(Synth::NoteFreq("c4", &hz));
    EXPECT_NEAR(261.63f, hz, 0.01f);
    ASSERT_TRUE(Synth::NoteFreq("a#3", &hz) && Synth::NoteFreq("bb3", &hz2));
    EXPECT_FLOAT_EQ(hz, hz2);
    EXPECT_FALSE(Synth::NoteFreq("h4", &hz));
    EXPECT_FALSE(Synth::NoteFreq("a", &hz));
    EXPECT_FALSE(Synth::NoteFreq("a44", &hz));

    // two patterns of 8 steps at 120 beats a minute, 4 steps a beat: 2 x 8 x 0.125 s = 2 s
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
    EXPECT_EQ(44 + 2 * buf.size(), Synth::EncodeWav(buf).size());

    EXPECT_FALSE(Synth::RenderRecipe("out \"a.wav\"\ninstrument b saw\npattern p\nb q9\nend\nsong p\n",
                                     "bad.snd", &buf, &name, &peak, &err));
    EXPECT_NE(std::string::npos, err.find("bad note")) << err;
    EXPECT_FALSE(
        Synth::RenderRecipe("out \"a.wav\"\npattern p\nz a4\nend\n", "bad.snd", &buf, &name, &peak, &err));
    EXPECT_NE(std::string::npos, err.find("bad.snd:3")) << err;
    EXPECT_FALSE(Synth::RenderRecipe("voice sine dur 0.1\n", "noout.snd", &buf, &name, &peak, &err));
}

// The data folder holds every file the game opens, each mesh drawable.
TEST(ShippedData, EveryMeshTheGameLoadsIsThereAndDrawable)
{
    const char* meshes[] = {
        "herolegmesh",    "heroarmmesh",     "heroweapon",     "herobodymesh",  "new-0mesh",
        "new-1mesh",      "new-2mesh",       "new-3mesh",      "new-4mesh",     "new-5mesh",
        "new-6mesh",      "new-7mesh",       "new-8mesh",      "new-9mesh",     "monstermesh",
        "squirrelmesh",   "skullmesh",       "skull2mesh",     "goblinmesh",    "neonbeastmesh",
        "neonbeast2mesh", "darkmagemesh",    "princessmesh",   "terrain1mesh",  "invulnmesh",
        "flagmesh",       "skullheadmesh",   "starmesh",       "skymesh",       "newplaymesh",
        "newexitmesh",    "newcreditsmesh",  "logomesh",       "highscoremesh", "howtoplaymesh",
        "newsoundonmesh", "newsoundoffmesh", "fullscrbtnmesh", "windowedmesh",  "yesmesh",
        "nomesh",         "optionsmesh",     "backmesh",       "fullheromesh",  "pausemesh",
        "resumemesh",     "restartmesh",     "menumesh",       "outmesh"};
    for (const char* name : meshes)
    {
        std::string file = std::string(name) + ".txt", text;
        ASSERT_TRUE(ReadFile(std::string(SKARN_DATA_DIR) + "/Meshes/" + file, &text)) << file;
        std::vector<Tri> tris = ParseMeshText(text, FormatForFile(file));
        EXPECT_GE(tris.size(), 1u) << file;
        EXPECT_LE(tris.size(), 8192u) << file;
        EXPECT_TRUE(AllCounterClockwise(tris)) << file;
    }
    std::string text;
    ASSERT_TRUE(ReadFile(std::string(SKARN_DATA_DIR) + "/Meshes/flagmesh.txt", &text));
    EXPECT_EQ(4u, ParseMeshText(text + " 0 0 1 1 ff", FORMAT_FLAG).size()); // exactly two records
}

TEST(ShippedData, EverySoundFileIsThereInTheFormatItsNameSays)
{
    const char* sounds[] = {
        "04 - Road Hazard.mp3", "26 - Distressed.mp3", "JumpLift.mp3", "JumpLand.wav", "Slash.wav",
        "Groan1.wav",           "Groan2.wav",          "Groan3.wav",   "Groan4.mp3",   "Groan5.mp3",
        "Groan6.wav",           "Groan7.wav",          "Groan8.mp3",   "AxeHit.wav",   "ThrowAxe.mp3",
        "AxeHitButton.wav"};
    for (const char* name : sounds)
    {
        std::string text, n = name;
        ASSERT_TRUE(ReadFile(std::string(SKARN_DATA_DIR) + "/Sounds/" + n, &text)) << n;
        ASSERT_GT(text.size(), 1000u) << n;
        if (n.substr(n.size() - 4) == ".wav")
            EXPECT_TRUE(text.compare(0, 4, "RIFF") == 0 && text.compare(8, 4, "WAVE") == 0) << n;
        else // an MPEG audio frame header (lame writes no ID3 tag first)
            EXPECT_TRUE((unsigned char)text[0] == 0xFF && ((unsigned char)text[1] & 0xE0) == 0xE0) << n;
    }
}
