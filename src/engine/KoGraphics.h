// Graphics: primitive lists (triangle and line meshes with their vertex stores), the fixed camera and the
// view extents, frame start and end, world transform, blend modes, fonts, device loss and screen modes.
#pragma once

#include "engine/KoMath.h"

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

// Creates the device for the window, sets up its state and the default font, reserves the registries.
// Called by KoSysInit; false if the device or the default font cannot be made.
bool KoGfxInit();
// Releases the device and the default font (KoSysExit).
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

// Client-area size of the game window in pixels, asked from the system on each call.
int KoGfxGetWindowWidth();
int KoGfxGetWindowHeight();

// The next KoGfxEnd saves the finished picture to pPath (PNG) before presenting.
void KoGfxRequestScreenshot(const char* pPath);

// ---------------------------------------------------------------------------------------------------------
// Camera matrices for the cursor ray (4 x 4, row-vector layout: m[3][0..2] is the translation)

struct KoGfxMatrix
{
    float m[4][4];
};

void KoGfxGetProjectionMatrix(KoGfxMatrix* pOut);
void KoGfxGetViewMatrix(KoGfxMatrix* pOut);
int KoGfxGetViewportWidth();
int KoGfxGetViewportHeight();

// The published right-handed camera matrices and the general inverse (determinant 0 -> false, pOut
// unchanged).
void KoGfxMatrixPerspectiveFovRH(KoGfxMatrix* pOut, float fovY, float aspect, float zn, float zf);
void KoGfxMatrixLookAtRH(KoGfxMatrix* pOut, const float eye[3], const float at[3], const float up[3]);
bool KoGfxMatrixInverse(KoGfxMatrix* pOut, const KoGfxMatrix* pIn);
void KoGfxMatrixMultiply(KoGfxMatrix* pOut, const KoGfxMatrix* pA, const KoGfxMatrix* pB);

// ---------------------------------------------------------------------------------------------------------
// Device loss and screen modes

extern bool gKoGfxFullScreen;
extern bool gKoGfxSwitchPending;
extern bool gKoGfxDeviceLost;

void KoGfxToggleScreenMode();
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
