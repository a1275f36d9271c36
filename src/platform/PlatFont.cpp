// The font rasteriser: faces found through fontconfig (in a web page: the page's own font files), the
// printable glyphs rasterised by SDL2_ttf when a font opens (as coverage, stretched to the asked width), and
// a bounded cache of finished texts: each text and font is composed once, in white, into a texture of its own
// and then costs one copy per frame, tinted to the colour asked (so fading or recoloured texts are not
// composed again). Textures of texts that went out of use are reused for new ones before new textures are
// made, so changing texts do not allocate.
#include "platform/Platform.h"
#include "platform/PlatInternal.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <cstring>
#ifndef __EMSCRIPTEN__
#include <fontconfig/fontconfig.h>
#endif
#include <string>
#include <vector>

static const int PLAT_GLYPH_FIRST     = 32;
static const int PLAT_GLYPH_LAST      = 126;
static const int PLAT_GLYPH_NUM       = PLAT_GLYPH_LAST - PLAT_GLYPH_FIRST + 1;
static const int PLAT_FONT_MAX        = 64;
static const int PLAT_TEXT_CACHE_MAX  = 128;
static const uint64_t PLAT_TEXT_STALE = 256; // prints after which an unused text may give up its texture

struct PlatGlyph
{
    std::vector<uint8_t> cov; // coverage, w x h, already stretched
    int w, h;
    int xoff;      // where the glyph starts relative to the pen
    float advance; // pen advance
    bool ready;
};

struct PlatFont
{
    TTF_Font* pTtf;
    int lineH;    // distance between lines
    int glyphH;   // height of a rendered glyph
    float scaleX; // horizontal stretch that gives the asked average character width
    PlatGlyph glyphs[PLAT_GLYPH_NUM];
};

struct PlatText
{
    const PlatFont* pFont; // null: free
    uint32_t hash;
    std::string text;
    SDL_Texture* pTex;
    int texW, texH; // texture size
    int w, h;       // size of the text in it
    uint64_t lastUse;
    unsigned tint;   // of its last drawing: TINT_* bits
    uint64_t serial; // names what the texture holds (the retained picture tells texts apart by it)
};

// Whether a drawing modulates the texture's colour and its alpha. SDL's software renderer prepares a
// texture's blit anew, allocating, whenever a texture turns either on or off; so a new text goes into a
// spent texture last drawn with the same kind of tint when there is one.
enum : unsigned
{
    TINT_COLOUR = 1,
    TINT_ALPHA  = 2,
};

static PlatText sTexts[PLAT_TEXT_CACHE_MAX];
static uint64_t sUseClock = 0;
static std::vector<uint32_t> sCompose; // pixels of the text being composed

static PlatFont* sOpenFonts[PLAT_FONT_MAX];
static int sOpenFontNum = 0;

#ifndef __EMSCRIPTEN__
// Face names of other systems and the families installed here that stand in for them, best first.
struct PlatFaceAlias
{
    const char* pName;
    const char* families[4];
};

static const PlatFaceAlias sAliases[] = {
    {"flintstone", {"Cherry Bomb", "URW Bookman", "DejaVu Sans", "sans-serif"}},
    {"terminal", {"DejaVu Sans Mono", "Noto Sans Mono", "FreeMono", "monospace"}},
    {"arial", {"Liberation Sans", "Nimbus Sans", "FreeSans", "DejaVu Sans"}},
    {"courier new", {"Liberation Mono", "Nimbus Mono PS", "FreeMono", "monospace"}},
    {"times new roman", {"Liberation Serif", "Nimbus Roman", "FreeSerif", "serif"}},
};

static const char* sFallbackFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/freefont/FreeSans.ttf",
};
#else
// A web page has no fontconfig: it carries the files that fontconfig picks on the desktop for the faces the
// game asks for (web/Web.cmake packs them into /fonts), and the names map straight to them.
struct PlatWebFace
{
    const char* pName;
    const char* pRegular; // weights up to 500
    const char* pBold;    // heavier weights (fontconfig picks the bold file from 551 on)
};
// Cherry Bomb has one weight; the game asks for Arial only at 551, so the page carries only its bold file.
static const PlatWebFace sWebFaces[] = {
    {"flintstone", "/fonts/CherryBomb-Regular.otf", "/fonts/CherryBomb-Regular.otf"},
    {"terminal", "/fonts/DejaVuSansMono.ttf", "/fonts/DejaVuSansMono-Bold.ttf"},
    {"arial", "/fonts/FreeSansBold.ttf", "/fonts/FreeSansBold.ttf"},
};
static const char* sFallbackFiles[] = {
    "/fonts/DejaVuSansMono.ttf",
};
#endif

// Found faces, so that fonts opened again skip the fontconfig search.
struct PlatFaceFound
{
    std::string key;
    std::string file;
    int index;
    bool synthBold;
    bool synthItalic;
};
static const int PLAT_FACE_CACHE_MAX = 32;
static PlatFaceFound sFaceCache[PLAT_FACE_CACHE_MAX];
static int sFaceCacheNum = 0;

static bool Lower(const char* pA, const char* pB)
{
    for (; *pA && *pB; ++pA, ++pB)
        if (tolower((unsigned char)*pA) != tolower((unsigned char)*pB)) return false;
    return *pA == *pB;
}

static bool FindFace(const char* pFace, int weight, bool italic, PlatFaceFound* pOut)
{
    std::string key = std::string(pFace) + "/" + std::to_string(weight) + (italic ? "/i" : "/r");
    for (int i = 0; i < sFaceCacheNum; ++i)
        if (sFaceCache[i].key == key)
        {
            *pOut = sFaceCache[i];
            return true;
        }

#ifdef __EMSCRIPTEN__
    for (const PlatWebFace& web : sWebFaces)
        if (Lower(pFace, web.pName))
        {
            const bool heavy  = weight > 500;
            pOut->key         = key;
            pOut->file        = heavy ? web.pBold : web.pRegular;
            pOut->index       = 0;
            pOut->synthBold   = weight >= 700 && web.pBold == web.pRegular;
            pOut->synthItalic = italic;
            if (sFaceCacheNum < PLAT_FACE_CACHE_MAX) sFaceCache[sFaceCacheNum++] = *pOut;
            return true;
        }
    return false;
#else
    FcPattern* pPat = FcPatternCreate();
    if (!pPat) return false;
    bool aliased = false;
    for (const PlatFaceAlias& alias : sAliases)
        if (Lower(pFace, alias.pName))
        {
            for (const char* pFamily : alias.families)
                FcPatternAddString(pPat, FC_FAMILY, (const FcChar8*)pFamily);
            aliased = true;
        }
    if (!aliased) FcPatternAddString(pPat, FC_FAMILY, (const FcChar8*)pFace);
    int fcWeight = FcWeightFromOpenType(weight > 0 ? weight : 400);
    FcPatternAddInteger(pPat, FC_WEIGHT, fcWeight);
    FcPatternAddInteger(pPat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pPat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pPat, FcMatchPattern);
    FcDefaultSubstitute(pPat);
    FcResult result  = FcResultNoMatch;
    FcPattern* pFont = FcFontMatch(nullptr, pPat, &result);
    FcPatternDestroy(pPat);
    if (!pFont) return false;

    FcChar8* pFile = nullptr;
    int index = 0, gotWeight = FC_WEIGHT_REGULAR, gotSlant = FC_SLANT_ROMAN;
    bool found = FcPatternGetString(pFont, FC_FILE, 0, &pFile) == FcResultMatch && pFile;
    FcPatternGetInteger(pFont, FC_INDEX, 0, &index);
    FcPatternGetInteger(pFont, FC_WEIGHT, 0, &gotWeight);
    FcPatternGetInteger(pFont, FC_SLANT, 0, &gotSlant);
    if (found)
    {
        pOut->key         = key;
        pOut->file        = (const char*)pFile;
        pOut->index       = index;
        pOut->synthBold   = fcWeight >= FC_WEIGHT_BOLD && gotWeight < FC_WEIGHT_DEMIBOLD;
        pOut->synthItalic = italic && gotSlant == FC_SLANT_ROMAN;
        if (sFaceCacheNum < PLAT_FACE_CACHE_MAX) sFaceCache[sFaceCacheNum++] = *pOut;
    }
    FcPatternDestroy(pFont);
    return found;
#endif
}

static TTF_Font* OpenSized(const PlatFaceFound& face, int height)
{
    TTF_Font* pTtf = TTF_OpenFontIndex(face.file.c_str(), height, face.index);
    if (!pTtf) return nullptr;
    int style = TTF_STYLE_NORMAL;
    if (face.synthBold) style |= TTF_STYLE_BOLD;
    if (face.synthItalic) style |= TTF_STYLE_ITALIC;
    TTF_SetFontStyle(pTtf, style);
    return pTtf;
}

// Opens the face so that one line is `height` pixels high (the cell height); a negative height asks for
// that character (em) height instead.
static TTF_Font* OpenFace(const PlatFaceFound& face, int height)
{
    if (height == 0) height = 16;
    if (height < 0) return OpenSized(face, -height);
    TTF_Font* pTtf = OpenSized(face, height);
    if (!pTtf) return nullptr;
    int cell = TTF_FontHeight(pTtf);
    if (cell > 0 && cell != height)
    {
        int size = (int)((float)height * (float)height / (float)cell + 0.5f);
        if (size < 1) size = 1;
        TTF_SetFontSize(pTtf, size);
        if (TTF_FontHeight(pTtf) > height && size > 1) TTF_SetFontSize(pTtf, size - 1);
    }
    return pTtf;
}

// Average width of the lower-case letters, the measure of a font's character width.
static float AverageWidth(TTF_Font* pTtf)
{
    int w = 0, h = 0;
    if (TTF_SizeText(pTtf, "abcdefghijklmnopqrstuvwxyz", &w, &h) != 0 || w <= 0) return 0.0f;
    return (float)w / 26.0f;
}

static const PlatGlyph& Glyph(PlatFont* pFont, unsigned char ch);

std::string PlatFontOpen(const char* pFace, int height, int width, int weight, bool italic, PlatFont** ppFont)
{
    *ppFont = nullptr;
    if (!TTF_WasInit() && TTF_Init() != 0) return std::string("SDL_ttf could not start: ") + TTF_GetError();
    if (sOpenFontNum == PLAT_FONT_MAX) return "all " + std::to_string(PLAT_FONT_MAX) + " fonts are open";
    PlatFaceFound face;
    TTF_Font* pTtf = nullptr;
    if (FindFace(pFace ? pFace : "", weight, italic, &face)) pTtf = OpenFace(face, height);
    for (const char* pFile : sFallbackFiles)
    {
        if (pTtf) break;
        face = PlatFaceFound{std::string(), pFile, 0, weight >= 600, italic};
        pTtf = OpenFace(face, height);
    }
    if (!pTtf) return std::string("no installed font could be opened for \"") + (pFace ? pFace : "") + "\"";
    PlatFont* pFont = new PlatFont();
    pFont->pTtf     = pTtf;
    pFont->lineH    = TTF_FontLineSkip(pTtf);
    pFont->glyphH   = TTF_FontHeight(pTtf);
    pFont->scaleX   = 1.0f;
    if (width > 0)
    {
        float natural = AverageWidth(pTtf);
        if (natural > 0.0f) pFont->scaleX = SDL_clamp((float)width / natural, 0.25f, 4.0f);
    }
    for (PlatGlyph& g : pFont->glyphs) g.ready = false;
    for (int ch = PLAT_GLYPH_FIRST; ch <= PLAT_GLYPH_LAST; ++ch) Glyph(pFont, (unsigned char)ch);
    sOpenFonts[sOpenFontNum++] = pFont;
    *ppFont                    = pFont;
    return std::string();
}

static void DropText(PlatText* pText)
{
    if (pText->pTex) PlatFrameForgetTexture(pText->pTex);
    if (pText->pTex) SDL_DestroyTexture(pText->pTex);
    pText->pTex  = nullptr;
    pText->texW  = 0;
    pText->texH  = 0;
    pText->pFont = nullptr;
}

void PlatFontOnLostDevice(PlatFont* pFont)
{
    for (PlatText& t : sTexts)
        if (t.pTex && (t.pFont == pFont || !t.pFont)) DropText(&t);
}

void PlatFontClose(PlatFont* pFont)
{
    if (!pFont) return;
    PlatFontOnLostDevice(pFont);
    TTF_CloseFont(pFont->pTtf);
    for (int i = 0; i < sOpenFontNum; ++i)
        if (sOpenFonts[i] == pFont)
        {
            sOpenFonts[i] = sOpenFonts[--sOpenFontNum];
            break;
        }
    delete pFont;
    if (sOpenFontNum == 0)
    {
        for (PlatText& t : sTexts) DropText(&t);
        if (TTF_WasInit()) TTF_Quit();
        // Fontconfig's configuration and caches go too; the next font loads them again.
        sFaceCacheNum = 0;
#ifndef __EMSCRIPTEN__
        FcFini();
#endif
    }
}

void PlatFontShutdown()
{
    for (PlatText& t : sTexts) DropText(&t);
}

int PlatFontLineHeight(const PlatFont* pFont)
{
    return pFont ? pFont->lineH : 0;
}

// Rasterises a glyph into coverage, stretched by the font's width factor.
static const PlatGlyph& Glyph(PlatFont* pFont, unsigned char ch)
{
    if (ch < PLAT_GLYPH_FIRST || ch > PLAT_GLYPH_LAST) ch = '?';
    PlatGlyph& g = pFont->glyphs[ch - PLAT_GLYPH_FIRST];
    if (g.ready) return g;
    g.ready = true; // a glyph that cannot be rendered is not tried again
    g.w = g.h = g.xoff = 0;
    int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    TTF_GlyphMetrics(pFont->pTtf, ch, &minx, &maxx, &miny, &maxy, &advance);
    const float sx  = pFont->scaleX;
    g.advance       = (float)advance * sx;
    g.xoff          = minx < 0 ? (int)SDL_floorf((float)minx * sx) : 0;
    SDL_Color white = {255, 255, 255, 255};
    SDL_Surface* pS = ch == ' ' ? nullptr : TTF_RenderGlyph_Blended(pFont->pTtf, ch, white);
    if (!pS) return g;
    SDL_Surface* pArgb = pS->format->format == SDL_PIXELFORMAT_ARGB8888
                             ? pS
                             : SDL_ConvertSurfaceFormat(pS, SDL_PIXELFORMAT_ARGB8888, 0);
    if (pArgb && pArgb->w > 0 && pArgb->h > 0)
    {
        const int srcW = pArgb->w;
        g.w            = SDL_max(1, (int)((float)srcW * sx + 0.5f));
        g.h            = pArgb->h;
        g.cov.assign((size_t)g.w * g.h, 0);
        for (int y = 0; y < g.h; ++y)
        {
            const uint32_t* pRow =
                (const uint32_t*)((const uint8_t*)pArgb->pixels + (size_t)y * pArgb->pitch);
            for (int x = 0; x < g.w; ++x)
            {
                // Linear resampling across the stretch.
                float s                    = ((float)x + 0.5f) / sx - 0.5f;
                int s0                     = (int)SDL_floorf(s);
                float t                    = s - (float)s0;
                int a0                     = s0 >= 0 && s0 < srcW ? (int)(pRow[s0] >> 24) : 0;
                int a1                     = s0 + 1 >= 0 && s0 + 1 < srcW ? (int)(pRow[s0 + 1] >> 24) : 0;
                float a                    = (float)a0 + ((float)a1 - (float)a0) * t;
                g.cov[(size_t)y * g.w + x] = (uint8_t)SDL_clamp((int)(a + 0.5f), 0, 255);
            }
        }
    }
    if (pArgb && pArgb != pS) SDL_FreeSurface(pArgb);
    SDL_FreeSurface(pS);
    return g;
}

static uint32_t Hash(const char* pText)
{
    uint32_t h = 2166136261u;
    for (const unsigned char* p = (const unsigned char*)pText; *p; ++p) h = (h ^ *p) * 16777619u;
    return h;
}

static unsigned char Printable(unsigned char ch)
{
    return ch == '\t' ? ' ' : ch;
}

// Size of the composed text: the widest line, and the lines' height.
static void Measure(PlatFont* pFont, const char* pText, int* pW, int* pH)
{
    float pen = 0.0f;
    int right = 0, lines = 1;
    for (const char* p = pText; *p; ++p)
    {
        unsigned char ch = (unsigned char)*p;
        if (ch == '\n')
        {
            pen = 0.0f;
            ++lines;
            continue;
        }
        if (ch == '\r') continue;
        const PlatGlyph& g = Glyph(pFont, Printable(ch));
        int x              = (int)SDL_floorf(pen) + g.xoff;
        right              = SDL_max(right, x + g.w);
        pen += g.advance;
        right = SDL_max(right, (int)SDL_ceilf(pen));
    }
    *pW = SDL_max(1, right);
    *pH = (lines - 1) * pFont->lineH + pFont->glyphH;
}

void PlatFontMeasureText(PlatFont* pFont, const char* pText, int* pW, int* pH)
{
    *pW = *pH = 0;
    if (pFont && pText && *pText) Measure(pFont, pText, pW, pH);
}

// Composes the text in white, its coverage as alpha, into the scratch pixels.
static void Compose(PlatFont* pFont, const char* pText, int w, int h)
{
    if (sCompose.capacity() < 256 * 1024) sCompose.reserve(256 * 1024);
    sCompose.assign((size_t)w * h, 0);
    float pen = 0.0f;
    int top   = 0;
    for (const char* p = pText; *p; ++p)
    {
        unsigned char ch = (unsigned char)*p;
        if (ch == '\n')
        {
            pen = 0.0f;
            top += pFont->lineH;
            continue;
        }
        if (ch == '\r') continue;
        const PlatGlyph& g = Glyph(pFont, Printable(ch));
        int left           = (int)SDL_floorf(pen) + g.xoff;
        pen += g.advance;
        for (int y = 0; y < g.h; ++y)
        {
            int dy = top + y;
            if (dy < 0 || dy >= h) continue;
            uint32_t* pDst      = &sCompose[(size_t)dy * w];
            const uint8_t* pSrc = &g.cov[(size_t)y * g.w];
            for (int x = 0; x < g.w; ++x)
            {
                int dx = left + x;
                if (dx < 0 || dx >= w || !pSrc[x]) continue;
                uint32_t a = pSrc[x];
                if (a > pDst[dx] >> 24) pDst[dx] = (a << 24) | 0x00FFFFFFu;
            }
        }
    }
}

// The cached texture of the text, composing it on a miss into the texture of a text gone out of use.
static PlatText* FindText(PlatFont* pFont, const char* pText, unsigned tint)
{
    const uint32_t hash = Hash(pText);
    ++sUseClock;
    for (PlatText& t : sTexts)
        if (t.pFont == pFont && t.hash == hash && t.pTex && t.text == pText)
        {
            t.lastUse = sUseClock;
            return &t;
        }

    int w = 0, h = 0;
    Measure(pFont, pText, &w, &h);
    // The victim: the stalest text out of use whose texture is big enough, else a free slot, else the
    // stalest text.
    PlatText* pFit     = nullptr;
    PlatText* pFitTint = nullptr; // the same, among those last drawn with this tint
    PlatText* pFree    = nullptr;
    PlatText* pOldest  = &sTexts[0];
    for (PlatText& t : sTexts)
    {
        if (!t.pFont && !t.pTex)
        {
            if (!pFree) pFree = &t;
            continue;
        }
        if (t.lastUse < pOldest->lastUse) pOldest = &t;
        bool stale = t.lastUse + PLAT_TEXT_STALE < sUseClock;
        if (!stale || t.texW < w || t.texH < h) continue;
        if (!pFit || t.lastUse < pFit->lastUse) pFit = &t;
        if (t.tint == tint && (!pFitTint || t.lastUse < pFitTint->lastUse)) pFitTint = &t;
    }
    PlatText* pSlot = pFitTint ? pFitTint : pFit ? pFit : pFree ? pFree : pOldest;
    if (pSlot->text.capacity() < 64) pSlot->text.reserve(64);
    if (!pSlot->pTex || pSlot->texW < w || pSlot->texH < h)
    {
        if (pSlot->pTex) PlatFrameForgetTexture(pSlot->pTex);
        if (pSlot->pTex) SDL_DestroyTexture(pSlot->pTex);
        // Rounded up, so that later texts of about the same size fit.
        pSlot->texW = (w + 63) & ~63;
        pSlot->texH = (h + 15) & ~15;
        pSlot->pTex = SDL_CreateTexture(PlatGetSdlRenderer(), SDL_PIXELFORMAT_ARGB8888,
                                        SDL_TEXTUREACCESS_STREAMING, pSlot->texW, pSlot->texH);
        if (!pSlot->pTex)
        {
            fprintf(stderr, "text texture creation failed: %s\n", SDL_GetError());
            pSlot->pFont = nullptr;
            pSlot->texW = pSlot->texH = 0;
            return nullptr;
        }
        SDL_SetTextureBlendMode(pSlot->pTex, SDL_BLENDMODE_BLEND);
    }
    Compose(pFont, pText, w, h);
    SDL_Rect area = {0, 0, w, h};
    PlatFrameForgetTexture(pSlot->pTex);
    SDL_UpdateTexture(pSlot->pTex, &area, sCompose.data(), w * 4);
    static uint64_t sSerial = 0;
    pSlot->serial           = ++sSerial;
    pSlot->pFont            = pFont;
    pSlot->hash             = hash;
    pSlot->text             = pText;
    pSlot->w                = w;
    pSlot->h                = h;
    pSlot->lastUse          = sUseClock;
    return pSlot;
}

int PlatFontDrawText(PlatFont* pFont, const char* pText, int x, int y, uint32_t colour, int clipX1,
                     int clipY1)
{
    if (!pFont || !pText || !*pText) return 0;
    int lines = 1;
    for (const char* p = pText; *p; ++p) lines += *p == '\n';
    const int height = lines * pFont->lineH;
    if (!PlatGetSdlRenderer() || (colour >> 24) == 0 || x >= clipX1 || y >= clipY1) return height;
    const unsigned tint =
        ((colour & 0xFFFFFFu) != 0xFFFFFFu ? TINT_COLOUR : 0u) | ((colour >> 24) != 0xFFu ? TINT_ALPHA : 0u);
    PlatText* pEntry = FindText(pFont, pText, tint);
    if (!pEntry) return height;
    pEntry->tint = tint;
    SDL_Rect src = {0, 0, SDL_min(pEntry->w, clipX1 - x), SDL_min(pEntry->h, clipY1 - y)};
    SDL_Rect dst = {x, y, src.w, src.h};
    PlatRendererCopyText(pEntry->pTex, pEntry->serial, src, dst, colour);
    return height;
}
