// The drawing device: the SDL renderer of the game window. The engine draws into a back buffer of its own
// size; the renderer's scale stretches it over the whole output, as presenting a back buffer does.
#include "platform/Platform.h"
#include "platform/PlatInternal.h"

#include <SDL.h>
#include <cstddef>

static SDL_Renderer* sRenderer = nullptr;
static int sBackW              = 0;
static int sBackH              = 0;
static bool sSoftware          = false;           // SDL's software renderer draws (headless, or no GPU)
static bool sKeepPicture       = true;            // the software renderer keeps its picture (PlatFrame.cpp)
static bool sUnitScale         = true;            // the back buffer is the output, pixel for pixel
static int sBlendMode          = PLAT_BLEND_NONE; // the engine's
static int sSdlBlend           = -1;              // SDL's draw colour and white texel's (-1: unknown)
static bool sClipOn            = false;           // SDL's clip rectangle (PlatDrawSetClip)
static SDL_Rect sClip          = {0, 0, 0, 0};
static SDL_Texture* sWhite     = nullptr; // one white texel: blended triangles of the software renderer
static bool sVsync             = false;   // presents keep in step with the display's refresh
static uint64_t sLastPresent   = 0;       // counter value after the last present

static_assert(sizeof(PlatVertex) == sizeof(SDL_Vertex), "PlatVertex must match SDL_Vertex");
static_assert(offsetof(PlatVertex, r) == offsetof(SDL_Vertex, color), "PlatVertex colour offset");
static_assert(offsetof(PlatVertex, u) == offsetof(SDL_Vertex, tex_coord), "PlatVertex texture offset");

SDL_Renderer* PlatGetSdlRenderer()
{
    return sRenderer;
}

// True for an OpenGL renderer that Mesa draws on the CPU (llvmpipe, softpipe: no GPU or no driver for it, a
// virtual machine, a remote desktop). Its context is current right after it is made.
static bool DrawnOnCpu(SDL_Renderer* pRenderer)
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(pRenderer, &info) != 0 || SDL_strncmp(info.name, "opengl", 6) != 0) return false;
    typedef const unsigned char* (*GetStringFn)(unsigned int);
    const unsigned int GL_RENDERER_NAME = 0x1F01; // GL_RENDERER
    GetStringFn pGetString              = reinterpret_cast<GetStringFn>(SDL_GL_GetProcAddress("glGetString"));
    const char* pName = pGetString ? reinterpret_cast<const char*>(pGetString(GL_RENDERER_NAME)) : nullptr;
    return pName && (SDL_strstr(pName, "llvmpipe") || SDL_strstr(pName, "softpipe"));
}

// On X11 the renderer SDL picks first is kept unless it is OpenGL drawn on the CPU: then SDL's software
// renderer draws, several times cheaper for the game's meshes (a renderer named in SDL_RENDER_DRIVER is
// kept whatever it is). A software renderer's picture goes to the X server through shared memory: left to
// itself SDL would upload it as a texture of another (OpenGL) renderer each frame, which costs more than
// drawing it when that renderer is itself drawn on the CPU.
static SDL_Renderer* CreateRenderer(SDL_Window* pWindow, Uint32 vsync)
{
    const char* pDriver = SDL_GetCurrentVideoDriver();
    const bool x11      = !PlatIsHeadless() && pDriver && SDL_strcmp(pDriver, "x11") == 0;
    if (x11) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Renderer* pRenderer =
        SDL_CreateRenderer(pWindow, -1, (PlatIsHeadless() ? SDL_RENDERER_SOFTWARE : 0) | vsync);
    if (pRenderer && x11 && !SDL_GetHint(SDL_HINT_RENDER_DRIVER) && DrawnOnCpu(pRenderer))
    {
        SDL_DestroyRenderer(pRenderer);
        pRenderer = nullptr;
    }
    if (!pRenderer && !PlatIsHeadless())
        pRenderer = SDL_CreateRenderer(pWindow, -1, SDL_RENDERER_SOFTWARE | vsync);
    return pRenderer;
}

std::string PlatRendererCreate()
{
    SDL_Window* pWindow = PlatGetSdlWindow();
    if (!pWindow) return "there is no window to draw in";
    if (sRenderer) return std::string();
    // Presents without waiting for the vertical retrace unless vsync is asked for.
    sRenderer = CreateRenderer(pWindow, sVsync ? SDL_RENDERER_PRESENTVSYNC : 0);
    if (!sRenderer) return std::string("SDL could not make a renderer: ") + SDL_GetError();
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(sRenderer, &info) == 0) fprintf(stderr, "renderer: %s\n", info.name);
    sSoftware = SDL_GetRendererInfo(sRenderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
    // SKARN_DRAW_WHOLE_FRAMES=1 draws every frame whole, as the tests compare.
    const char* pWhole = SDL_getenv("SKARN_DRAW_WHOLE_FRAMES");
    sKeepPicture       = !pWhole || SDL_strcmp(pWhole, "1") != 0;
    if (sSoftware)
    {
        sWhite = SDL_CreateTexture(sRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1);
        const Uint32 texel = 0xFFFFFFFF;
        if (sWhite) SDL_UpdateTexture(sWhite, nullptr, &texel, 4);
    }
    PlatRendererGetOutputSize(&sBackW, &sBackH);
    sSdlBlend = -1;
    sClipOn   = false;
    PlatRendererSetBlendMode(PLAT_BLEND_NONE);
    return std::string();
}

void PlatRendererDestroy()
{
    if (!sRenderer) return;
    PlatFrameReset();
    PlatFontShutdown();
    if (sWhite) SDL_DestroyTexture(sWhite);
    sWhite = nullptr;
    SDL_DestroyRenderer(sRenderer);
    sRenderer = nullptr;
}

bool PlatRendererExists()
{
    return sRenderer != nullptr;
}

void PlatRendererGetOutputSize(int* pW, int* pH)
{
    int w = 0, h = 0;
    if (sRenderer) SDL_GetRendererOutputSize(sRenderer, &w, &h);
    *pW = w;
    *pH = h;
}

void PlatRendererSetBackBufferSize(int w, int h)
{
    if (w <= 0 || h <= 0) PlatRendererGetOutputSize(&w, &h);
    sBackW = w;
    sBackH = h;
}

void PlatRendererGetBackBufferSize(int* pW, int* pH)
{
    *pW = sBackW;
    *pH = sBackH;
}

// The back buffer fills the output whatever the window's size is now.
static void ApplyScale()
{
    int outW = 0, outH = 0;
    PlatRendererGetOutputSize(&outW, &outH);
    if (sBackW <= 0 || sBackH <= 0 || outW <= 0 || outH <= 0) return;
    SDL_RenderSetViewport(sRenderer, nullptr);
    SDL_RenderSetScale(sRenderer, (float)outW / (float)sBackW, (float)outH / (float)sBackH);
    sUnitScale = outW == sBackW && outH == sBackH;
}

// The software renderer at the back buffer's own scale keeps its picture (PlatFrame.cpp): the clear starts
// the frame's recording, and the cells that change are cleared when it ends.
void PlatRendererClear()
{
    if (!sRenderer) return;
    ApplyScale();
    if (sSoftware && sUnitScale && sKeepPicture && PlatFrameBegin()) return;
    SDL_SetRenderDrawColor(sRenderer, 0, 0, 0, 0);
    SDL_RenderClear(sRenderer);
}

void PlatRendererSetBlendMode(int mode)
{
    sBlendMode = mode;
}

// SDL's blend mode for the draw colour and the white texel, set when it changes.
static void UseBlend(int mode)
{
    if (mode == sSdlBlend) return;
    SDL_BlendMode sdlMode = SDL_BLENDMODE_NONE;
    if (mode == PLAT_BLEND_BLEND) sdlMode = SDL_BLENDMODE_BLEND;
    if (mode == PLAT_BLEND_ADD) sdlMode = SDL_BLENDMODE_ADD;
    SDL_SetRenderDrawBlendMode(sRenderer, sdlMode);
    if (sWhite) SDL_SetTextureBlendMode(sWhite, sdlMode);
    sSdlBlend = mode;
}

void PlatDrawSetClip(const SDL_Rect* pClip)
{
    if (!pClip && !sClipOn) return;
    if (pClip && sClipOn && SDL_RectEquals(pClip, &sClip)) return;
    sClipOn = pClip != nullptr;
    if (pClip) sClip = *pClip;
    SDL_RenderSetClipRect(sRenderer, pClip);
}

// SDL's software rasteriser drops triangles whose corners lie far outside the target (its fixed-point edge
// products overflow from about 16000 output pixels on), so corners beyond a guard band around the back
// buffer are clipped away first. Colours are interpolated along the cut edges as the rasteriser would.
static const float GUARD_BAND      = 1024.0f; // back-buffer pixels beyond each edge
static const int CLIP_BUF_VERTICES = 3 * 256;
static PlatVertex sClipBuf[CLIP_BUF_VERTICES];

static bool InGuardBand(const PlatVertex& v)
{
    return v.x >= -GUARD_BAND && v.x <= sBackW + GUARD_BAND && v.y >= -GUARD_BAND &&
           v.y <= sBackH + GUARD_BAND;
}

// A colour channel of 0xAARRGGBB (shift 16 red, 8 green, 0 blue, 24 alpha).
static Uint8 Channel(uint32_t c, int shift)
{
    return (Uint8)((c >> shift) & 0xFF);
}

// The channel value a fraction t of the way from a to b, rounded.
static Uint8 Lerp(Uint8 a, Uint8 b, float t)
{
    return (Uint8)((float)a + ((float)b - (float)a) * t + 0.5f);
}

static PlatVertex Between(const PlatVertex& a, const PlatVertex& b, float t)
{
    PlatVertex v = a;
    v.x          = a.x + (b.x - a.x) * t;
    v.y          = a.y + (b.y - a.y) * t;
    v.r          = Lerp(a.r, b.r, t);
    v.g          = Lerp(a.g, b.g, t);
    v.b          = Lerp(a.b, b.b, t);
    v.a          = Lerp(a.a, b.a, t);
    return v;
}

// One step of polygon clipping: keeps the part where side * (coordinate - limit) <= 0.
static int ClipPolygon(const PlatVertex* pIn, int n, PlatVertex* pOut, bool alongX, float limit, float side)
{
    int m = 0;
    for (int i = 0; i < n; ++i)
    {
        const PlatVertex& a = pIn[i];
        const PlatVertex& b = pIn[(i + 1) % n];
        const float da      = side * ((alongX ? a.x : a.y) - limit);
        const float db      = side * ((alongX ? b.x : b.y) - limit);
        if (da <= 0.0f) pOut[m++] = a;
        if ((da < 0.0f && db > 0.0f) || (da > 0.0f && db < 0.0f)) pOut[m++] = Between(a, b, da / (da - db));
    }
    return m;
}

// The software renderer rasterises a triangle with costs that grow with its bounding box, and gives every
// blended triangle a temporary surface of its own (allocated and freed per triangle). So there, two
// triangles that make an axis-aligned rectangle of one colour, or of a colour that changes along one axis
// only, are drawn as rectangle fills (one for the rectangle, or one per pixel row or column of the
// gradient), and the other triangles of a blended draw carry a white texel, which keeps them off that
// path. A rectangle covers the pixels whose centres lie inside it, so neighbouring rectangles meet without
// gaps or overlaps.

// The corners of a rectangle: bit 0 set on the right, bit 1 set at the bottom.
struct PlatRect
{
    float x0, y0, x1, y1;
    const PlatVertex* pCorner[4];
};

static bool SameColour(const PlatVertex& a, const PlatVertex& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

// True when the two triangles at pVtx together make one axis-aligned rectangle with one colour per corner.
static bool AsRectangle(const PlatVertex* pVtx, PlatRect* pRect)
{
    float x0 = pVtx[0].x, x1 = pVtx[0].x, y0 = pVtx[0].y, y1 = pVtx[0].y;
    for (int i = 1; i < 6; ++i)
    {
        x0 = SDL_min(x0, pVtx[i].x);
        x1 = SDL_max(x1, pVtx[i].x);
        y0 = SDL_min(y0, pVtx[i].y);
        y1 = SDL_max(y1, pVtx[i].y);
    }
    if (!(x0 < x1 && y0 < y1)) return false;
    const PlatVertex* corner[4] = {nullptr, nullptr, nullptr, nullptr};
    int missing[2]              = {0, 0};
    for (int t = 0; t < 2; ++t)
    {
        int seen = 0;
        for (int k = 0; k < 3; ++k)
        {
            const PlatVertex& v = pVtx[3 * t + k];
            if ((v.x != x0 && v.x != x1) || (v.y != y0 && v.y != y1)) return false;
            int c = (v.x == x1 ? 1 : 0) | (v.y == y1 ? 2 : 0);
            if (seen & (1 << c)) return false;
            seen |= 1 << c;
            if (corner[c] && !SameColour(*corner[c], v)) return false;
            corner[c] = &v;
        }
        missing[t] = seen ^ 15;
    }
    // Each triangle leaves out one corner; the two left out must be opposite, so the shared edge is a
    // diagonal.
    if (!((missing[0] == 1 && missing[1] == 8) || (missing[0] == 8 && missing[1] == 1) ||
          (missing[0] == 2 && missing[1] == 4) || (missing[0] == 4 && missing[1] == 2)))
        return false;
    *pRect = {x0, y0, x1, y1, {corner[0], corner[1], corner[2], corner[3]}};
    return true;
}

// The first pixel whose centre lies at or after the coordinate.
static int PixelFrom(float v)
{
    return (int)SDL_ceilf(v - 0.5f);
}

bool PlatPixelsWritable(const SDL_Surface* pSurface)
{
    return pSurface && pSurface->format->BytesPerPixel == 4 && !SDL_MUSTLOCK(pSurface);
}

// SDL's software renderer fills rectangles with non-temporal stores, which on the few pixels of a mesh's
// rectangles cost many times what plain stores do (such fills were most of a drawn level frame). Without
// blending, a rectangle of one colour is therefore written straight into the surface the renderer draws
// on, the window's, once the commands queued before it have run: the same pixels, the same mapped colour.
void PlatDrawFill(const SDL_Rect& r, uint32_t argb, int blend)
{
    const Uint8 red = Channel(argb, 16), green = Channel(argb, 8), blue = Channel(argb, 0),
                alpha     = Channel(argb, 24);
    SDL_Surface* pSurface = nullptr;
    if (blend == PLAT_BLEND_NONE && SDL_RenderFlush(sRenderer) == 0)
        pSurface = SDL_GetWindowSurface(PlatGetSdlWindow());
    SDL_Rect bounds = {0, 0, 0, 0}, clipped;
    if (pSurface)
    {
        bounds.w = pSurface->w;
        bounds.h = pSurface->h;
    }
    if (!PlatPixelsWritable(pSurface))
    {
        UseBlend(blend);
        SDL_SetRenderDrawColor(sRenderer, red, green, blue, alpha);
        SDL_RenderFillRect(sRenderer, &r);
        return;
    }
    if (!SDL_IntersectRect(&r, &bounds, &clipped)) return;
    const Uint32 pixel = SDL_MapRGBA(pSurface->format, red, green, blue, alpha);
    // Sizes in locals: the pixel stores could alias the rectangle's fields, which would keep the row's
    // loop from being vectorised.
    const int w = clipped.w, h = clipped.h, pitch = pSurface->pitch;
    Uint8* pRow = static_cast<Uint8*>(pSurface->pixels) + clipped.y * pitch + clipped.x * 4;
    for (int y = 0; y < h; ++y, pRow += pitch)
    {
        Uint32* pPixel = reinterpret_cast<Uint32*>(pRow);
        for (int x = 0; x < w; ++x) pPixel[x] = pixel;
    }
}

static uint32_t Argb(Uint8 red, Uint8 green, Uint8 blue, Uint8 alpha)
{
    return uint32_t(alpha) << 24 | uint32_t(red) << 16 | uint32_t(green) << 8 | blue;
}

// A fill of the frame: recorded, or drawn at once.
static void FillSolid(const SDL_Rect& r, Uint8 red, Uint8 green, Uint8 blue, Uint8 alpha)
{
    const uint32_t argb = Argb(red, green, blue, alpha);
    if (!PlatFrameFill(r, argb, sBlendMode)) PlatDrawFill(r, argb, sBlendMode);
}

// Fills the rectangle with one colour, or row by row (column by column) where the colour changes along y
// (x) only. False when its colours change along both axes.
static bool FillRectangle(const PlatRect& q)
{
    const PlatVertex* const* c = q.pCorner;
    bool alongY                = SameColour(*c[0], *c[1]) && SameColour(*c[2], *c[3]);
    bool alongX                = SameColour(*c[0], *c[2]) && SameColour(*c[1], *c[3]);
    if (!alongX && !alongY) return false;
    SDL_Rect r = {PixelFrom(q.x0), PixelFrom(q.y0), 0, 0};
    r.w        = PixelFrom(q.x1) - r.x;
    r.h        = PixelFrom(q.y1) - r.y;
    if (r.w <= 0 || r.h <= 0) return true;
    if (alongX && alongY)
    {
        FillSolid(r, c[0]->r, c[0]->g, c[0]->b, c[0]->a);
        return true;
    }
    // Rows (or columns) between the rectangle's first and last centre, each in the colour at its centre.
    const PlatVertex& a        = *c[0];
    const PlatVertex& b        = alongY ? *c[2] : *c[3];
    const int n                = alongY ? r.h : r.w;
    const float from           = alongY ? q.y0 : q.x0;
    const float span           = alongY ? q.y1 - q.y0 : q.x1 - q.x0;
    const int first            = alongY ? r.y : r.x;
    SDL_Rect line              = r;
    (alongY ? line.h : line.w) = 1;
    for (int i = 0; i < n; ++i)
    {
        float t                    = SDL_clamp(((float)(first + i) + 0.5f - from) / span, 0.0f, 1.0f);
        (alongY ? line.y : line.x) = first + i;
        FillSolid(line, Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t), Lerp(a.a, b.a, t));
    }
    return true;
}

void PlatDrawGeometry(const PlatVertex* pVtx, int vtxNum, int blend)
{
    UseBlend(blend);
    SDL_Texture* pTex = sSoftware && blend != PLAT_BLEND_NONE ? sWhite : nullptr;
    SDL_RenderGeometry(sRenderer, pTex, reinterpret_cast<const SDL_Vertex*>(pVtx), vtxNum, nullptr, 0);
}

void PlatDrawText(SDL_Texture* pTex, const SDL_Rect& src, const SDL_Rect& dst, uint32_t argb)
{
    SDL_SetTextureColorMod(pTex, Channel(argb, 16), Channel(argb, 8), Channel(argb, 0));
    SDL_SetTextureAlphaMod(pTex, Channel(argb, 24));
    SDL_RenderCopy(sRenderer, pTex, &src, &dst);
}

void PlatRendererCopyText(SDL_Texture* pTex, uint64_t serial, const SDL_Rect& src, const SDL_Rect& dst,
                          uint32_t argb)
{
    if (!PlatFrameText(pTex, serial, src, dst, argb)) PlatDrawText(pTex, src, dst, argb);
}

// Triangles of the frame: recorded, or drawn at once.
static void SubmitGeometry(const PlatVertex* pVtx, int vtxNum)
{
    if (vtxNum < 3) return;
    if (!PlatFrameGeometry(pVtx, vtxNum, sBlendMode)) PlatDrawGeometry(pVtx, vtxNum, sBlendMode);
}

// The software renderer places a triangle's corners on whole pixels (it truncates them) and draws nothing
// for one whose whole-pixel corners lie on one line, but it still spends on it nearly half of what a drawn
// triangle costs. Pixel-art meshes seen small (particles, arms, axes) are mostly such triangles.
static bool DrawsNothing(const PlatVertex* pTri)
{
    const long x0 = (long)pTri[0].x, y0 = (long)pTri[0].y;
    return ((long)pTri[1].x - x0) * ((long)pTri[2].y - y0) == ((long)pTri[1].y - y0) * ((long)pTri[2].x - x0);
}

// The triangles to submit, gathered without those that draw nothing.
static const int KEPT_BUF_VERTICES = 3 * 256;
static PlatVertex sKeptBuf[KEPT_BUF_VERTICES];

static void SubmitTriangles(const PlatVertex* pVtx, int vtxNum)
{
    if (vtxNum < 3) return;
    if (!sSoftware || !sUnitScale)
    {
        SubmitGeometry(pVtx, vtxNum);
        return;
    }
    int kept = 0;
    PlatRect q;
    for (int i = 0; i + 3 <= vtxNum;)
    {
        if (i + 6 <= vtxNum && AsRectangle(pVtx + i, &q))
        {
            SubmitGeometry(sKeptBuf, kept);
            kept = 0;
            if (!FillRectangle(q)) SubmitGeometry(pVtx + i, 6);
            i += 6;
            continue;
        }
        if (!DrawsNothing(pVtx + i))
        {
            if (kept == KEPT_BUF_VERTICES)
            {
                SubmitGeometry(sKeptBuf, kept);
                kept = 0;
            }
            for (int k = 0; k < 3; ++k) sKeptBuf[kept++] = pVtx[i + k];
        }
        i += 3;
    }
    SubmitGeometry(sKeptBuf, kept);
}

void PlatRendererDrawTriangles(const PlatVertex* pVtx, int vtxNum)
{
    if (!sRenderer || vtxNum < 3) return;
    vtxNum -= vtxNum % 3;
    int i = 0;
    while (i < vtxNum && InGuardBand(pVtx[i])) ++i;
    if (i == vtxNum)
    {
        SubmitTriangles(pVtx, vtxNum);
        return;
    }
    // A triangle clipped by four edges has at most seven corners, so at most five triangles.
    int outNum = 0;
    for (int t = 0; t < vtxNum; t += 3)
    {
        if (outNum > CLIP_BUF_VERTICES - 15)
        {
            SubmitTriangles(sClipBuf, outNum);
            outNum = 0;
        }
        const PlatVertex* pTri = pVtx + t;
        if (InGuardBand(pTri[0]) && InGuardBand(pTri[1]) && InGuardBand(pTri[2]))
        {
            for (int k = 0; k < 3; ++k) sClipBuf[outNum++] = pTri[k];
            continue;
        }
        PlatVertex a[8], b[8];
        int n = ClipPolygon(pTri, 3, a, true, -GUARD_BAND, -1.0f);
        n     = ClipPolygon(a, n, b, true, sBackW + GUARD_BAND, 1.0f);
        n     = ClipPolygon(b, n, a, false, -GUARD_BAND, -1.0f);
        n     = ClipPolygon(a, n, b, false, sBackH + GUARD_BAND, 1.0f);
        for (int k = 1; k + 1 < n; ++k)
        {
            sClipBuf[outNum++] = b[0];
            sClipBuf[outNum++] = b[k];
            sClipBuf[outNum++] = b[k + 1];
        }
    }
    SubmitTriangles(sClipBuf, outNum);
}

// Narrows the part [*pT0, *pT1] of the line p + t * d (t from 0 to 1) to where p + t * d <= limit along
// one axis (side 1) or >= limit (side -1). False when nothing is left.
static bool ClipLineAxis(float p, float d, float limit, float side, float* pT0, float* pT1)
{
    float q = side * (limit - p), r = side * d; // inside while t * r <= q
    if (r == 0.0f) return q >= 0.0f;
    float t = q / r;
    if (r > 0.0f && t < *pT1) *pT1 = t;
    if (r < 0.0f && t > *pT0) *pT0 = t;
    return *pT0 <= *pT1;
}

void PlatRendererDrawLine(float x0, float y0, uint32_t c0, float x1, float y1, uint32_t c1)
{
    if (!sRenderer) return;
    PlatFrameDrawNow();
    UseBlend(sBlendMode);
    // Only the part on the back buffer is drawn: SDL's software renderer would otherwise visit every pixel
    // of a line however far it runs off screen.
    float dx = x1 - x0, dy = y1 - y0, t0 = 0.0f, t1 = 1.0f;
    if (!ClipLineAxis(x0, dx, -1.0f, -1.0f, &t0, &t1) ||
        !ClipLineAxis(x0, dx, float(sBackW), 1.0f, &t0, &t1) ||
        !ClipLineAxis(y0, dy, -1.0f, -1.0f, &t0, &t1) || !ClipLineAxis(y0, dy, float(sBackH), 1.0f, &t0, &t1))
        return;
    if (c0 == c1)
    {
        SDL_SetRenderDrawColor(sRenderer, Channel(c0, 16), Channel(c0, 8), Channel(c0, 0), Channel(c0, 24));
        SDL_RenderDrawLineF(sRenderer, x0 + dx * t0, y0 + dy * t0, x0 + dx * t1, y0 + dy * t1);
        return;
    }
    // Two colours: short pieces, each in the colour of its middle.
    float len  = (t1 - t0) * (SDL_fabsf(dx) > SDL_fabsf(dy) ? SDL_fabsf(dx) : SDL_fabsf(dy));
    int pieces = (int)(len / 4.0f) + 1;
    if (pieces > 32) pieces = 32;
    for (int i = 0; i < pieces; ++i)
    {
        float ta = t0 + (t1 - t0) * (float)i / (float)pieces;
        float tb = t0 + (t1 - t0) * (float)(i + 1) / (float)pieces;
        float tm = (ta + tb) * 0.5f;
        SDL_SetRenderDrawColor(
            sRenderer, Lerp(Channel(c0, 16), Channel(c1, 16), tm), Lerp(Channel(c0, 8), Channel(c1, 8), tm),
            Lerp(Channel(c0, 0), Channel(c1, 0), tm), Lerp(Channel(c0, 24), Channel(c1, 24), tm));
        SDL_RenderDrawLineF(sRenderer, x0 + dx * ta, y0 + dy * ta, x0 + dx * tb, y0 + dy * tb);
    }
}

void PlatRendererSetVsync(bool on)
{
    sVsync = on;
    if (sRenderer) SDL_RenderSetVSync(sRenderer, on ? 1 : 0);
}

bool PlatRendererGetVsync()
{
    return sVsync;
}

// With vsync a present that came sooner than one refresh after the last waits out the rest: the renderers
// that do not wait for the retrace themselves (the software one, many virtual displays) then keep the same
// pace. A renderer that does wait leaves nothing to wait for (nor does a web page, where PlatSleep does
// nothing: the browser's animation frames keep the pace).
static void WaitForRefresh()
{
    SDL_DisplayMode mode;
    const int hz          = SDL_GetWindowDisplayMode(PlatGetSdlWindow(), &mode) == 0 && mode.refresh_rate > 0
                                ? mode.refresh_rate
                                : 60;
    const uint64_t freq   = SDL_GetPerformanceFrequency();
    const uint64_t period = freq / uint64_t(hz);
    const uint64_t now    = SDL_GetPerformanceCounter();
    if (sLastPresent && now < sLastPresent + period)
    {
        const uint64_t ms = (sLastPresent + period - now) * 1000 / freq;
        if (ms > 0) PlatSleep(unsigned(ms));
    }
    sLastPresent = SDL_GetPerformanceCounter();
}

void PlatRendererPresent()
{
    if (!sRenderer) return;
    if (!PlatFramePresent()) SDL_RenderPresent(sRenderer);
    if (sVsync) WaitForRefresh();
}

std::string PlatRendererReadPixels(uint32_t* pPixels, int w, int h)
{
    if (!sRenderer) return "there is no renderer";
    int outW = 0, outH = 0;
    PlatRendererGetOutputSize(&outW, &outH);
    if (w <= 0 || h <= 0 || w != outW || h != outH)
        return "the picture is " + std::to_string(outW) + " x " + std::to_string(outH) + ", not " +
               std::to_string(w) + " x " + std::to_string(h);
    PlatFrameFinish();
    // Read the whole output, unscaled.
    float sx = 1.0f, sy = 1.0f;
    SDL_RenderGetScale(sRenderer, &sx, &sy);
    SDL_RenderSetScale(sRenderer, 1.0f, 1.0f);
    SDL_Rect all = {0, 0, w, h};
    int result   = SDL_RenderReadPixels(sRenderer, &all, SDL_PIXELFORMAT_ARGB8888, pPixels, w * 4);
    SDL_RenderSetScale(sRenderer, sx, sy);
    return result == 0 ? std::string() : std::string("SDL could not read the picture: ") + SDL_GetError();
}
