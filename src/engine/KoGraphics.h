// Graphics: primitive lists (triangle and line meshes with their vertex stores), the fixed camera and the
// view extents, frame start and end, world transform, blend modes, fonts, device loss and screen modes.
#pragma once

#include "engine/KoMath.h"

#include <string>

// ---------------------------------------------------------------------------------------------------------
// Primitive lists

#define KO_GFX_TRI_NUM_MAX 8192
#define KO_GFX_LINE_NUM_MAX 8192

// The format of every vertex in the device's buffers and in the CPU copies (16 bytes).
struct KoGfxVertex
{
    float x;
    float y;
    float z;             // always 0
    unsigned int colour; // 0xAARRGGBB
};

// The device's copy of a list's vertices (defined by the device).
struct KoGfxDevBuffer;

// A built triangle or line mesh, owned by its creator until KoGfxFree.
struct KoGfxVertexList
{
    KoGfxDevBuffer* pVtxBuffer;
    unsigned int vtxNum; // 3 per triangle or 2 per line
    bool triFlag;        // true: triangle list, false: line list
};

void KoGfxTriStart();
void KoGfxTriAdd(float x0, float y0, unsigned int c0, float x1, float y1, unsigned int c1, float x2, float y2,
                 unsigned int c2);
KoGfxVertexList* KoGfxTriEnd();

void KoGfxLineStart();
void KoGfxLineAdd(float x0, float y0, unsigned int c0, float x1, float y1, unsigned int c1);
KoGfxVertexList* KoGfxLineEnd();

// Draws with the current world transform, blend mode and camera.
void KoGfxTriDraw(KoGfxVertexList* pTriList);
void KoGfxDraw(KoGfxVertexList* pVtxList);

void KoGfxTriFree(KoGfxVertexList* pTriList);
void KoGfxLineFree(KoGfxVertexList* pLineList);
void KoGfxFree(KoGfxVertexList* pVtxList);

// ---------------------------------------------------------------------------------------------------------
// Rendering, camera and text

enum
{
    KO_GFX_BM_NONE = 0,
    KO_GFX_BM_BLEND,
    KO_GFX_BM_ADD,
    KO_GFX_BM_NUM
};

// World extents of the view in the plane z = 0 (x from -80 to 80 and y from -60 to 60 for 800 x 600).
extern float gKoWinMinX;
extern float gKoWinMaxX;
extern float gKoWinMinY;
extern float gKoWinMaxY;

// Creates the device for the window, sets up its state, reserves the registries.
// Called by KoSysInit; empty, or why the device cannot be made.
std::string KoGfxInit();
// Releases the device and every font still open (KoSysExit).
void KoGfxExit();

void KoGfxSetupDeviceState();
void KoGfxStart();
void KoGfxEnd();

void KoGfxSetTransform(const Mtx33* pMtx);
void KoGfxSetBlendMode(int blendMode);

struct KoGfxFont;
KoGfxFont* KoGfxCreateFont(int height, unsigned int width, unsigned int weight, bool italic,
                           const char* pFace);
void KoGfxFreeFont(KoGfxFont* pFont);
// Draws the text left-aligned from (x, y) in back-buffer pixels, breaking lines only at '\n'; returns the
// height of the drawn text.
int KoGfxPrint(int x, int y, unsigned int colour, const char* pStr, KoGfxFont* pFont);
// The pixels from one printed line to the next.
int KoGfxGetFontLineHeight(KoGfxFont* pFont);
// Texts printed until the next call are cut at back-buffer column right (exclusive), as a column of a
// table; 0 lifts the cut.
void KoGfxSetTextClipRight(int right);

// Client-area size of the game window in pixels, asked from the system on each call.
int KoGfxGetWindowWidth();
int KoGfxGetWindowHeight();

// The next KoGfxEnd saves the finished picture to pPath (PNG) before presenting.
void KoGfxRequestScreenshot(const char* pPath);
// True once a screenshot could not be saved (said on standard error): the run ends with a failure.
bool KoGfxScreenshotFailed();

// ---------------------------------------------------------------------------------------------------------
// The screen layout. Menus, overlays and the splash are laid out for an 800 x 600 window: texts at its
// pixels, meshes at its view units (x from -80 to 80, y from -60 to 60, 5 pixels a unit). On the back buffer
// the layout is scaled by the smaller of the two ratios (width / 800, height / 600) and centred, its fonts
// included, so it keeps its proportions and stays whole in any window. The world keeps the world camera.

#define KO_GFX_LAYOUT_W 800
#define KO_GFX_LAYOUT_H 600

// The layout's scale on the current back buffer.
float KoGfxLayoutScale();
// A point of the layout (pixels of the 800 x 600 window) in back-buffer pixels, truncated.
void KoGfxLayoutToPixel(float x, float y, int* pPx, int* pPy);
// A point of the layout's view units in back-buffer pixels, truncated.
void KoGfxLayoutViewToPixel(float x, float y, int* pPx, int* pPy);
// true: the following mesh draws place their meshes in the layout's view units; false: the world camera.
void KoGfxSetLayoutCamera(bool layout);
// A font whose height and width are given for the layout: it prints at the layout's scale, its glyphs made
// again whenever that scale changes.
KoGfxFont* KoGfxCreateLayoutFont(int height, unsigned int width, unsigned int weight, bool italic,
                                 const char* pFace);
// Prints at a point of the layout.
int KoGfxLayoutPrint(float x, float y, unsigned int colour, const char* pStr, KoGfxFont* pFont);

// Test hook: told the back-buffer rectangle of every text printed and every mesh drawn on screen. Null (the
// default) for none.
enum
{
    KO_GFX_DRAWN_TEXT = 0,
    KO_GFX_DRAWN_MESH
};
struct KoGfxDrawn
{
    int kind;
    float x0, y0, x1, y1; // pixels; x1 and y1 exclusive
    const char* pText;    // texts: the text
    unsigned int vtxNum;  // meshes: vertices of the list drawn
    bool layout;          // drawn with the layout camera (meshes) or at the layout's scale (texts)
};
extern void (*gKoGfxDrawnHook)(const KoGfxDrawn* pDrawn);

// ---------------------------------------------------------------------------------------------------------
// The camera's matrices (for the cursor ray)

void KoGfxGetProjectionMatrix(Mtx44* pOut);
void KoGfxGetViewMatrix(Mtx44* pOut);
// The projection of the layout's camera (the cursor in the layout's view units).
void KoGfxGetLayoutProjectionMatrix(Mtx44* pOut);
int KoGfxGetViewportWidth();
int KoGfxGetViewportHeight();

// ---------------------------------------------------------------------------------------------------------
// Device loss and screen modes

// Full screen or the window: the one record of the mode, the engine's. It is the mode the engine is in or is
// switching to. Before KoSysInit it is the mode to start in (the settings and the command line set it; the
// device starts windowed and its first frame switches); from then on only KoGfxToggleScreenMode changes it
// (F11, the menu's and the overlays' buttons). The settings file remembers it.
extern bool gKoGfxFullScreen;
extern bool gKoGfxSwitchPending; // a switch to gKoGfxFullScreen waits for the next frame start
// While set, the scenes that start draw nothing: the renderer is skipped, the states' drawing code still
// runs.
extern bool gKoGfxSkipScenes;

void KoGfxToggleScreenMode();
// Vsync: presents keep in step with the display's refresh; off (immediate presents) by default. May be set
// before KoSysInit creates the device or at any time after.
void KoGfxSetVsync(bool on);
bool KoGfxGetVsync();
// Performs a device reset the renderer asked for (KoGfxNotifyDeviceReset); always false: never lost.
bool IsDeviceLost();
bool OnLostDevice();
bool OnResetDevice();
// Resets the device with the current back-buffer size (after a size change of the window).
bool KoGfxResetDevice();
void SwitchScreenMode();
// The back-buffer size the next reset uses (the window procedure's size messages set it).
void KoGfxSetBackBufferSize(int w, int h);
bool KoGfxIsWindowed();
// The device reported that it lost its resources: the next frame start resets it.
void KoGfxNotifyDeviceReset();
