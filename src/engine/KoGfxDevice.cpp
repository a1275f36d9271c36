// The device over the platform's renderer. A vertex buffer is the device's own copy of a list's vertices;
// a draw transforms them by world x view x projection into back-buffer pixels on the CPU, drops the
// triangles that run clockwise on screen, and submits the rest in one geometry call.
#include "engine/KoGfxDevice.h"
#include "platform/Platform.h"

#include <cmath>
#include <cstdlib>
#include <new>

struct KoGfxDevBuffer
{
    unsigned int refs;
    unsigned int vtxNum;
    KoGfxVertex* pVtx;
    float minX, minY, maxX, maxY; // bounds of the vertices, for the off-screen test
};

static Mtx44 sView;
static Mtx44 sProj;
static Mtx44 sViewProj;
static Mtx44 sWorld;
static int sVpX = 0, sVpY = 0, sVpW = 0, sVpH = 0;
static bool sDrawing      = false;
static bool sLayoutCamera = false; // the camera is the screen layout's (told to the drawn-rectangle hook)

// World to back-buffer pixels; rebuilt when the world, camera or viewport change.
static bool sMapDirty = true;
static bool sMapAffine;        // w is the same for every point of the plane z = 0
static float sMap[4][4];       // world x view x projection
static float sPxA, sPxB, sPxC; // affine case: px = A x + B y + C
static float sPyA, sPyB, sPyC; //               py = A x + B y + C

// Every vertex of one draw, transformed (a list holds at most this many).
static PlatVertex sScratch[KO_GFX_TRI_NUM_MAX * 3];

// ---------------------------------------------------------------------------------------------------------
// Buffers

bool KoGfxDevCreateVertexBuffer(unsigned int length, KoGfxDevBuffer** ppBuf)
{
    if (length == 0 || length % sizeof(KoGfxVertex) != 0) return false;
    KoGfxDevBuffer* pBuf = new (std::nothrow) KoGfxDevBuffer();
    if (!pBuf) return false;
    pBuf->pVtx = static_cast<KoGfxVertex*>(malloc(length));
    if (!pBuf->pVtx)
    {
        delete pBuf;
        return false;
    }
    pBuf->refs   = 1;
    pBuf->vtxNum = length / (unsigned int)sizeof(KoGfxVertex);
    *ppBuf       = pBuf;
    return true;
}

bool KoGfxDevLock(KoGfxDevBuffer* pBuf, void** ppData)
{
    if (!pBuf) return false;
    *ppData = pBuf->pVtx;
    return true;
}

void KoGfxDevUnlock(KoGfxDevBuffer* pBuf)
{
    if (!pBuf) return;
    pBuf->minX = pBuf->maxX = pBuf->pVtx[0].x;
    pBuf->minY = pBuf->maxY = pBuf->pVtx[0].y;
    for (unsigned int i = 1; i < pBuf->vtxNum; ++i)
    {
        const KoGfxVertex& v = pBuf->pVtx[i];
        pBuf->minX           = fminf(pBuf->minX, v.x);
        pBuf->maxX           = fmaxf(pBuf->maxX, v.x);
        pBuf->minY           = fminf(pBuf->minY, v.y);
        pBuf->maxY           = fmaxf(pBuf->maxY, v.y);
    }
}

unsigned int KoGfxDevRelease(KoGfxDevBuffer* pBuf)
{
    if (!pBuf) return 0;
    if (--pBuf->refs > 0) return pBuf->refs;
    free(pBuf->pVtx);
    delete pBuf;
    return 0;
}

// ---------------------------------------------------------------------------------------------------------
// State

void KoGfxDevSetCamera(const Mtx44* pView, const Mtx44* pProj, bool layout)
{
    sLayoutCamera = layout;
    sView         = *pView;
    sProj         = *pProj;
    Mtx44Multiply(&sViewProj, &sView, &sProj);
    sMapDirty = true;
}

void KoGfxDevSetWorld(const Mtx44* pWorld)
{
    sWorld    = *pWorld;
    sMapDirty = true;
}

void KoGfxDevSetViewport(int x, int y, int w, int h)
{
    sVpX      = x;
    sVpY      = y;
    sVpW      = w;
    sVpH      = h;
    sMapDirty = true;
}

void KoGfxDevSetBlendMode(int blendMode)
{
    static const int sPlatMode[KO_GFX_BM_NUM] = {PLAT_BLEND_NONE, PLAT_BLEND_BLEND, PLAT_BLEND_ADD};
    PlatRendererSetBlendMode(sPlatMode[blendMode]);
}

void KoGfxDevSetDrawing(bool drawing)
{
    sDrawing = drawing;
}
bool KoGfxDevIsDrawing()
{
    return sDrawing;
}

static void UpdateMap()
{
    Mtx44 m;
    Mtx44Multiply(&m, &sWorld, &sViewProj);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) sMap[r][c] = m.m[r][c];
    // Only rows 0, 1 and 3 matter in the plane z = 0. w does not vary when the x and y rows carry none.
    sMapAffine = sMap[0][3] == 0.0f && sMap[1][3] == 0.0f && sMap[3][3] != 0.0f;
    if (sMapAffine)
    {
        // Divide rather than multiply by 1 / w: keeps world points that land on whole pixels exact.
        float hw = 0.5f * (float)sVpW, hh = 0.5f * (float)sVpH, w = sMap[3][3];
        sPxA = hw * sMap[0][0] / w;
        sPxB = hw * sMap[1][0] / w;
        sPxC = (float)sVpX + hw + hw * sMap[3][0] / w;
        sPyA = -hh * sMap[0][1] / w;
        sPyB = -hh * sMap[1][1] / w;
        sPyC = (float)sVpY + hh - hh * sMap[3][1] / w;
    }
    sMapDirty = false;
}

static inline void ToPixel(float x, float y, float* pPx, float* pPy)
{
    if (sMapAffine)
    {
        *pPx = sPxA * x + sPxB * y + sPxC;
        *pPy = sPyA * x + sPyB * y + sPyC;
        return;
    }
    float cx = x * sMap[0][0] + y * sMap[1][0] + sMap[3][0];
    float cy = x * sMap[0][1] + y * sMap[1][1] + sMap[3][1];
    float cw = x * sMap[0][3] + y * sMap[1][3] + sMap[3][3];
    float iw = cw != 0.0f ? 1.0f / cw : 0.0f;
    *pPx     = (float)sVpX + 0.5f * (float)sVpW * (1.0f + cx * iw);
    *pPy     = (float)sVpY + 0.5f * (float)sVpH * (1.0f - cy * iw);
}

// The buffer's bounds in pixels.
static void PixelBounds(const KoGfxDevBuffer* pBuf, float* pX0, float* pY0, float* pX1, float* pY1)
{
    float xs[4], ys[4];
    ToPixel(pBuf->minX, pBuf->minY, &xs[0], &ys[0]);
    ToPixel(pBuf->maxX, pBuf->minY, &xs[1], &ys[1]);
    ToPixel(pBuf->minX, pBuf->maxY, &xs[2], &ys[2]);
    ToPixel(pBuf->maxX, pBuf->maxY, &xs[3], &ys[3]);
    *pX0 = fminf(fminf(xs[0], xs[1]), fminf(xs[2], xs[3]));
    *pX1 = fmaxf(fmaxf(xs[0], xs[1]), fmaxf(xs[2], xs[3]));
    *pY0 = fminf(fminf(ys[0], ys[1]), fminf(ys[2], ys[3]));
    *pY1 = fmaxf(fmaxf(ys[0], ys[1]), fmaxf(ys[2], ys[3]));
}

// True when the buffer's bounds land wholly outside the viewport.
static bool OffScreen(const KoGfxDevBuffer* pBuf)
{
    float x0, y0, x1, y1;
    PixelBounds(pBuf, &x0, &y0, &x1, &y1);
    return x1 < (float)sVpX || x0 > (float)(sVpX + sVpW) || y1 < (float)sVpY || y0 > (float)(sVpY + sVpH);
}

static inline void SetColour(PlatVertex* pV, unsigned int c)
{
    pV->r = (uint8_t)(c >> 16);
    pV->g = (uint8_t)(c >> 8);
    pV->b = (uint8_t)c;
    pV->a = (uint8_t)(c >> 24);
    pV->u = 0.0f;
    pV->v = 0.0f;
}

void KoGfxDevDrawPrimitive(KoGfxDevBuffer* pBuf, bool triangles, unsigned int primNum)
{
    if (!sDrawing || !pBuf || primNum == 0) return;
    const unsigned int perPrim = triangles ? 3 : 2;
    if (primNum * perPrim > pBuf->vtxNum) primNum = pBuf->vtxNum / perPrim;
    if (primNum * perPrim > KO_GFX_TRI_NUM_MAX * 3) primNum = KO_GFX_TRI_NUM_MAX * 3 / perPrim;
    if (sMapDirty) UpdateMap();
    // The off-screen test costs four corner transforms: worth it from a quad on.
    if (primNum >= 2 && OffScreen(pBuf)) return;
    if (gKoGfxDrawnHook && triangles)
    {
        KoGfxDrawn drawn = {KO_GFX_DRAWN_MESH, 0, 0, 0, 0, nullptr, pBuf->vtxNum, sLayoutCamera};
        PixelBounds(pBuf, &drawn.x0, &drawn.y0, &drawn.x1, &drawn.y1);
        gKoGfxDrawnHook(&drawn);
    }

    const KoGfxVertex* pSrc = pBuf->pVtx;
    if (!triangles)
    {
        for (unsigned int i = 0; i < primNum; ++i, pSrc += 2)
        {
            float x0, y0, x1, y1;
            ToPixel(pSrc[0].x, pSrc[0].y, &x0, &y0);
            ToPixel(pSrc[1].x, pSrc[1].y, &x1, &y1);
            PlatRendererDrawLine(x0, y0, pSrc[0].colour, x1, y1, pSrc[1].colour);
        }
        return;
    }

    PlatVertex* pOut = sScratch;
    for (unsigned int i = 0; i < primNum; ++i, pSrc += 3)
    {
        ToPixel(pSrc[0].x, pSrc[0].y, &pOut[0].x, &pOut[0].y);
        ToPixel(pSrc[1].x, pSrc[1].y, &pOut[1].x, &pOut[1].y);
        ToPixel(pSrc[2].x, pSrc[2].y, &pOut[2].x, &pOut[2].y);
        // Pixels run y down: corners that run counter-clockwise on screen give a negative cross product.
        float cross = (pOut[1].x - pOut[0].x) * (pOut[2].y - pOut[0].y) -
                      (pOut[1].y - pOut[0].y) * (pOut[2].x - pOut[0].x);
        if (!(cross < 0.0f)) continue;
        SetColour(&pOut[0], pSrc[0].colour);
        SetColour(&pOut[1], pSrc[1].colour);
        SetColour(&pOut[2], pSrc[2].colour);
        pOut += 3;
    }
    PlatRendererDrawTriangles(sScratch, (int)(pOut - sScratch));
}
