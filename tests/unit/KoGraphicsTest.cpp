// The graphics and system layers on the real device, headless (dummy video driver, software renderer):
// camera and view extents, culling, blend modes, text, screen-mode switches, device resets, window events
// and screenshots.
#include "engine/KoGfxDevice.h"
#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "engine/KoSystem.h"
#include "platform/Platform.h"

#include "ChildProcess.h"
#include "Image.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

const uint32_t RED   = 0xFFFF0000u;
const uint32_t GREEN = 0xFF00FF00u;
const uint32_t BLUE  = 0xFF0000FFu;

// A rectangle of two counter-clockwise triangles.
KoGfxVertexList* Quad(float x0, float y0, float x1, float y1, uint32_t c)
{
    KoGfxTriStart();
    KoGfxTriAdd(x0, y0, c, x1, y0, c, x1, y1, c);
    KoGfxTriAdd(x0, y0, c, x1, y1, c, x0, y1, c);
    return KoGfxTriEnd();
}

struct Picture
{
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const { return px[(size_t)y * w + x] & 0x00FFFFFFu; }
    int Count(uint32_t colour) const
    {
        int n = 0;
        for (uint32_t p : px) n += (p & 0x00FFFFFFu) == (colour & 0x00FFFFFFu);
        return n;
    }
};

// What the frame drew so far (read before it is presented).
Picture ReadBack()
{
    Picture p;
    PlatRendererGetOutputSize(&p.w, &p.h);
    p.px.resize((size_t)p.w * p.h);
    EXPECT_TRUE(PlatRendererReadPixels(p.px.data(), p.w, p.h));
    return p;
}

void Identity()
{
    Mtx33 m = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    KoGfxSetTransform(&m);
}

// Draws the meshes in one frame under the identity transform and returns the picture.
Picture DrawFrame(std::initializer_list<KoGfxVertexList*> meshes)
{
    KoGfxStart();
    Identity();
    for (KoGfxVertexList* p : meshes) KoGfxDraw(p);
    Picture pic = ReadBack();
    KoGfxEnd();
    return pic;
}

void Pump(int type, int w = 0, int h = 0, unsigned char vk = 0)
{
    PlatEvent e = {};
    e.type      = type;
    e.w         = w;
    e.h         = h;
    e.vk        = vk;
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
        ASSERT_TRUE(KoSysInit());
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

TEST_F(Graphics, The800x600WindowSeesEightyBySixtyUnitsAndASquareOf120FillsItsHeight)
{
    EXPECT_EQ(KoGfxGetWindowWidth(), 800);
    EXPECT_EQ(KoGfxGetWindowHeight(), 600);
    EXPECT_FLOAT_EQ(gKoWinMaxY, 60.0f);
    EXPECT_FLOAT_EQ(gKoWinMinY, -60.0f);
    EXPECT_FLOAT_EQ(gKoWinMaxX, 80.0f);
    EXPECT_FLOAT_EQ(gKoWinMinX, -80.0f);
    EXPECT_EQ(KoGfxGetViewportWidth(), 800);
    EXPECT_EQ(KoGfxGetViewportHeight(), 600);

    KoGfxVertexList* pSquare = Quad(-60, -60, 60, 60, RED);
    Picture pic              = DrawFrame({pSquare});
    ASSERT_EQ(pic.w, 800);
    EXPECT_EQ(pic.At(400, 0), RED & 0xFFFFFF);
    EXPECT_EQ(pic.At(400, 599), RED & 0xFFFFFF);
    EXPECT_EQ(pic.At(100, 300), RED & 0xFFFFFF);
    EXPECT_EQ(pic.At(699, 300), RED & 0xFFFFFF);
    EXPECT_EQ(pic.At(99, 300), 0u);
    EXPECT_EQ(pic.At(700, 300), 0u);
    EXPECT_EQ(pic.Count(RED), 600 * 600);

    // The world transform moves and scales the mesh: a unit square scaled by 20 at (40, 30).
    KoGfxVertexList* pUnit = Quad(-0.5f, -0.5f, 0.5f, 0.5f, GREEN);
    KoGfxStart();
    Mtx33 m = {{{20, 0, 40}, {0, 20, 30}, {0, 0, 1}}};
    KoGfxSetTransform(&m);
    KoGfxDraw(pUnit);
    Picture moved = ReadBack();
    KoGfxEnd();
    // x 30..50 -> pixels 550..650, y 20..40 -> pixels 100..200.
    EXPECT_EQ(moved.Count(GREEN), 100 * 100);
    EXPECT_EQ(moved.At(550, 100), GREEN & 0xFFFFFF);
    EXPECT_EQ(moved.At(649, 199), GREEN & 0xFFFFFF);
    KoGfxFree(pSquare);
    KoGfxFree(pUnit);
}

TEST_F(Graphics, MeshesBarelyOnScreenStillDrawWhateverTheirTransform)
{
    // Unit square of two triangles; the off-screen test must not drop a mesh that shows a sliver.
    KoGfxVertexList* pUnit = Quad(-0.5f, -0.5f, 0.5f, 0.5f, GREEN);
    struct Case
    {
        Mtx33 m;
        int x, y; // a pixel that must be green
    };
    const float c = 0.70710678f; // cos 45
    Case cases[]  = {
         {{{{10, 0, 84.9f}, {0, 10, 0}, {0, 0, 1}}}, 799, 300},  // left edge 79.9: one pixel column
         {{{{10, 0, -84.8f}, {0, 10, 0}, {0, 0, 1}}}, 0, 300},   // right edge -79.8
         {{{{10, 0, 0}, {0, 10, -64.9f}, {0, 0, 1}}}, 400, 599}, // top edge -59.9
         {{{{10 * c, -10 * c, 86.9f}, {10 * c, 10 * c, 0}, {0, 0, 1}}}, 799, 300}, // turned 45: corner 79.83
    };
    for (const Case& k : cases)
    {
        KoGfxStart();
        KoGfxSetTransform(&k.m);
        KoGfxDraw(pUnit);
        Picture pic = ReadBack();
        KoGfxEnd();
        EXPECT_EQ(pic.At(k.x, k.y), GREEN & 0xFFFFFF) << k.x << "," << k.y;
    }
    // Wholly outside: nothing.
    Mtx33 away = {{{10, 0, 86}, {0, 10, 0}, {0, 0, 1}}};
    KoGfxStart();
    KoGfxSetTransform(&away);
    KoGfxDraw(pUnit);
    EXPECT_EQ(ReadBack().Count(GREEN), 0);
    KoGfxEnd();
    KoGfxFree(pUnit);
}

TEST_F(Graphics, TheCameraMatricesAreTheRightHandedOnesAndInvert)
{
    KoGfxMatrix proj, view, inv, prod;
    KoGfxGetProjectionMatrix(&proj);
    KoGfxGetViewMatrix(&view);
    EXPECT_NEAR(proj.m[0][0], 0.75f, 1e-6);
    EXPECT_NEAR(proj.m[1][1], 1.0f, 1e-6);
    EXPECT_NEAR(proj.m[2][2], 1000.0f / (1.0f - 1000.0f), 1e-6);
    EXPECT_EQ(proj.m[2][3], -1.0f);
    EXPECT_NEAR(proj.m[3][2], 1000.0f / (1.0f - 1000.0f), 1e-6);
    EXPECT_EQ(view.m[3][2], -60.0f);
    EXPECT_EQ(view.m[0][0], 1.0f);
    EXPECT_EQ(view.m[1][1], 1.0f);

    KoGfxMatrix m = {{{2, 0, 0, 0}, {1, 3, 0, 0}, {0, 0.5f, 4, 0}, {7, -2, 9, 1}}};
    ASSERT_TRUE(KoGfxMatrixInverse(&inv, &m));
    KoGfxMatrixMultiply(&prod, &m, &inv);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(prod.m[r][c], r == c ? 1.0f : 0.0f, 1e-5) << r << "," << c;
    KoGfxMatrix singular = {};
    inv.m[0][0]          = 42.0f;
    EXPECT_FALSE(KoGfxMatrixInverse(&inv, &singular));
    EXPECT_EQ(inv.m[0][0], 42.0f);
}

TEST_F(Graphics, ClockwiseTrianglesAreNotDrawn)
{
    KoGfxTriStart();
    KoGfxTriAdd(-40, -30, BLUE, 40, -30, BLUE, 0, 30, BLUE); // counter-clockwise
    KoGfxVertexList* pCcw = KoGfxTriEnd();
    KoGfxTriStart();
    KoGfxTriAdd(-40, -30, BLUE, 0, 30, BLUE, 40, -30, BLUE); // the same corners clockwise
    KoGfxVertexList* pCw = KoGfxTriEnd();

    EXPECT_GT(DrawFrame({pCcw}).Count(BLUE), 10000);
    EXPECT_EQ(DrawFrame({pCw}).Count(BLUE), 0);

    // A mirroring transform turns the counter-clockwise triangle clockwise on screen.
    KoGfxStart();
    Mtx33 mirror = {{{-1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    KoGfxSetTransform(&mirror);
    KoGfxDraw(pCcw);
    KoGfxSetTransform(nullptr); // no matrix: identity
    KoGfxDraw(pCw);
    EXPECT_EQ(ReadBack().Count(BLUE), 0);
    KoGfxEnd();
    KoGfxFree(pCcw);
    KoGfxFree(pCw);
}

TEST_F(Graphics, TrianglesReachingFarPastThePictureAreClippedNotLost)
{
    // A backdrop 50 times the view's size: its corners lie some 20000 pixels off screen.
    KoGfxVertexList* pHuge = Quad(-4000, -3000, 4000, 3000, RED);
    EXPECT_EQ(DrawFrame({pHuge}).Count(RED), 800 * 600);

    // Clipping keeps each corner's colour where it was: a triangle with one corner far off keeps its
    // gradient along the visible part.
    KoGfxTriStart();
    KoGfxTriAdd(-80, -60, GREEN, 80, -60, GREEN, -80, 100000, BLUE);
    KoGfxVertexList* pTall = KoGfxTriEnd();
    Picture pic            = DrawFrame({pTall});
    // The blue corner is 100000 units up: the triangle covers nearly the whole view, nearly pure green.
    int greenish = 0;
    for (uint32_t p : pic.px) greenish += ((p >> 8) & 0xFF) >= 250 && (p & 0xFF) <= 5;
    EXPECT_GT(greenish, 800 * 590);
    KoGfxFree(pHuge);
    KoGfxFree(pTall);
}

TEST_F(Graphics, BlendModesMixTheSourceByItsAlpha)
{
    KoGfxVertexList* pBack = Quad(-80, -60, 80, 60, 0xFFFF0000u);
    KoGfxVertexList* pHalf = Quad(-10, -10, 10, 10, 0x8000FF00u);
    const int modes[3]     = {KO_GFX_BM_NONE, KO_GFX_BM_BLEND, KO_GFX_BM_ADD};
    const uint32_t want[3] = {0x00FF00u, 0x7F8000u, 0xFF8000u};
    for (int i = 0; i < 3; ++i)
    {
        KoGfxStart();
        Identity();
        KoGfxSetBlendMode(KO_GFX_BM_NONE);
        KoGfxDraw(pBack);
        KoGfxSetBlendMode(modes[i]);
        KoGfxDraw(pHalf);
        Picture pic = ReadBack();
        KoGfxEnd();
        EXPECT_TRUE(ColourNear(pic.At(400, 300), want[i], 2))
            << "mode " << modes[i] << std::hex << " got " << pic.At(400, 300);
        EXPECT_EQ(pic.At(10, 10), 0xFF0000u);
    }
    KoGfxFree(pBack);
    KoGfxFree(pHalf);
}

TEST(GraphicsChecks, BadBlendModesAndMissingPrintArgumentsEndTheProgram)
{
    const std::string tail = "\nLine: N\nFunc: KoGfxSetBlendMode\nFile: src\\KoGraphics\n";
    const std::string parm =
        "KO_ASSERT_PARM: (KO_GFX_BM_NONE <= blendMode) && (blendMode < KO_GFX_BM_NUM)" + tail;
    for (int mode : {3, -1})
    {
        ChildResult r = RunInChild([&] { KoGfxSetBlendMode(mode); });
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(WithoutLineNumbers(r.out), parm);
    }
    KoGfxFont* pNoFont = nullptr;
    ChildResult noText = RunInChild([&] { KoGfxPrint(0, 0, 0xFFFFFFFF, nullptr, pNoFont); });
    EXPECT_EQ(noText.exitCode, 1);
    EXPECT_EQ(WithoutLineNumbers(noText.out),
              "KO_ASSERT: pStr\nLine: N\nFunc: KoGfxPrint\nFile: src\\KoGraphics\n");
    ChildResult noFont = RunInChild([&] { KoGfxPrint(0, 0, 0xFFFFFFFF, "text", pNoFont); });
    EXPECT_EQ(noFont.exitCode, 1);
    EXPECT_EQ(WithoutLineNumbers(noFont.out),
              "KO_ASSERT: pFont\nLine: N\nFunc: KoGfxPrint\nFile: src\\KoGraphics\n");
}

TEST_F(Graphics, TextIsDrawnFromTheTopLeftPixelWhateverTheTransform)
{
    KoGfxFont* pFont = KoGfxCreateFont(20, 0, 400, false, "Arial");
    ASSERT_NE(pFont, nullptr);
    KoGfxStart();
    Mtx33 far = {{{5, 0, 70}, {0, 5, 50}, {0, 0, 1}}};
    KoGfxSetTransform(&far);
    int height = KoGfxPrint(0, 0, 0xFFFFFFFF, "MW", pFont);
    TestImage img;
    Picture pic = ReadBack();
    KoGfxEnd();
    img.w      = pic.w;
    img.h      = pic.h;
    img.pixels = pic.px;
    EXPECT_GT(ImageCountLit(img, 0, 0, 8, 20), 10) << "the first letter starts at the left edge";
    EXPECT_GT(ImageCountLit(img, 0, 0, 60, height), 60);
    EXPECT_EQ(ImageCountLit(img, 0, height + 2, 800, 600), 0);
    EXPECT_EQ(ImageCountLit(img, 60, 0, 800, 600), 0);
    EXPECT_GE(height, 18);
    EXPECT_LE(height, 26);

    // Lines break only at '\n'; the height counts them. Outside a frame nothing is drawn but the height
    // holds.
    EXPECT_EQ(KoGfxPrint(0, 0, 0xFFFFFFFF, "one\ntwo\nthree", pFont), 3 * height);
    EXPECT_EQ(KoGfxPrint(0, 0, 0xFFFFFFFF, "", pFont), 0);
    KoGfxFreeFont(pFont);
    KoGfxFreeFont(nullptr);
}

TEST_F(Graphics, CachedTextsKeepTheirColourAndPlaceWhenTheCacheOverflows)
{
    KoGfxFont* pFont = KoGfxCreateFont(20, 0, 700, false, "Arial");
    auto printed     = [&](const char* pText, uint32_t colour, int x, int y)
    {
        KoGfxStart();
        KoGfxPrint(x, y, colour, pText, pFont);
        Picture pic = ReadBack();
        KoGfxEnd();
        return pic;
    };
    Picture first = printed("Distance 0 m", 0xFFFF0000u, 100, 50);
    EXPECT_GT(first.Count(RED), 30);
    // Hundreds of different texts, in two colours, each drawn where it was asked.
    for (int i = 1; i < 400; ++i)
    {
        char text[32];
        snprintf(text, sizeof text, "Distance %d m", i);
        uint32_t colour = i % 2 ? BLUE : GREEN;
        Picture pic     = printed(text, colour, 10 + i % 50, 300);
        ASSERT_GT(pic.Count(colour), 30) << text;
        ASSERT_EQ(pic.Count(i % 2 ? GREEN : BLUE), 0) << text;
        int left = pic.w;
        for (int y = 295; y < 330; ++y)
            for (int x = 0; x < pic.w; ++x)
                if (pic.At(x, y)) left = std::min(left, x);
        ASSERT_GE(left, 10 + i % 50) << text;
        ASSERT_LE(left, 10 + i % 50 + 3) << text;
    }
    EXPECT_TRUE(printed("Distance 0 m", 0xFFFF0000u, 100, 50).px == first.px);
    Picture blue = printed("Distance 0 m", BLUE, 100, 50);
    EXPECT_EQ(blue.Count(RED), 0) << "the same text in another colour is another text";
    EXPECT_EQ(blue.Count(BLUE), first.Count(RED));
    KoGfxFreeFont(pFont);
}

TEST_F(Graphics, EveryFaceNameFindsAFontOfTheAskedHeight)
{
    const char* faces[] = {"Flintstone", "Arial", "Terminal", "No Such Face At All"};
    for (const char* face : faces)
        for (int h : {16, 40, 65})
        {
            KoGfxFont* pFont = KoGfxCreateFont(h, 0, 600, false, face);
            ASSERT_NE(pFont, nullptr) << face;
            int lineH = KoGfxPrint(0, 0, 0xFFFFFFFF, "Xg", pFont);
            EXPECT_GE(lineH, h * 9 / 10) << face << " " << h;
            EXPECT_LE(lineH, h * 13 / 10 + 2) << face << " " << h;
            KoGfxFreeFont(pFont);
        }
    // A wider width stretches the text.
    KoGfxFont* pNarrow = KoGfxCreateFont(40, 10, 400, false, "Arial");
    KoGfxFont* pWide   = KoGfxCreateFont(40, 30, 400, false, "Arial");
    auto litWidth      = [](KoGfxFont* pFont)
    {
        KoGfxStart();
        KoGfxPrint(0, 0, 0xFFFFFFFF, "mmmm", pFont);
        Picture pic = ReadBack();
        KoGfxEnd();
        int right = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < pic.w; ++x)
                if (pic.At(x, y) && x > right) right = x;
        return right;
    };
    int narrow = litWidth(pNarrow), wide = litWidth(pWide);
    EXPECT_GT(wide, narrow * 2);
    KoGfxFreeFont(pNarrow);
    KoGfxFreeFont(pWide);
}

TEST_F(Graphics, SwitchingToFullScreenAndBackKeepsEveryMeshIntact)
{
    KoGfxVertexList* pA = Quad(-70, -50, -20, 50, RED);
    KoGfxVertexList* pB = Quad(-10, -10, 10, 10, GREEN);
    KoGfxVertexList* pC = Quad(30, 0, 75, 55, BLUE);
    KoGfxLineStart();
    KoGfxLineAdd(-80, -59, 0xFFFFFFFF, 80, -59, 0xFFFFFFFF);
    KoGfxVertexList* pLine = KoGfxLineEnd();
    KoGfxFree(pB);
    Picture before = DrawFrame({pA, pC, pLine});
    std::vector<KoGfxVertex> stored(KoGfxListsStoreData(true),
                                    KoGfxListsStoreData(true) + KoGfxListsStoreSize(true));

    KoGfxToggleScreenMode();
    Picture full = DrawFrame({pA, pC, pLine});
    EXPECT_TRUE(gKoGfxFullScreen);
    EXPECT_FALSE(KoGfxIsWindowed());
    int sw = 0, sh = 0;
    PlatGetScreenSize(&sw, &sh);
    EXPECT_EQ(full.w, sw);
    EXPECT_EQ(full.h, sh);
    // The extents keep the window's: the picture stretches over the screen.
    EXPECT_FLOAT_EQ(gKoWinMaxX, 80.0f);
    EXPECT_FLOAT_EQ(gKoWinMaxY, 60.0f);
    double scale = (double)full.w * full.h / (800.0 * 600.0);
    EXPECT_NEAR(full.Count(RED), before.Count(RED) * scale, before.Count(RED) * scale * 0.05);

    // Two toggles in one frame: one switch into the same mode, meshes still intact.
    KoGfxToggleScreenMode();
    KoGfxToggleScreenMode();
    Picture again = DrawFrame({pA, pC, pLine});
    EXPECT_EQ(again.w, full.w);
    EXPECT_FALSE(gKoGfxSwitchPending);

    KoGfxToggleScreenMode();
    Picture after = DrawFrame({pA, pC, pLine});
    EXPECT_FALSE(gKoGfxFullScreen);
    ASSERT_EQ(after.w, 800);
    ASSERT_EQ(after.h, 600);
    EXPECT_TRUE(after.px == before.px) << "the windowed picture is the same as before the switches";
    EXPECT_EQ(KoGfxListsStoreSize(true), stored.size());
    EXPECT_EQ(KoGfxListsRegistrySize(true), 2u);
    EXPECT_EQ(after.Count(GREEN), 0) << "a mesh freed before the switch stays freed";
    KoGfxFree(pA);
    KoGfxFree(pC);
    KoGfxFree(pLine);
}

TEST_F(Graphics, ADeviceResetAndAResizeRebuildMeshesAndFonts)
{
    KoGfxVertexList* pSquare = Quad(-60, -60, 60, 60, RED);
    KoGfxFont* pFont         = KoGfxCreateFont(24, 0, 700, false, "Flintstone");
    auto frame               = [&]()
    {
        KoGfxStart();
        Identity();
        KoGfxDraw(pSquare);
        KoGfxPrint(10, 10, 0xFF00FF00, "Stone", pFont);
        Picture pic = ReadBack();
        KoGfxEnd();
        return pic;
    };
    Picture before = frame();
    EXPECT_GT(before.Count(GREEN), 20);

    Pump(PLAT_EVENT_DEVICE_RESET);
    Picture reset = frame();
    EXPECT_TRUE(reset.px == before.px);

    // The user drags the window to 640 x 480: one reset at the end, the extents stay, the picture stretches.
    PlatWindowSetWindowed(50, 50, 640, 480);
    Pump(PLAT_EVENT_SIZE_END);
    Picture small = frame();
    ASSERT_EQ(small.w, 640);
    EXPECT_FLOAT_EQ(gKoWinMaxX, 80.0f);
    EXPECT_EQ(KoGfxGetViewportWidth(), 640);
    EXPECT_EQ(small.At(80, 240), RED & 0xFFFFFF);
    EXPECT_EQ(small.At(79, 240), 0u);
    EXPECT_EQ(small.At(559, 240), RED & 0xFFFFFF);
    EXPECT_EQ(small.At(560, 240), 0u);

    PlatWindowSetWindowed(50, 50, 800, 600);
    Pump(PLAT_EVENT_SIZE_END);
    EXPECT_TRUE(frame().px == before.px);
    KoGfxFree(pSquare);
    KoGfxFreeFont(pFont);
}

TEST_F(Graphics, WindowEventsDriveActivityKeysAndTheWindowFlag)
{
    Pump(PLAT_EVENT_MINIMISE, 0, 0);
    EXPECT_FALSE(gKoSysWindowActive);
    Pump(PLAT_EVENT_RESTORE, 800, 600);
    EXPECT_TRUE(gKoSysWindowActive);
    Pump(PLAT_EVENT_DEACTIVATE);
    EXPECT_FALSE(gKoSysWindowActive);
    Pump(PLAT_EVENT_ACTIVATE);
    EXPECT_TRUE(gKoSysWindowActive);
    EXPECT_EQ(KoGfxGetViewportWidth(), 800);

    KoInputReset();
    Pump(PLAT_EVENT_KEY_DOWN, 0, 0, 0x20);
    EXPECT_TRUE(KoInputCheckCurr(0x20));
    Pump(PLAT_EVENT_KEY_UP, 0, 0, 0x20);
    EXPECT_FALSE(KoInputCheckCurr(0x20));
    PlatEvent move = {};
    move.type      = PLAT_EVENT_MOUSE;
    move.x         = 123;
    move.y         = 45;
    move.left      = true;
    PlatPushEvent(move);
    KoSysPumpMessages();
    EXPECT_TRUE(KoInputMouseCheckCurr(1));
    int x = 0, y = 0;
    KoSysGetCursorClientPos(&x, &y);
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 45);
    KoInputReset();

    EXPECT_EQ(PlatScancodeToVk(4 /* A */), 'A');
    EXPECT_EQ(PlatScancodeToVk(45 /* minus */), 0xBD);
    EXPECT_EQ(PlatScancodeToVk(46 /* equals */), 0xBB);
    EXPECT_EQ(PlatScancodeToVk(68 /* F11 */), 0x7A);
}

TEST_F(Graphics, AScreenshotSavesTheFinishedPicture)
{
    char dir[] = "/tmp/skarn-shot-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string path         = std::string(dir) + "/frame.png";
    KoGfxVertexList* pSquare = Quad(0, 0, 80, 60, 0xFF336699u);
    KoGfxStart();
    Identity();
    KoGfxDraw(pSquare);
    KoGfxRequestScreenshot(path.c_str());
    KoGfxEnd();
    TestImage img;
    ASSERT_TRUE(ImageLoad(path, &img));
    EXPECT_EQ(img.w, 800);
    EXPECT_EQ(img.h, 600);
    EXPECT_EQ(ImagePixel(img, 600, 100), 0xFF336699u);
    EXPECT_EQ(ImagePixel(img, 200, 400), 0xFF000000u);
    EXPECT_EQ(ImageCountColour(img, 0, 0, 800, 600, 0xFF336699u, 0), 400 * 300);
    unlink(path.c_str());
    rmdir(dir);
    KoGfxFree(pSquare);
}

TEST_F(Graphics, AClosedWindowStopsTheGameButKeepsTheDeviceForTheLastFrees)
{
    KoGfxVertexList* pSquare = Quad(0, 0, 10, 10, RED);
    Pump(PLAT_EVENT_CLOSE);
    EXPECT_FALSE(gKoSysWindowExists);
    EXPECT_FALSE(gKoSysWindowActive);
    // The state still finishes its frame and frees what it made.
    KoGfxStart();
    KoGfxDraw(pSquare);
    KoGfxEnd();
    KoGfxFree(pSquare);
    // The window comes back for the tests that follow.
    gKoSysWindowExists = true;
}
