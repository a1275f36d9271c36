// The font rasteriser: faces found through fontconfig, glyphs rasterised by SDL2_ttf once into a glyph
// texture per font, text drawn as copies from that texture.
#include "platform/Platform.h"
#include "platform/PlatInternal.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <string>

static const int PLAT_GLYPH_FIRST = 32;
static const int PLAT_GLYPH_LAST  = 126;
static const int PLAT_GLYPH_NUM   = PLAT_GLYPH_LAST - PLAT_GLYPH_FIRST + 1;
static const int PLAT_FONT_MAX    = 64;

struct PlatGlyph
{
    int sx, sy;    // place in the glyph texture
    int w, h;      // size of the rendered glyph
    float xoff;    // where the rendered glyph starts relative to the pen
    float advance; // pen advance
    bool ready;    // rendered into the current texture
};

struct PlatFont
{
    TTF_Font* pTtf;
    int lineH;
    float scaleX; // horizontal stretch that gives the asked average character width
    SDL_Texture* pAtlas;
    int atlasW, atlasH;
    PlatGlyph glyphs[PLAT_GLYPH_NUM];
};

static PlatFont* sOpenFonts[PLAT_FONT_MAX];
static int sOpenFontNum = 0;

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

static PlatGlyph* Glyph(PlatFont* pFont, unsigned char ch)
{
    if (ch < PLAT_GLYPH_FIRST || ch > PLAT_GLYPH_LAST) ch = '?';
    return &pFont->glyphs[ch - PLAT_GLYPH_FIRST];
}

// Lays the glyph places out in rows of the texture; the glyphs are rendered when first drawn.
static void LayOutGlyphs(PlatFont* pFont)
{
    const int atlasW = 1024;
    int penX = 0, penY = 0, rowH = 0;
    for (int i = 0; i < PLAT_GLYPH_NUM; ++i)
    {
        PlatGlyph& g = pFont->glyphs[i];
        char text[2] = {(char)(PLAT_GLYPH_FIRST + i), 0};
        int w = 0, h = 0, minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
        TTF_SizeText(pFont->pTtf, text, &w, &h);
        TTF_GlyphMetrics(pFont->pTtf, (Uint16)(PLAT_GLYPH_FIRST + i), &minx, &maxx, &miny, &maxy, &advance);
        if (w > atlasW) w = atlasW;
        if (penX + w > atlasW)
        {
            penX = 0;
            penY += rowH;
            rowH = 0;
        }
        g.sx      = penX;
        g.sy      = penY;
        g.w       = w;
        g.h       = h;
        g.xoff    = minx < 0 ? (float)minx : 0.0f;
        g.advance = (float)advance;
        g.ready   = false;
        penX += w + 1;
        if (h + 1 > rowH) rowH = h + 1;
    }
    pFont->atlasW = atlasW;
    pFont->atlasH = penY + rowH;
}

// Average width of the lower-case letters, the measure of a font's character width.
static float AverageWidth(TTF_Font* pTtf)
{
    int w = 0, h = 0;
    if (TTF_SizeText(pTtf, "abcdefghijklmnopqrstuvwxyz", &w, &h) != 0 || w <= 0) return 0.0f;
    return (float)w / 26.0f;
}

PlatFont* PlatFontOpen(const char* pFace, int height, int width, int weight, bool italic)
{
    if (!TTF_WasInit() && TTF_Init() != 0)
    {
        fprintf(stderr, "SDL_ttf start-up failed: %s\n", TTF_GetError());
        return nullptr;
    }
    if (sOpenFontNum == PLAT_FONT_MAX) return nullptr;
    PlatFaceFound face;
    TTF_Font* pTtf = nullptr;
    if (FindFace(pFace ? pFace : "", weight, italic, &face)) pTtf = OpenFace(face, height);
    for (const char* pFile : sFallbackFiles)
    {
        if (pTtf) break;
        face = PlatFaceFound{std::string(), pFile, 0, weight >= 600, italic};
        pTtf = OpenFace(face, height);
    }
    if (!pTtf)
    {
        fprintf(stderr, "no font could be opened for \"%s\"\n", pFace ? pFace : "");
        return nullptr;
    }
    PlatFont* pFont = new PlatFont();
    pFont->pTtf     = pTtf;
    pFont->lineH    = TTF_FontLineSkip(pTtf);
    pFont->scaleX   = 1.0f;
    if (width > 0)
    {
        float natural = AverageWidth(pTtf);
        if (natural > 0.0f) pFont->scaleX = SDL_clamp((float)width / natural, 0.25f, 4.0f);
    }
    pFont->pAtlas = nullptr;
    LayOutGlyphs(pFont);
    sOpenFonts[sOpenFontNum++] = pFont;
    return pFont;
}

void PlatFontOnLostDevice(PlatFont* pFont)
{
    if (!pFont) return;
    if (pFont->pAtlas) SDL_DestroyTexture(pFont->pAtlas);
    pFont->pAtlas = nullptr;
    for (PlatGlyph& g : pFont->glyphs) g.ready = false;
}

bool PlatFontOnResetDevice(PlatFont* pFont)
{
    if (!pFont) return false;
    if (pFont->pAtlas) return true;
    SDL_Renderer* pRenderer = PlatGetSdlRenderer();
    if (!pRenderer) return false;
    pFont->pAtlas = SDL_CreateTexture(pRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                      pFont->atlasW, pFont->atlasH > 0 ? pFont->atlasH : 1);
    if (!pFont->pAtlas)
    {
        fprintf(stderr, "glyph texture creation failed: %s\n", SDL_GetError());
        return false;
    }
    SDL_SetTextureBlendMode(pFont->pAtlas, SDL_BLENDMODE_BLEND);
    return true;
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
    if (sOpenFontNum == 0 && TTF_WasInit()) TTF_Quit();
}

void PlatFontShutdown()
{
    for (int i = 0; i < sOpenFontNum; ++i) PlatFontOnLostDevice(sOpenFonts[i]);
}

int PlatFontLineHeight(const PlatFont* pFont)
{
    return pFont ? pFont->lineH : 0;
}

static void RenderGlyph(PlatFont* pFont, PlatGlyph* pGlyph, unsigned char ch)
{
    pGlyph->ready        = true; // a glyph that cannot be rendered is not tried again each frame
    SDL_Color white      = {255, 255, 255, 255};
    SDL_Surface* pGlyphS = TTF_RenderGlyph_Blended(pFont->pTtf, ch, white);
    if (!pGlyphS) return;
    SDL_Surface* pArgb = pGlyphS->format->format == SDL_PIXELFORMAT_ARGB8888
                             ? pGlyphS
                             : SDL_ConvertSurfaceFormat(pGlyphS, SDL_PIXELFORMAT_ARGB8888, 0);
    if (pArgb)
    {
        SDL_Rect place = {pGlyph->sx, pGlyph->sy, SDL_min(pGlyph->w, pArgb->w), SDL_min(pGlyph->h, pArgb->h)};
        pGlyph->w      = place.w;
        pGlyph->h      = place.h;
        if (place.w > 0 && place.h > 0) SDL_UpdateTexture(pFont->pAtlas, &place, pArgb->pixels, pArgb->pitch);
        if (pArgb != pGlyphS) SDL_FreeSurface(pArgb);
    }
    SDL_FreeSurface(pGlyphS);
}

int PlatFontDrawText(PlatFont* pFont, const char* pText, int x, int y, uint32_t colour, int clipX1,
                     int clipY1)
{
    if (!pFont || !pText || !*pText) return 0;
    int lines = 1;
    for (const char* p = pText; *p; ++p)
        if (*p == '\n') ++lines;

    SDL_Renderer* pRenderer = PlatGetSdlRenderer();
    if (!pRenderer || !PlatFontOnResetDevice(pFont)) return lines * pFont->lineH;
    SDL_SetTextureColorMod(pFont->pAtlas, (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
    SDL_SetTextureAlphaMod(pFont->pAtlas, (colour >> 24) & 0xFF);

    const float clipX0 = (float)x;
    const float clipY0 = (float)y;
    const float maxX   = (float)clipX1;
    const float maxY   = (float)clipY1;
    const float sx     = pFont->scaleX;
    float penX         = (float)x;
    float penY         = (float)y;
    for (const char* p = pText; *p && penY < maxY; ++p)
    {
        unsigned char ch = (unsigned char)*p;
        if (ch == '\n')
        {
            penX = (float)x;
            penY += (float)pFont->lineH;
            continue;
        }
        if (ch == '\r') continue;
        if (ch == '\t') ch = ' ';
        PlatGlyph* pGlyph = Glyph(pFont, ch);
        if (!pGlyph->ready)
            RenderGlyph(pFont, pGlyph, ch < PLAT_GLYPH_FIRST || ch > PLAT_GLYPH_LAST ? '?' : ch);
        float left  = penX + pGlyph->xoff * sx;
        float right = left + (float)pGlyph->w * sx;
        float top   = penY;
        float bot   = penY + (float)pGlyph->h;
        penX += pGlyph->advance * sx;
        if (ch == ' ' || pGlyph->w <= 0 || pGlyph->h <= 0) continue;
        if (left >= maxX) continue;
        // Clip against the rectangle, cutting the source in proportion.
        float l = SDL_max(left, clipX0), r = SDL_min(right, maxX);
        float t = SDL_max(top, clipY0), b = SDL_min(bot, maxY);
        if (r <= l || b <= t) continue;
        SDL_Rect src;
        src.x         = pGlyph->sx + (int)((l - left) / sx);
        src.y         = pGlyph->sy + (int)(t - top);
        src.w         = SDL_max(1, (int)((r - l) / sx + 0.5f));
        src.h         = SDL_max(1, (int)(b - t + 0.5f));
        SDL_FRect dst = {l, t, r - l, b - t};
        SDL_RenderCopyF(pRenderer, pFont->pAtlas, &src, &dst);
    }
    return lines * pFont->lineH;
}
