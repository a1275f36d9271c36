// The retained picture of SDL's software renderer. The window's surface keeps the last frame, so a frame
// need not draw again what did not change. Its drawing (rectangle fills, triangles, text copies) is recorded
// instead of drawn; when it ends, every 32 x 32 cell of the picture gets a hash of the items that may touch
// it, in their order. A cell whose hash is the last frame's holds the right pixels already; the others are
// cleared and drawn again, each item clipped to them, and only they go to the X server. Pictures stay the
// same pixel for pixel: a clipped fill, copy or triangle sets exactly the pixels of the unclipped one inside
// the clip (SDL's rasteriser steps its edge functions in whole numbers from wherever it starts).
//
// Lines are the exception (SDL clips a line's ends before stepping along it, which moves its pixels), and
// so is a text texture changed or freed while the frame still uses it: then what was recorded is drawn
// over the whole picture and the rest of the frame draws at once, as without the retained picture.
#include "platform/PlatInternal.h"
#include "platform/Platform.h"

#include <SDL.h>

static const int CELL       = 32;
static const int CELLS_W    = 256; // pictures up to 8192 x 8192 pixels
static const int CELLS_H    = 256;
static const int ITEMS_MAX  = 32768;
static const int VERTEX_MAX = 65536;
static const int TEXTS_MAX  = 512; // text items of a frame

enum PlatItemKind : uint8_t
{
    ITEM_FILL,
    ITEM_TRIS,
    ITEM_TEXT
};

struct PlatItem
{
    SDL_Rect box;  // the pixels it may touch, within the picture
    SDL_Rect rect; // FILL: the rectangle; TEXT: where the text goes
    SDL_Rect src;  // TEXT: the part of the texture
    uint64_t hash;
    uint32_t colour; // 0xAARRGGBB: FILL, TEXT
    uint32_t first;  // TRIS: its vertices in sVertices
    uint32_t count;
    SDL_Texture* pTex; // TEXT
    uint8_t kind;
    uint8_t blend; // PlatBlendMode
};

enum PlatFrameState
{
    FRAME_NONE,      // not recording: every drawing goes straight to SDL
    FRAME_RECORDING, // the frame is being recorded
    FRAME_DRAWN,     // the changed cells are drawn; the present sends them
    FRAME_AT_ONCE    // the frame draws at once; the present sends the whole picture
};

static PlatFrameState sState = FRAME_NONE;
static PlatItem sItems[ITEMS_MAX];
static int sItemNum = 0;
static PlatVertex sVertices[VERTEX_MAX];
static int sVertexNum = 0;
static int sTextItems[TEXTS_MAX];
static int sTextNum = 0;

// The picture the cells describe; sAllLost: the next frame draws and sends every cell.
static SDL_Surface* sSurface = nullptr;
static void* sPixels         = nullptr;
static int sW = 0, sH = 0, sCellsW = 0, sCellsH = 0;
static bool sAllLost = true;
static uint64_t sCellHash[2][CELLS_W * CELLS_H];
static int sNow = 0; // sCellHash[sNow]: this frame's; the other: the last frame's

// The changed cells as runs within a row of cells: sRuns[sRowFirst[r] .. sRowFirst[r + 1]) for row r.
static SDL_Rect sRuns[CELLS_W * CELLS_H / 2 + CELLS_H];
static int sRowFirst[CELLS_H + 1];
static int sRunNum = 0;

// Triangles of one item that reach a run, for drawing clipped to it.
static PlatVertex sClipped[VERTEX_MAX];

static uint64_t Mix(uint64_t h, uint64_t v)
{
    h ^= v;
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 31);
}

static uint64_t HashRect(uint64_t h, const SDL_Rect& r)
{
    h = Mix(h, (uint64_t)(uint32_t)r.x | (uint64_t)(uint32_t)r.y << 32);
    return Mix(h, (uint64_t)(uint32_t)r.w | (uint64_t)(uint32_t)r.h << 32);
}

void PlatFramePictureLost()
{
    sAllLost = true;
}

bool PlatFrameBegin()
{
    SDL_Surface* pSurface = SDL_GetWindowSurface(PlatGetSdlWindow());
    // Drawn but not presented: the screen misses that frame's cells.
    if (sState == FRAME_DRAWN || sState == FRAME_AT_ONCE) sAllLost = true;
    sState = FRAME_NONE;
    if (!PlatPixelsWritable(pSurface) || pSurface->w > CELLS_W * CELL || pSurface->h > CELLS_H * CELL)
    {
        sAllLost = true;
        return false;
    }
    if (pSurface != sSurface || pSurface->pixels != sPixels || pSurface->w != sW || pSurface->h != sH)
    {
        sSurface = pSurface;
        sPixels  = pSurface->pixels;
        sW       = pSurface->w;
        sH       = pSurface->h;
        sCellsW  = (sW + CELL - 1) / CELL;
        sCellsH  = (sH + CELL - 1) / CELL;
        sAllLost = true;
    }
    sState     = FRAME_RECORDING;
    sItemNum   = 0;
    sVertexNum = 0;
    sTextNum   = 0;
    return true;
}

// True while the frame is recorded. A drawing after the changed cells were drawn (and read) makes the
// frame one drawn at once.
static bool Recording()
{
    if (sState == FRAME_DRAWN)
    {
        sState   = FRAME_AT_ONCE;
        sAllLost = true;
    }
    return sState == FRAME_RECORDING;
}

// A new item at the end of the list; null when the list is full (the frame is then drawn at once).
static PlatItem* NewItem(PlatItemKind kind, int blend, const SDL_Rect& box)
{
    if (sItemNum == ITEMS_MAX)
    {
        PlatFrameDrawNow();
        return nullptr;
    }
    PlatItem* pItem = &sItems[sItemNum++];
    pItem->kind     = kind;
    pItem->blend    = (uint8_t)blend;
    pItem->box      = box;
    pItem->hash     = Mix(kind, (uint64_t)blend);
    return pItem;
}

// The part of r inside the picture; false when none is.
static bool InPicture(const SDL_Rect& r, SDL_Rect* pBox)
{
    const SDL_Rect all = {0, 0, sW, sH};
    return SDL_IntersectRect(&r, &all, pBox) == SDL_TRUE;
}

bool PlatFrameFill(const SDL_Rect& r, uint32_t argb, int blend)
{
    if (!Recording()) return false;
    SDL_Rect box;
    if (!InPicture(r, &box)) return true;
    PlatItem* pItem = NewItem(ITEM_FILL, blend, box);
    if (!pItem) return false;
    pItem->rect   = r;
    pItem->colour = argb;
    pItem->hash   = Mix(HashRect(pItem->hash, r), argb);
    return true;
}

bool PlatFrameGeometry(const PlatVertex* pVtx, int vtxNum, int blend)
{
    if (!Recording()) return false;
    if (vtxNum > VERTEX_MAX - sVertexNum)
    {
        PlatFrameDrawNow();
        return false;
    }
    // SDL places a corner on the pixel its coordinate truncates to; a pixel more on each side is safe.
    float x0 = pVtx[0].x, x1 = pVtx[0].x, y0 = pVtx[0].y, y1 = pVtx[0].y;
    uint64_t hash = 0;
    for (int i = 0; i < vtxNum; ++i)
    {
        const PlatVertex& v = pVtx[i];
        x0                  = SDL_min(x0, v.x);
        x1                  = SDL_max(x1, v.x);
        y0                  = SDL_min(y0, v.y);
        y1                  = SDL_max(y1, v.y);
        uint32_t xy[2], rgba;
        SDL_memcpy(xy, &v.x, sizeof xy);
        SDL_memcpy(&rgba, &v.r, sizeof rgba);
        hash = Mix(Mix(hash, (uint64_t)xy[0] | (uint64_t)xy[1] << 32), rgba);
    }
    // The guard band keeps the corners near the picture; the limits also keep a corner that is not a
    // number from an undefined conversion.
    x0               = SDL_max(x0, -4096.0f);
    y0               = SDL_max(y0, -4096.0f);
    x1               = SDL_min(x1, (float)sW + 4096.0f);
    y1               = SDL_min(y1, (float)sH + 4096.0f);
    const SDL_Rect r = {(int)SDL_floorf(x0) - 1, (int)SDL_floorf(y0) - 1, 0, 0};
    SDL_Rect bounds  = {r.x, r.y, (int)SDL_ceilf(x1) + 2 - r.x, (int)SDL_ceilf(y1) + 2 - r.y};
    SDL_Rect box;
    if (!InPicture(bounds, &box)) return true;
    PlatItem* pItem = NewItem(ITEM_TRIS, blend, box);
    if (!pItem) return false;
    pItem->first = (uint32_t)sVertexNum;
    pItem->count = (uint32_t)vtxNum;
    pItem->hash  = Mix(pItem->hash, hash);
    SDL_memcpy(&sVertices[sVertexNum], pVtx, sizeof(PlatVertex) * (size_t)vtxNum);
    sVertexNum += vtxNum;
    return true;
}

bool PlatFrameText(SDL_Texture* pTex, uint64_t serial, const SDL_Rect& src, const SDL_Rect& dst,
                   uint32_t argb)
{
    if (!Recording()) return false;
    // A copy is clipped by cutting its source as its destination, which needs them of one size.
    if (src.w != dst.w || src.h != dst.h || sTextNum == TEXTS_MAX)
    {
        PlatFrameDrawNow();
        return false;
    }
    SDL_Rect box;
    if (!InPicture(dst, &box)) return true;
    PlatItem* pItem = NewItem(ITEM_TEXT, PLAT_BLEND_BLEND, box);
    if (!pItem) return false;
    pItem->rect            = dst;
    pItem->src             = src;
    pItem->pTex            = pTex;
    pItem->colour          = argb;
    pItem->hash            = Mix(Mix(HashRect(HashRect(pItem->hash, src), dst), argb), serial);
    sTextItems[sTextNum++] = sItemNum - 1;
    return true;
}

void PlatFrameForgetTexture(SDL_Texture* pTex)
{
    if (sState != FRAME_RECORDING) return;
    for (int i = 0; i < sTextNum; ++i)
        if (sItems[sTextItems[i]].pTex == pTex)
        {
            PlatFrameDrawNow();
            return;
        }
}

// Every cell's hash of the items over it, then the runs of cells whose hash changed (all when the picture
// was lost).
static void FindChangedCells()
{
    sNow           = 1 - sNow;
    uint64_t* pNow = sCellHash[sNow];
    for (int i = 0; i < sCellsW * sCellsH; ++i) pNow[i] = 1;
    for (int i = 0; i < sItemNum; ++i)
    {
        const SDL_Rect& b = sItems[i].box;
        const int cx0 = b.x / CELL, cx1 = (b.x + b.w - 1) / CELL;
        const int cy0 = b.y / CELL, cy1 = (b.y + b.h - 1) / CELL;
        for (int cy = cy0; cy <= cy1; ++cy)
            for (int cx = cx0; cx <= cx1; ++cx)
                pNow[cy * sCellsW + cx] = Mix(pNow[cy * sCellsW + cx], sItems[i].hash);
    }
    const uint64_t* pLast = sCellHash[1 - sNow];
    sRunNum               = 0;
    for (int cy = 0; cy < sCellsH; ++cy)
    {
        sRowFirst[cy] = sRunNum;
        for (int cx = 0; cx < sCellsW;)
        {
            const int row = cy * sCellsW;
            if (!sAllLost && pNow[row + cx] == pLast[row + cx])
            {
                ++cx;
                continue;
            }
            const int from = cx;
            while (cx < sCellsW && (sAllLost || pNow[row + cx] != pLast[row + cx])) ++cx;
            SDL_Rect& run = sRuns[sRunNum++];
            run.x         = from * CELL;
            run.y         = cy * CELL;
            run.w         = SDL_min(cx * CELL, sW) - run.x;
            run.h         = SDL_min(CELL, sH - run.y);
        }
    }
    sRowFirst[sCellsH] = sRunNum;
    sAllLost           = false;
}

// Draws the item's part inside the run.
static void DrawClipped(const PlatItem& item, const SDL_Rect& part)
{
    if (item.kind == ITEM_FILL)
    {
        // Fills and copies are cut to the run already; a blended fill is SDL's, which the clip also limits.
        if (item.blend != PLAT_BLEND_NONE) PlatDrawSetClip(&part);
        PlatDrawFill(part, item.colour, item.blend);
        return;
    }
    if (item.kind == ITEM_TEXT)
    {
        const SDL_Rect src = {item.src.x + part.x - item.rect.x, item.src.y + part.y - item.rect.y, part.w,
                              part.h};
        PlatDrawSetClip(&part);
        PlatDrawText(item.pTex, src, part, item.colour);
        return;
    }
    // Only the triangles whose corners' box reaches the run; SDL's clip cuts them to it.
    PlatDrawSetClip(&part);
    const float px0 = (float)part.x - 1.0f, px1 = (float)(part.x + part.w) + 1.0f;
    const float py0 = (float)part.y - 1.0f, py1 = (float)(part.y + part.h) + 1.0f;
    const PlatVertex* pTri = &sVertices[item.first];
    int n                  = 0;
    for (uint32_t t = 0; t + 3 <= item.count; t += 3, pTri += 3)
    {
        if (SDL_max(SDL_max(pTri[0].x, pTri[1].x), pTri[2].x) < px0 ||
            SDL_min(SDL_min(pTri[0].x, pTri[1].x), pTri[2].x) > px1 ||
            SDL_max(SDL_max(pTri[0].y, pTri[1].y), pTri[2].y) < py0 ||
            SDL_min(SDL_min(pTri[0].y, pTri[1].y), pTri[2].y) > py1)
            continue;
        sClipped[n++] = pTri[0];
        sClipped[n++] = pTri[1];
        sClipped[n++] = pTri[2];
    }
    if (n > 0) PlatDrawGeometry(sClipped, n, item.blend);
}

// Clears the runs and draws every item into the runs it reaches, in the order they were drawn.
static void DrawRuns()
{
    for (int i = 0; i < sRunNum; ++i) PlatDrawFill(sRuns[i], 0, PLAT_BLEND_NONE);
    for (int i = 0; i < sItemNum; ++i)
    {
        const PlatItem& item = sItems[i];
        const int cy0 = item.box.y / CELL, cy1 = (item.box.y + item.box.h - 1) / CELL;
        for (int k = sRowFirst[cy0]; k < sRowFirst[cy1 + 1]; ++k)
        {
            SDL_Rect part;
            if (SDL_IntersectRect(&item.box, &sRuns[k], &part)) DrawClipped(item, part);
        }
    }
    PlatDrawSetClip(nullptr);
}

void PlatFrameFinish()
{
    if (sState != FRAME_RECORDING) return;
    FindChangedCells();
    DrawRuns();
    sState = FRAME_DRAWN;
}

void PlatFrameDrawNow()
{
    if (sState != FRAME_RECORDING) return;
    sAllLost = true;
    PlatFrameFinish();
    sState   = FRAME_AT_ONCE;
    sAllLost = true; // the cells' hashes miss what comes now
}

bool PlatFramePresent()
{
    PlatFrameFinish();
    const PlatFrameState state = sState;
    sState                     = FRAME_NONE;
    if (state == FRAME_NONE) return false;
    SDL_RenderFlush(PlatGetSdlRenderer());
    if (state == FRAME_AT_ONCE)
        SDL_UpdateWindowSurface(PlatGetSdlWindow());
    else // with no runs too: a present is a present (the bench counts them), and the X server is in step
        SDL_UpdateWindowSurfaceRects(PlatGetSdlWindow(), sRuns, sRunNum);
    return true;
}

void PlatFrameReset()
{
    sState   = FRAME_NONE;
    sSurface = nullptr;
    sAllLost = true;
}
