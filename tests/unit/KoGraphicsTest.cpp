// The graphics and system layers on the real device, headless (dummy video driver, software renderer):
// culling and clipping, the renderer's rectangle fills, blend modes, fonts, screen-mode switches, device
// resets and window events. Where meshes and texts land on screen the scenario screenshots show.
#include "engine/KoGfxDevice.h"
#include "engine/KoGraphics.h"
#include "engine/KoSystem.h"
#include "platform/Platform.h"

#include "ChildProcess.h"
#include "Image.h"
#include "Scenario.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace
{

const uint32_t RED   = 0xFFFF0000u;
const uint32_t GREEN = 0xFF00FF00u;
const uint32_t BLUE  = 0xFF0000FFu;
const uint32_t WHITE = 0xFFFFFFFFu;
const uint32_t BLACK = 0xFF000000u;

// A rectangle of two counter-clockwise triangles, its left corners of colour cl and its right ones cr.
KoGfxVertexList* Quad(float x0, float y0, float x1, float y1, uint32_t cl, uint32_t cr = 0)
{
    cr = cr ? cr : cl;
    KoGfxTriStart();
    KoGfxTriAdd(x0, y0, cl, x1, y0, cr, x1, y1, cr);
    KoGfxTriAdd(x0, y0, cl, x1, y1, cr, x0, y1, cl);
    return KoGfxTriEnd();
}

KoGfxVertexList* Tri(float x0, float y0, float x1, float y1, float x2, float y2, uint32_t c, uint32_t c2 = 0)
{
    KoGfxTriStart();
    KoGfxTriAdd(x0, y0, c, x1, y1, c, x2, y2, c2 ? c2 : c);
    return KoGfxTriEnd();
}

int Count(const TestImage& pic, uint32_t colour)
{
    return (int)std::count(pic.pixels.begin(), pic.pixels.end(), colour);
}

// One frame: draw() runs under the identity transform; returns what it drew (read before it is presented).
template <class Fn> TestImage Frame(Fn draw)
{
    KoGfxStart();
    KoGfxSetTransform(nullptr);
    draw();
    TestImage pic;
    PlatRendererGetOutputSize(&pic.w, &pic.h);
    pic.pixels.resize((size_t)pic.w * pic.h);
    EXPECT_EQ(PlatRendererReadPixels(pic.pixels.data(), pic.w, pic.h), "");
    for (uint32_t& c : pic.pixels) c |= BLACK;
    KoGfxEnd();
    return pic;
}

TestImage DrawFrame(std::initializer_list<KoGfxVertexList*> meshes, const Mtx33* pM = nullptr)
{
    return Frame(
        [&]
        {
            KoGfxSetTransform(pM);
            for (KoGfxVertexList* p : meshes) KoGfxDraw(p);
        });
}

// A quad of pixels as two triangles over the diagonal from its top-left corner (or from its top-right one),
// counter-clockwise on the screen. Colours: top-left, top-right, bottom-left, bottom-right.
void PlatQuad(std::vector<PlatVertex>* pOut, float x0, float y0, float x1, float y1, uint32_t tl, uint32_t tr,
              uint32_t bl, uint32_t br, bool otherDiagonal = false)
{
    auto v = [](float x, float y, uint32_t c)
    { return PlatVertex{x, y, uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24), 0.0f, 0.0f}; };
    PlatVertex a = v(x0, y0, tl), b = v(x1, y0, tr), c = v(x0, y1, bl), d = v(x1, y1, br);
    const PlatVertex quad[2][6] = {{a, c, d, a, d, b}, {b, a, c, c, d, b}};
    pOut->insert(pOut->end(), quad[otherDiagonal], quad[otherDiagonal] + 6);
}

// Pixel triangles drawn straight through the renderer, in one frame.
TestImage DrawPixels(const std::vector<PlatVertex>& v, int blend = PLAT_BLEND_NONE)
{
    return Frame(
        [&]
        {
            PlatRendererSetBlendMode(blend);
            PlatRendererDrawTriangles(v.data(), int(v.size()));
            PlatRendererSetBlendMode(PLAT_BLEND_NONE);
        });
}

void Pump(int type, int w = 0, int h = 0)
{
    PlatEvent e = {};
    e.type      = type;
    e.w         = w;
    e.h         = h;
    PlatPushEvent(e);
    KoSysPumpMessages();
}

class Graphics : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        PlatConfigure(true);
        KoSysSetWindowTitle("Skarnhold!");
        ASSERT_EQ(KoSysInit(), "");
        KoSysPumpMessages();
    }
    static void TearDownTestSuite() { EXPECT_EQ(KoSysExit(), 0); }
    void SetUp() override
    {
        ASSERT_TRUE(gKoSysWindowExists);
        gKoSysWindowActive = true;
    }
    void TearDown() override
    {
        EXPECT_EQ(KoGfxListsRegistrySize(true), 0u) << "a test left a mesh alive";
        KoGfxSetBlendMode(KO_GFX_BM_NONE);
    }
};

} // namespace

TEST_F(Graphics, MeshesBarelyOnScreenDrawWhateverTheirTransformAndClockwiseTrianglesAreCulled)
{
    KoGfxVertexList* pUnit                    = Quad(-0.5f, -0.5f, 0.5f, 0.5f, GREEN);
    const float c                             = 0.70710678f; // cos 45
    const std::tuple<Mtx33, int, int> cases[] = {
        // a pixel that must be green; x < 0: nothing may be drawn
        {{{{10, 0, 84.9f}, {0, 10, 0}, {0, 0, 1}}}, 799, 300},                    // left edge 79.9
        {{{{10, 0, -84.8f}, {0, 10, 0}, {0, 0, 1}}}, 0, 300},                     // right edge -79.8
        {{{{10, 0, 0}, {0, 10, -64.9f}, {0, 0, 1}}}, 400, 599},                   // top edge -59.9
        {{{{10 * c, -10 * c, 86.9f}, {10 * c, 10 * c, 0}, {0, 0, 1}}}, 799, 300}, // turned 45: corner 79.83
        {{{{10, 0, 86}, {0, 10, 0}, {0, 0, 1}}}, -1, 0},                          // wholly outside
        {{{{-10, 0, 0}, {0, 10, 0}, {0, 0, 1}}}, -1, 0},                          // mirrored
    };
    for (const auto& [m, x, y] : cases)
    {
        TestImage pic = DrawFrame({pUnit}, &m);
        if (x >= 0)
            EXPECT_EQ(ImagePixel(pic, x, y), GREEN) << x << "," << y;
        else
            EXPECT_EQ(Count(pic, GREEN), 0);
    }
    KoGfxFree(pUnit);
}

TEST_F(Graphics, TrianglesReachingFarPastThePictureAreClippedKeepingTheirColours)
{
    // 50 times the view's size (the overlays' dimming panel spans 40000 pixels): red left, blue right.
    KoGfxVertexList* pHuge = Quad(-4000, -3000, 4000, 3000, RED, BLUE);
    TestImage pic          = DrawFrame({pHuge});
    EXPECT_EQ(Count(pic, BLACK), 0);
    EXPECT_TRUE(ColourNear(ImagePixel(pic, 400, 300), 0x800080u, 3));

    // One corner 100000 units up: the visible part is nearly pure green.
    KoGfxVertexList* pTall = Tri(-80, -60, 80, -60, -80, 100000, GREEN, BLUE);
    EXPECT_GT(ImageCountColour(DrawFrame({pTall}), 0, 0, 800, 600, GREEN, 5), 800 * 590);
    for (KoGfxVertexList* p : {pHuge, pTall}) KoGfxFree(p);
}

TEST_F(Graphics, NeighbouringRectangleFillsCoverEveryPixelCentreOnce)
{
    // Added up, a pixel covered twice would show 0x80 and one left out 0.
    const float xs[] = {10.3f, 17.7f, 18.2f, 31.5f, 40.0f, 52.49f}, ys[] = {20.6f, 24.5f, 33.1f};
    const uint32_t c = 0xFF000040;
    std::vector<PlatVertex> v;
    for (int i = 0; i + 1 < 6; ++i)
        for (int j = 0; j + 1 < 3; ++j)
            PlatQuad(&v, xs[i], ys[j], xs[i + 1], ys[j + 1], c, c, c, c, (i + j) % 2);
    TestImage pic = DrawPixels(v, PLAT_BLEND_ADD);
    for (int y = 15; y < 40; ++y)
        for (int x = 5; x < 60; ++x)
        {
            bool inside = x + 0.5f >= xs[0] && x + 0.5f < xs[5] && y + 0.5f >= ys[0] && y + 0.5f < ys[2];
            ASSERT_EQ(ImagePixel(pic, x, y), inside ? c : BLACK) << x << "," << y;
        }
}

TEST_F(Graphics, GradientRectanglesChangeAlongTheirAxisOnly)
{
    std::vector<PlatVertex> v;
    PlatQuad(&v, 100, 100, 300, 200, RED, RED, BLUE, BLUE);     // red above, blue below
    PlatQuad(&v, 400, 100, 600, 200, GREEN, BLUE, GREEN, BLUE); // green left, blue right
    TestImage pic = DrawPixels(v);
    for (int y = 100; y < 200; ++y)
        for (int x = 101; x < 300; ++x)
            ASSERT_EQ(ImagePixel(pic, x, y), ImagePixel(pic, 100, y)) << x << "," << y;
    for (int y = 101; y < 200; ++y)
        for (int x = 400; x < 600; ++x)
            ASSERT_EQ(ImagePixel(pic, x, y), ImagePixel(pic, x, 100)) << x << "," << y;
    const uint32_t samples[][3] = {{150, 100, RED},   {150, 199, BLUE}, {150, 150, 0x7F0080},
                                   {400, 150, GREEN}, {599, 150, BLUE}, {500, 150, 0x007F80}}; // x, y, colour
    for (const auto& k : samples)
        EXPECT_TRUE(ColourNear(ImagePixel(pic, int(k[0]), int(k[1])), k[2], 3)) << k[0] << "," << k[1];

    // Colours changing along both axes are no gradient of one axis: the quad keeps its triangles, and its
    // middle is the mean of the shared diagonal's two corners.
    v.clear();
    PlatQuad(&v, 100, 300, 300, 500, RED, GREEN, BLUE, RED);
    pic = DrawPixels(v);
    EXPECT_NEAR(int((ImagePixel(pic, 200, 400) >> 16) & 0xFF), 255, 8);
    EXPECT_NE(ImagePixel(pic, 120, 320), ImagePixel(pic, 280, 320));
    EXPECT_NE(ImagePixel(pic, 120, 320), ImagePixel(pic, 120, 480));
}

TEST_F(Graphics, BlendModesMixTheSourceByItsAlpha)
{
    const uint32_t back    = 0xFFFF8040u;
    KoGfxVertexList* pBack = Quad(-80, -60, 80, 60, back);
    KoGfxVertexList* pHalf = Quad(-10, -10, 10, 10, 0x8000FF00u);
    KoGfxVertexList* pTri  = Tri(30, -10, 50, -10, 40, 10, 0x8000FF00u); // no half of a rectangle
    const int modes[3]     = {KO_GFX_BM_NONE, KO_GFX_BM_BLEND, KO_GFX_BM_ADD};
    const uint32_t want[3] = {0x00FF00u, 0x80C020u, 0xFFFF40u}; // ADD saturates
    for (int i = 0; i < 3; ++i)
    {
        TestImage pic = Frame(
            [&]
            {
                KoGfxSetBlendMode(KO_GFX_BM_NONE);
                KoGfxDraw(pBack);
                KoGfxSetBlendMode(modes[i]);
                KoGfxDraw(pHalf);
                KoGfxDraw(pTri);
            });
        EXPECT_TRUE(ColourNear(ImagePixel(pic, 400, 300), want[i], 2)) << "rectangle, mode " << modes[i];
        EXPECT_TRUE(ColourNear(ImagePixel(pic, 600, 320), want[i], 2)) << "triangle, mode " << modes[i];
        EXPECT_EQ(ImagePixel(pic, 10, 10), back);
    }
    for (KoGfxVertexList* p : {pBack, pHalf, pTri}) KoGfxFree(p);
}

TEST(GraphicsChecks, BadBlendModesAndMissingPrintArgumentsEndTheProgram)
{
    const std::string blend = "KO_ASSERT_PARM: (KO_GFX_BM_NONE <= blendMode) && (blendMode < KO_GFX_BM_NUM)\n"
                              "Line: N\nFunc: KoGfxSetBlendMode\nFile: src/engine/KoGraphics.cpp\n";
    const std::string print = "\nLine: N\nFunc: KoGfxPrint\nFile: src/engine/KoGraphics.cpp\n";
    KoGfxFont* pNoFont      = nullptr;
    const std::pair<ChildResult, std::string> cases[] = {
        {RunInChild([] { KoGfxSetBlendMode(3); }), blend},
        {RunInChild([&] { KoGfxPrint(0, 0, WHITE, nullptr, pNoFont); }), "KO_ASSERT: pStr" + print},
        {RunInChild([&] { KoGfxPrint(0, 0, WHITE, "text", pNoFont); }), "KO_ASSERT: pFont" + print},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.first.exitCode, 1) << c.second;
        EXPECT_EQ(WithoutLineNumbers(c.first.out), c.second);
    }
}

TEST_F(Graphics, CachedTextsKeepTheirColourAndPlaceWhenTheCacheOverflows)
{
    KoGfxFont* pFont = KoGfxCreateFont(20, 0, 700, false, "Arial");
    auto printed     = [&](const char* pText, uint32_t colour, int x, int y)
    { return Frame([&] { KoGfxPrint(x, y, colour, pText, pFont); }); };
    TestImage first = printed("Distance 0 m", RED, 100, 50);
    EXPECT_GT(Count(first, RED), 30);
    // Hundreds of different texts, in two colours, each drawn where it was asked.
    for (int i = 1; i < 400; ++i)
    {
        char text[32];
        snprintf(text, sizeof text, "Distance %d m", i);
        const uint32_t colour = i % 2 ? BLUE : GREEN;
        const int left        = 10 + i % 50;
        TestImage pic         = printed(text, colour, left, 300);
        ASSERT_GT(Count(pic, colour), 30) << text;
        ASSERT_EQ(Count(pic, i % 2 ? GREEN : BLUE), 0) << text;
        ASSERT_EQ(ImageCountLit(pic, 0, 295, left, 330), 0) << text;
        ASSERT_GT(ImageCountLit(pic, left, 295, left + 4, 330), 0) << text;
    }
    EXPECT_TRUE(printed("Distance 0 m", RED, 100, 50).pixels == first.pixels);
    TestImage blue = printed("Distance 0 m", BLUE, 100, 50);
    EXPECT_EQ(Count(blue, RED), 0) << "the same text in another colour is another text";
    EXPECT_EQ(Count(blue, BLUE), Count(first, RED));
    // The tint's alpha dims the text.
    TestImage dim = printed("Distance 0 m", 0x8000FF00u, 100, 50);
    EXPECT_GT(ImageCountColour(dim, 0, 0, 800, 600, 0xFF008000u, 3), 0);
    EXPECT_EQ(ImageCountLit(dim, 0, 0, 800, 600, 131), 0);
    KoGfxFreeFont(pFont);
}

// The heights of the game's fonts are measured where their texts are laid out: the screens walk at every
// window size, the splash and the editors' legend.
TEST_F(Graphics, AWidthStretchesAFont)
{
    int right[2] = {0, 0};
    for (int i = 0; i < 2; ++i)
    {
        KoGfxFont* pFont = KoGfxCreateFont(40, i ? 30 : 10, 400, false, "Arial");
        TestImage pic    = Frame([&] { KoGfxPrint(0, 0, WHITE, "mmmm", pFont); });
        while (ImageCountLit(pic, right[i], 0, 800, 60) > 0) ++right[i];
        KoGfxFreeFont(pFont);
    }
    EXPECT_GT(right[1], right[0] * 2);
}

TEST_F(Graphics, ResetsResizesAndScreenModeSwitchesRebuildEveryMeshAndFont)
{
    KoGfxVertexList* pSquare = Quad(-60, -50, 60, 50, RED);
    KoGfxVertexList* pFreed  = Quad(-10, -10, 10, 10, GREEN);
    KoGfxLineStart();
    KoGfxLineAdd(-80, -59, WHITE, 80, -59, WHITE);
    KoGfxVertexList* pLine = KoGfxLineEnd();
    KoGfxFree(pFreed);
    KoGfxFont* pFont = KoGfxCreateFont(24, 0, 700, false, "Flintstone");
    auto frame       = [&]
    {
        return Frame(
            [&]
            {
                KoGfxDraw(pSquare);
                KoGfxDraw(pLine);
                KoGfxPrint(10, 10, BLUE, "Stone", pFont);
            });
    };
    const unsigned int stored = KoGfxListsStoreSize(true);
    const TestImage before    = frame();
    EXPECT_GT(Count(before, BLUE), 20);
    Pump(PLAT_EVENT_DEVICE_RESET);
    EXPECT_TRUE(frame().pixels == before.pixels);

    // The user drags the window to 640 x 480: the extents stay, the picture stretches.
    PlatWindowSetWindowed(50, 50, 640, 480);
    Pump(PLAT_EVENT_SIZE_END);
    TestImage small = frame();
    ASSERT_EQ(small.w, 640);
    EXPECT_EQ(Count(small, RED), 480 * 400);
    PlatWindowSetWindowed(50, 50, 800, 600);
    Pump(PLAT_EVENT_SIZE_END);
    EXPECT_TRUE(frame().pixels == before.pixels);

    KoGfxToggleScreenMode();
    TestImage full = frame();
    EXPECT_GT(full.w, 800);
    EXPECT_FLOAT_EQ(gKoWinMaxX, 80.0f);
    // Two toggles in one frame: one switch into the same mode.
    KoGfxToggleScreenMode();
    KoGfxToggleScreenMode();
    EXPECT_EQ(frame().w, full.w);
    KoGfxToggleScreenMode();
    EXPECT_TRUE(frame().pixels == before.pixels) << "the windowed picture is the same as before the switches";
    EXPECT_EQ(KoGfxListsStoreSize(true), stored);
    EXPECT_EQ(KoGfxListsRegistrySize(true), 1u) << "a mesh freed before the switches stays freed";
    KoGfxFree(pSquare);
    KoGfxFree(pLine);
    KoGfxFreeFont(pFont);
}

TEST_F(Graphics, WindowEventsDriveActivityAndAClosedWindowKeepsTheDeviceForTheLastFrees)
{
    for (int type : {PLAT_EVENT_MINIMISE, PLAT_EVENT_RESTORE, PLAT_EVENT_DEACTIVATE, PLAT_EVENT_ACTIVATE})
    {
        Pump(type, 800, 600);
        EXPECT_EQ(gKoSysWindowActive, type == PLAT_EVENT_RESTORE || type == PLAT_EVENT_ACTIVATE) << type;
    }
    EXPECT_EQ(KoGfxGetViewportWidth(), 800);

    EXPECT_EQ(PlatScancodeToVk(4 /* A */), 'A');
    EXPECT_EQ(PlatScancodeToVk(45 /* minus */), 0xBD);

    KoGfxVertexList* pSquare = Quad(0, 0, 10, 10, RED);
    Pump(PLAT_EVENT_CLOSE);
    EXPECT_FALSE(gKoSysWindowExists);
    EXPECT_FALSE(gKoSysWindowActive);
    // The state still finishes its frame and frees what it made.
    KoGfxStart();
    KoGfxDraw(pSquare);
    KoGfxEnd();
    KoGfxFree(pSquare);
    gKoSysWindowExists = true; // the window comes back for the tests that follow
}

// The window's icon: the committed troglin loads with its transparency; a missing file leaves the system's
// icon without a word, and a damaged one is named.
TEST_F(Graphics, TheWindowIconLoadsWithItsAlphaAndADamagedFileSaysWhy)
{
    EXPECT_EQ(PlatWindowSetIcon(SKARN_DATA_DIR "/Icons/skarnhold.bmp"), "");
    EXPECT_EQ(PlatWindowSetIcon("Icons/no-such-icon.bmp"), "");
    Scenario::TempDir dir; // the header cut short
    Scenario::WriteFile(dir / "cut.bmp",
                        Scenario::ReadFile(SKARN_DATA_DIR "/Icons/skarnhold.bmp").substr(0, 100));
    EXPECT_NE(PlatWindowSetIcon((dir / "cut.bmp").c_str()), "");
}
