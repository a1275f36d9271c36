// Rendering, camera and text; device loss and screen modes. The primitive lists live in KoGfxLists.cpp, the
// device in KoGfxDevice.cpp.
#include "engine/KoGraphics.h"
#include "engine/KoAssert.h"
#include "engine/KoGfxDevice.h"
#include "engine/KoSystem.h"
#include "platform/Platform.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

float gKoWinMinX = 0.0f;
float gKoWinMaxX = 0.0f;
float gKoWinMinY = 0.0f;
float gKoWinMaxY = 0.0f;

bool gKoGfxFullScreen    = false;
bool gKoGfxSwitchPending = false;
bool gKoGfxSkipScenes    = false;

void (*gKoGfxDrawnHook)(const KoGfxDrawn* pDrawn) = nullptr;

struct KoGfxFont
{
    PlatFont* pPlat;
    // A layout font keeps what it was asked for and the layout scale its glyphs were made at (0: a font of
    // plain pixels).
    int height;
    unsigned int width, weight;
    bool italic;
    char face[64];
    float layoutScale;
};

// The back buffer the device draws into (what a reset applies) and whether it belongs to a window.
static int sPpWidth     = 0;
static int sPpHeight    = 0;
static bool sPpWindowed = true;
// Where printed texts are cut (KoGfxSetTextClipRight); 0: at the back buffer's edge.
static int sTextClipRight = 0;
// The back-buffer size at device creation: the window's size whenever it goes back to windowed mode.
static unsigned int sStoredWidth  = 0;
static unsigned int sStoredHeight = 0;

static Mtx44 sProj;
static Mtx44 sLayoutProj;
static Mtx44 sView;
static int sViewportW    = 0;
static int sViewportH    = 0;
static int sBlendMode    = KO_GFX_BM_NONE;
static bool sDeviceReady = false; // the device exists
static bool sNeedsReset  = false; // the device lost its resources and waits for a reset
static bool sInScene     = false; // this frame's drawing began
static int sLastClientW  = 0;
static int sLastClientH  = 0;

static std::vector<KoGfxFont*> sFonts;

static char sScreenshotPath[4096];
static bool sScreenshotPending = false;
static bool sScreenshotFailed  = false;

void KoGfxGetProjectionMatrix(Mtx44* pOut)
{
    *pOut = sProj;
}
void KoGfxGetViewMatrix(Mtx44* pOut)
{
    *pOut = sView;
}
void KoGfxGetLayoutProjectionMatrix(Mtx44* pOut)
{
    *pOut = sLayoutProj;
}
int KoGfxGetViewportWidth()
{
    return sViewportW;
}
int KoGfxGetViewportHeight()
{
    return sViewportH;
}

// ---------------------------------------------------------------------------------------------------------
// Device state, frame start and end

void KoGfxSetupDeviceState()
{
    // The camera and the view extents are those of the 800 x 600 window whatever the window's size (a
    // window of another shape stretches the world), so every window shows the same part of the world.
    float aspect = float(KO_GFX_LAYOUT_W) / float(KO_GFX_LAYOUT_H);
    Mtx44PerspectiveFovRH(&sProj, KO_PI / 2.0f, aspect, 1.0f, 1000.0f);
    const float eye[3] = {0.0f, 0.0f, 60.0f};
    const float at[3]  = {0.0f, 0.0f, 0.0f};
    const float up[3]  = {0.0f, 1.0f, 0.0f};
    Mtx44LookAtRH(&sView, eye, at, up);
    KoGfxDevSetCamera(&sView, &sProj);

    // Culling of clockwise triangles is the device's own rule; blending starts off.
    sBlendMode = KO_GFX_BM_NONE;
    KoGfxDevSetBlendMode(sBlendMode);

    gKoWinMaxY = KoTan(KoDegToRad(90.0f) * 0.5f) * 60.0f;
    gKoWinMinY = -gKoWinMaxY;
    gKoWinMaxX = float(KO_GFX_LAYOUT_W) * gKoWinMaxY / float(KO_GFX_LAYOUT_H);
    gKoWinMinX = -gKoWinMaxX;

    // The viewport covers the whole back buffer.
    PlatRendererGetBackBufferSize(&sViewportW, &sViewportH);
    KoGfxDevSetViewport(0, 0, sViewportW, sViewportH);

    // The layout's camera: the world camera with the view's x and y scaled so that a layout view unit is
    // 5 x the layout scale pixels both ways (at z = 0 the projection is 1 / 60 of a unit per clip unit).
    sLayoutProj = sProj;
    if (sViewportW > 0 && sViewportH > 0)
    {
        const float s       = KoGfxLayoutScale();
        sLayoutProj.m[0][0] = float(KO_GFX_LAYOUT_H) * s / float(sViewportW);
        sLayoutProj.m[1][1] = float(KO_GFX_LAYOUT_H) * s / float(sViewportH);
    }

    KoGfxListsResetBuilders();
}

void KoGfxStart()
{
    sInScene = false;
    KoGfxDevSetDrawing(false);
    if (!sDeviceReady) return;
    if (!gKoSysWindowActive)
    {
        PlatSleep(200);
        return;
    }
    IsDeviceLost(); // resets the device when the renderer asked for it; the frame always draws
    if (gKoGfxSwitchPending)
    {
        SwitchScreenMode();
        gKoGfxSwitchPending = false;
    }
    if (gKoGfxSkipScenes) return;
    PlatRendererClear();
    sInScene = true;
    KoGfxDevSetDrawing(true);
}

static void SaveScreenshot()
{
    sScreenshotPending = false;
    int w = 0, h = 0;
    PlatRendererGetOutputSize(&w, &h);
    std::vector<uint32_t> pixels((size_t)w * (size_t)h);
    std::string why = PlatRendererReadPixels(pixels.data(), w, h);
    if (why.empty()) why = PlatWritePng(sScreenshotPath, pixels.data(), w, h);
    if (why.empty()) return;
    fprintf(stderr, "screenshot: could not save \"%s\": %s\n", sScreenshotPath, why.c_str());
    sScreenshotFailed = true;
}

bool KoGfxScreenshotFailed()
{
    return sScreenshotFailed;
}

void KoGfxEnd()
{
    bool present = sDeviceReady && sInScene && gKoSysWindowActive;
    sInScene     = false;
    KoGfxDevSetDrawing(false);
    if (!present) return;
    if (sScreenshotPending) SaveScreenshot();
    PlatRendererPresent();
}

void KoGfxSetVsync(bool on)
{
    PlatRendererSetVsync(on);
}

bool KoGfxGetVsync()
{
    return PlatRendererGetVsync();
}

void KoGfxRequestScreenshot(const char* pPath)
{
    if (!pPath) return;
    snprintf(sScreenshotPath, sizeof(sScreenshotPath), "%s", pPath);
    sScreenshotPending = true;
}

void KoGfxSetTransform(const Mtx33* pMtx)
{
    Mtx44 world = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    if (pMtx)
    {
        world.m[0][0] = pMtx->m[0][0];
        world.m[0][1] = pMtx->m[1][0];
        world.m[1][0] = pMtx->m[0][1];
        world.m[1][1] = pMtx->m[1][1];
        world.m[3][0] = pMtx->m[0][2];
        world.m[3][1] = pMtx->m[1][2];
    }
    KoGfxDevSetWorld(&world);
}

void KoGfxSetBlendMode(int blendMode)
{
    KO_ASSERT_PARM((KO_GFX_BM_NONE <= blendMode) && (blendMode < KO_GFX_BM_NUM));
    sBlendMode = blendMode;
    KoGfxDevSetBlendMode(blendMode);
}

// ---------------------------------------------------------------------------------------------------------
// The screen layout

float KoGfxLayoutScale()
{
    if (sViewportW <= 0 || sViewportH <= 0) return 1.0f;
    return fminf(float(sViewportW) / float(KO_GFX_LAYOUT_W), float(sViewportH) / float(KO_GFX_LAYOUT_H));
}

void KoGfxLayoutToPixel(float x, float y, int* pPx, int* pPy)
{
    const float s = KoGfxLayoutScale();
    *pPx          = int((float(sViewportW) - float(KO_GFX_LAYOUT_W) * s) * 0.5f + x * s);
    *pPy          = int((float(sViewportH) - float(KO_GFX_LAYOUT_H) * s) * 0.5f + y * s);
}

void KoGfxLayoutViewToPixel(float x, float y, int* pPx, int* pPy)
{
    KoGfxLayoutToPixel(float(KO_GFX_LAYOUT_W) * 0.5f + 5.0f * x, float(KO_GFX_LAYOUT_H) * 0.5f - 5.0f * y,
                       pPx, pPy);
}

void KoGfxSetLayoutCamera(bool layout)
{
    KoGfxDevSetCamera(&sView, layout ? &sLayoutProj : &sProj, layout);
}

int KoGfxGetWindowWidth()
{
    int w = 0, h = 0;
    PlatWindowGetClientSize(&w, &h);
    if (w > 0 && h > 0) sLastClientW = w, sLastClientH = h;
    return sLastClientW;
}

int KoGfxGetWindowHeight()
{
    KoGfxGetWindowWidth();
    return sLastClientH;
}

// ---------------------------------------------------------------------------------------------------------
// Fonts

// The platform's font, or null when none could be opened (standard error says why).
static PlatFont* OpenPlatFont(const char* pFace, int height, int width, int weight, bool italic)
{
    PlatFont* pPlat       = nullptr;
    const std::string why = PlatFontOpen(pFace, height, width, weight, italic, &pPlat);
    if (!why.empty()) fprintf(stderr, "font: %s\n", why.c_str());
    return pPlat;
}

static KoGfxFont* OpenFont(int height, unsigned int width, unsigned int weight, bool italic,
                           const char* pFace)
{
    PlatFont* pPlat = OpenPlatFont(pFace, height, (int)width, (int)weight, italic);
    if (!pPlat) return nullptr;
    KoGfxFont* pFont = new (std::nothrow) KoGfxFont();
    if (!pFont)
    {
        PlatFontClose(pPlat);
        return nullptr;
    }
    pFont->pPlat       = pPlat;
    pFont->height      = height;
    pFont->width       = width;
    pFont->weight      = weight;
    pFont->italic      = italic;
    pFont->layoutScale = 0.0f;
    snprintf(pFont->face, sizeof pFont->face, "%s", pFace ? pFace : "");
    sFonts.push_back(pFont);
    return pFont;
}

// A font size times the layout scale, rounded, at least 1 pixel (0 stays 0: the face's own width).
static int Scaled(int size, float scale)
{
    if (size == 0) return 0;
    int scaled = int(float(size < 0 ? -size : size) * scale + 0.5f);
    if (scaled < 1) scaled = 1;
    return size < 0 ? -scaled : scaled;
}

// A layout font whose glyphs were made at another scale is opened again at the current one; when that
// fails it keeps its glyphs (and is not tried again at this scale).
static void FitLayoutFont(KoGfxFont* pFont)
{
    const float s = KoGfxLayoutScale();
    if (pFont->layoutScale == 0.0f || pFont->layoutScale == s) return;
    pFont->layoutScale = s;
    PlatFont* pPlat    = OpenPlatFont(pFont->face, Scaled(pFont->height, s), Scaled(int(pFont->width), s),
                                      int(pFont->weight), pFont->italic);
    if (!pPlat) return;
    PlatFontClose(pFont->pPlat);
    pFont->pPlat = pPlat;
}

KoGfxFont* KoGfxCreateFont(int height, unsigned int width, unsigned int weight, bool italic,
                           const char* pFace)
{
    KoGfxFont* pFont = OpenFont(height, width, weight, italic, pFace);
    KO_ASSERT_MESG(pFont, "Failed to create font");
    return pFont;
}

KoGfxFont* KoGfxCreateLayoutFont(int height, unsigned int width, unsigned int weight, bool italic,
                                 const char* pFace)
{
    const float s    = KoGfxLayoutScale();
    KoGfxFont* pFont = OpenFont(Scaled(height, s), unsigned(Scaled(int(width), s)), weight, italic, pFace);
    KO_ASSERT_MESG_FN(pFont, "Failed to create font", "KoGfxCreateFont");
    pFont->height      = height;
    pFont->width       = width;
    pFont->layoutScale = s;
    return pFont;
}

void KoGfxFreeFont(KoGfxFont* pFont)
{
    if (!pFont) return;
    for (size_t i = 0; i < sFonts.size(); ++i)
        if (sFonts[i] == pFont)
        {
            sFonts.erase(sFonts.begin() + i);
            PlatFontClose(pFont->pPlat);
            delete pFont;
            return;
        }
}

int KoGfxPrint(int x, int y, unsigned int colour, const char* pStr, KoGfxFont* pFont)
{
    KO_ASSERT(pStr);
    KO_ASSERT(pFont);
    FitLayoutFont(pFont);
    if (!KoGfxDevIsDrawing())
    {
        // Nothing reaches a device that is not drawing; the text still has its height.
        int lines = *pStr ? 1 : 0;
        for (const char* p = pStr; *p; ++p) lines += *p == '\n';
        return lines * PlatFontLineHeight(pFont->pPlat);
    }
    int right = sTextClipRight > 0 && sTextClipRight < sPpWidth - 1 ? sTextClipRight : sPpWidth - 1;
    if (gKoGfxDrawnHook && *pStr)
    {
        int w = 0, h = 0;
        PlatFontMeasureText(pFont->pPlat, pStr, &w, &h);
        KoGfxDrawn drawn = {KO_GFX_DRAWN_TEXT, float(x), float(y), float(x + w < right ? x + w : right),
                            float(y + h),      pStr,     0,        pFont->layoutScale > 0.0f};
        gKoGfxDrawnHook(&drawn);
    }
    return PlatFontDrawText(pFont->pPlat, pStr, x, y, colour, right, sPpHeight - 1);
}

void KoGfxSetTextClipRight(int right)
{
    sTextClipRight = right;
}

int KoGfxGetFontLineHeight(KoGfxFont* pFont)
{
    KO_ASSERT(pFont);
    FitLayoutFont(pFont);
    return PlatFontLineHeight(pFont->pPlat);
}

int KoGfxLayoutPrint(float x, float y, unsigned int colour, const char* pStr, KoGfxFont* pFont)
{
    int px = 0, py = 0;
    KoGfxLayoutToPixel(x, y, &px, &py);
    return KoGfxPrint(px, py, colour, pStr, pFont);
}

// ---------------------------------------------------------------------------------------------------------
// Init and exit

std::string KoGfxInit()
{
    std::string why = PlatRendererCreate();
    if (!why.empty()) return why;
    // Back-buffer size 0 x 0: the device takes the client area's size, and that size is kept.
    sPpWidth    = 0;
    sPpHeight   = 0;
    sPpWindowed = true;
    PlatRendererSetBackBufferSize(sPpWidth, sPpHeight);
    PlatRendererGetBackBufferSize(&sPpWidth, &sPpHeight);
    if (sPpWidth <= 0 || sPpHeight <= 0)
    {
        PlatRendererDestroy();
        return "the window has no drawing area";
    }
    sStoredWidth  = (unsigned int)sPpWidth;
    sStoredHeight = (unsigned int)sPpHeight;
    sDeviceReady  = true;
    sNeedsReset   = false;
    KoGfxSetupDeviceState();
    sFonts.reserve(16);
    KoGfxListsReserve();
    gKoGfxSwitchPending = gKoGfxFullScreen; // made windowed: the first frame switches to full screen
    return std::string();
}

void KoGfxExit()
{
    // Whatever the states left alive goes with the device.
    KoGfxListsFreeAll();
    while (!sFonts.empty()) KoGfxFreeFont(sFonts.back());
    sDeviceReady = false;
    sInScene     = false;
    KoGfxDevSetDrawing(false);
    PlatRendererDestroy();
}

// ---------------------------------------------------------------------------------------------------------
// Device loss and screen modes

void KoGfxToggleScreenMode()
{
    gKoGfxSwitchPending = true;
    gKoGfxFullScreen    = !gKoGfxFullScreen;
}

void KoGfxSetBackBufferSize(int w, int h)
{
    sPpWidth  = w;
    sPpHeight = h;
}

bool KoGfxIsWindowed()
{
    return sPpWindowed;
}

void KoGfxNotifyDeviceReset()
{
    sNeedsReset = true;
}

// Applies the back-buffer size of the presentation parameters; a size of 0 takes the window's.
static bool ResetDevice()
{
    if (!sDeviceReady || !PlatRendererExists()) return false;
    PlatRendererSetBackBufferSize(sPpWidth, sPpHeight);
    int w = 0, h = 0;
    PlatRendererGetBackBufferSize(&w, &h);
    if (w <= 0 || h <= 0)
    {
        // A window without an area (minimised): keep drawing at the first size.
        w = (int)sStoredWidth;
        h = (int)sStoredHeight;
        PlatRendererSetBackBufferSize(w, h);
    }
    sPpWidth    = w;
    sPpHeight   = h;
    sNeedsReset = false;
    return true;
}

// SDL's renderer is never lost: it only reports that its resources were reset (KoGfxNotifyDeviceReset).
// So this performs the reset that report asked for and always answers false.
bool IsDeviceLost()
{
    if (sNeedsReset) KoGfxResetDevice();
    return false;
}

bool OnLostDevice()
{
    for (KoGfxFont* pFont : sFonts) PlatFontOnLostDevice(pFont->pPlat);
    KoGfxListsReleaseAll();
    return true;
}

bool OnResetDevice()
{
    KoGfxSetupDeviceState();
    KoGfxListsRebuildAll(); // the fonts' texts come back one by one as they are drawn again
    return true;
}

bool KoGfxResetDevice()
{
    if (!sDeviceReady) return true;
    OnLostDevice();
    if (!ResetDevice()) KO_ASSERT_MESG(0, "Device failed to reset\n");
    OnResetDevice();
    return true;
}

void SwitchScreenMode()
{
    OnLostDevice();
    if (gKoGfxFullScreen)
    {
        int w = 0, h = 0;
        PlatGetScreenSize(&w, &h);
        sPpWidth    = w;
        sPpHeight   = h;
        sPpWindowed = false;
        PlatWindowSetFullScreen();
    }
    else
    {
        sPpWidth    = (int)sStoredWidth;
        sPpHeight   = (int)sStoredHeight;
        sPpWindowed = true;
        PlatWindowSetWindowed(50, 50, (int)sStoredWidth, (int)sStoredHeight);
    }
    if (!ResetDevice()) KO_ASSERT_MESG(0, "Device failed to reset\n");
    OnResetDevice();
}
