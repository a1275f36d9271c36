#include "states/GameState_Splash.h"

#include "engine/KoFrameRateController.h"
#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "engine/KoMath.h"
#include "framework/GameStateMgr.h"

#include <cmath>
#include <cstdio>

// ---------------------------------------------------------------------------------------------------------
// The logo: "SKARNHOLD" in bevelled stone blocks on a dark red shadow, between two dark red bands.
//
// Every letter is a few convex blocks on a 5 x 7 grid (x right, y up, corners counter-clockwise). A block is
// drawn as its shadow (grown a little and pushed down-right), four or more bevel strips lit from the upper
// left, and a face shaded from light at the top to dark at the bottom.

namespace
{
struct LogoPoint
{
    float x, y;
};

struct LogoBlock
{
    int num; // corners
    LogoPoint p[6];
};

struct LogoGlyph
{
    float width; // grid units
    int blockNum;
    LogoBlock blocks[6];
};

const LogoGlyph kGlyphS = {5.0f,
                           5,
                           {{4, {{0, 4.25f}, {1.5f, 4.25f}, {1.5f, 7}, {0, 5.5f}}},
                            {4, {{1.5f, 5.5f}, {5, 5.5f}, {5, 7}, {1.5f, 7}}},
                            {4, {{0, 2.75f}, {5, 2.75f}, {5, 4.25f}, {0, 4.25f}}},
                            {4, {{3.5f, 0}, {5, 1.5f}, {5, 2.75f}, {3.5f, 2.75f}}},
                            {4, {{0, 0}, {3.5f, 0}, {3.5f, 1.5f}, {0, 1.5f}}}}};
const LogoGlyph kGlyphK = {5.0f,
                           3,
                           {{4, {{0, 0}, {1.5f, 0}, {1.5f, 7}, {0, 7}}},
                            {4, {{1.5f, 3.5f}, {3.3f, 3.5f}, {5, 7}, {3.2f, 7}}},
                            {4, {{3.2f, 0}, {5, 0}, {3.3f, 3.5f}, {1.5f, 3.5f}}}}};
const LogoGlyph kGlyphA = {5.0f,
                           4,
                           {{4, {{0, 0}, {1.5f, 0}, {1.5f, 7}, {0, 5.5f}}},
                            {4, {{3.5f, 0}, {5, 0}, {5, 5.5f}, {3.5f, 7}}},
                            {4, {{1.5f, 5.5f}, {3.5f, 5.5f}, {3.5f, 7}, {1.5f, 7}}},
                            {4, {{1.5f, 2.5f}, {3.5f, 2.5f}, {3.5f, 3.9f}, {1.5f, 3.9f}}}}};
const LogoGlyph kGlyphR = {5.0f,
                           5,
                           {{4, {{0, 0}, {1.5f, 0}, {1.5f, 7}, {0, 7}}},
                            {4, {{1.5f, 5.5f}, {3.5f, 5.5f}, {3.5f, 7}, {1.5f, 7}}},
                            {4, {{3.5f, 2.75f}, {5, 4.25f}, {5, 5.5f}, {3.5f, 7}}},
                            {4, {{1.5f, 2.75f}, {3.5f, 2.75f}, {3.5f, 4.25f}, {1.5f, 4.25f}}},
                            {4, {{3.5f, 0}, {5, 0}, {3.9f, 2.75f}, {2.4f, 2.75f}}}}};
const LogoGlyph kGlyphN = {5.0f,
                           3,
                           {{4, {{0, 0}, {1.5f, 0}, {1.5f, 7}, {0, 7}}},
                            {4, {{3.5f, 0}, {5, 0}, {5, 7}, {3.5f, 7}}},
                            {4, {{1.5f, 3.4f}, {3.5f, 0}, {3.5f, 3.6f}, {1.5f, 7}}}}};
const LogoGlyph kGlyphH = {5.0f,
                           3,
                           {{4, {{0, 0}, {1.5f, 0}, {1.5f, 7}, {0, 7}}},
                            {4, {{3.5f, 0}, {5, 0}, {5, 7}, {3.5f, 7}}},
                            {4, {{1.5f, 2.75f}, {3.5f, 2.75f}, {3.5f, 4.25f}, {1.5f, 4.25f}}}}};
const LogoGlyph kGlyphO = {
    5.0f,
    4,
    {{6, {{0.75f, 0.75f}, {1.5f, 0}, {3.5f, 0}, {4.25f, 0.75f}, {3.5f, 1.5f}, {1.5f, 1.5f}}},
     {6, {{4.25f, 0.75f}, {5, 1.5f}, {5, 5.5f}, {4.25f, 6.25f}, {3.5f, 5.5f}, {3.5f, 1.5f}}},
     {6, {{4.25f, 6.25f}, {3.5f, 7}, {1.5f, 7}, {0.75f, 6.25f}, {1.5f, 5.5f}, {3.5f, 5.5f}}},
     {6, {{0.75f, 6.25f}, {0, 5.5f}, {0, 1.5f}, {0.75f, 0.75f}, {1.5f, 1.5f}, {1.5f, 5.5f}}}}};
const LogoGlyph kGlyphL = {
    4.5f,
    2,
    {{4, {{0, 0}, {1.5f, 0}, {1.5f, 7}, {0, 7}}}, {4, {{1.5f, 0}, {4.5f, 0}, {4.5f, 1.5f}, {1.5f, 1.5f}}}}};
const LogoGlyph kGlyphD = {5.0f,
                           4,
                           {{4, {{0, 0}, {1.5f, 0}, {1.5f, 7}, {0, 7}}},
                            {4, {{1.5f, 5.5f}, {3.5f, 5.5f}, {3.5f, 7}, {1.5f, 7}}},
                            {4, {{3.5f, 0}, {5, 1.5f}, {5, 5.5f}, {3.5f, 7}}},
                            {4, {{1.5f, 0}, {3.5f, 0}, {3.5f, 1.5f}, {1.5f, 1.5f}}}}};

// The word and its layout in world units. A grid unit is kGrid world units; letters stand on y = 0.
const LogoGlyph* const kWord[9] = {&kGlyphS, &kGlyphK, &kGlyphA, &kGlyphR, &kGlyphN,
                                   &kGlyphH, &kGlyphO, &kGlyphL, &kGlyphD};
const float kGrid               = 2.7f;
const float kLetterGap          = 1.0f;  // grid units between letters
const float kWordWidth          = 52.5f; // grid units: eight letters of 5, the L of 4.5 and eight gaps
const float kBevel              = 0.32f; // grid units
const float kShadowGrow         = 0.22f;
const float kShadowDrop         = 0.45f;
const float kScale              = 30.0f; // every placement's uniform scale
// Each stone of a letter is a little lighter or darker than its neighbours (towards white or black).
const float kBlockShade[5] = {0.0f, 0.07f, -0.08f, 0.04f, -0.04f};

// The logo lists: six letter groups and the band that runs above and below the word.
enum
{
    LOGO_SK,
    LOGO_AR,
    LOGO_N,
    LOGO_H,
    LOGO_O,
    LOGO_LD,
    LOGO_BAND,
    LOGO_LIST_NUM
};
const int kGroupFirst[LOGO_BAND + 1] = {0, 2, 4, 5, 6, 7, 9}; // first letter of each group, then the end

const int LOGO_PLACEMENT_NUM                 = 8;
const int kPlacementList[LOGO_PLACEMENT_NUM] = {LOGO_SK, LOGO_AR, LOGO_N,    LOGO_H,
                                                LOGO_O,  LOGO_LD, LOGO_BAND, LOGO_BAND};

// Palettes: stone letters, dark red bands.
struct LogoPalette
{
    unsigned int faceTop, faceBottom, bevelLight, bevelDark, shadow;
};
const LogoPalette kStone   = {0xFFC9C0B2, 0xFF6F6760, 0xFFF0E8DA, 0xFF2E2824, 0xFF4A080B};
const LogoPalette kRedBand = {0xFFA3262A, 0xFF5C0D10, 0xFFD86A5E, 0xFF240405, 0xFF140203};

KoGfxVertexList* sLogoList[LOGO_LIST_NUM];
Vec2 sPlacementPos[LOGO_PLACEMENT_NUM];
float sPlacementScale[LOGO_PLACEMENT_NUM];

float sSplashTimer; // never reset: the splash runs once per program run
KoGfxFont* sSplashFont;
Vec2 sTextPos;

unsigned int LerpColour(unsigned int c0, unsigned int c1, float t)
{
    if (t < 0.0f) t = 0.0f;
    if (t > 1.0f) t = 1.0f;
    unsigned int out = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
        float a = float((c0 >> shift) & 0xFF), b = float((c1 >> shift) & 0xFF);
        out |= (unsigned int)(a + (b - a) * t + 0.5f) << shift;
    }
    return out;
}

// The corners of a convex counter-clockwise polygon moved inwards by d (outwards for d < 0).
void Inset(const LogoPoint* p, int n, float d, LogoPoint* out)
{
    for (int i = 0; i < n; ++i)
    {
        const LogoPoint& a = p[(i + n - 1) % n];
        const LogoPoint& b = p[i];
        const LogoPoint& c = p[(i + 1) % n];
        float l1           = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
        float l2           = std::sqrt((c.x - b.x) * (c.x - b.x) + (c.y - b.y) * (c.y - b.y));
        // Inward (left) normals of the edges before and after the corner.
        float n1x = -(b.y - a.y) / l1, n1y = (b.x - a.x) / l1;
        float n2x = -(c.y - b.y) / l2, n2y = (c.x - b.x) / l2;
        float k = d / (1.0f + n1x * n2x + n1y * n2y);
        out[i]  = {b.x + (n1x + n2x) * k, b.y + (n1y + n2y) * k};
    }
}

// Adds a triangle fan over a convex polygon given in world units, relative to the placement origin.
void AddFan(const LogoPoint* p, const unsigned int* c, int n, const Vec2& origin)
{
    for (int i = 1; i + 1 < n; ++i)
        KoGfxTriAdd((p[0].x - origin.x) / kScale, (p[0].y - origin.y) / kScale, c[0],
                    (p[i].x - origin.x) / kScale, (p[i].y - origin.y) / kScale, c[i],
                    (p[i + 1].x - origin.x) / kScale, (p[i + 1].y - origin.y) / kScale, c[i + 1]);
}

// A block of grid corners placed at (x0, y0) world with grid size g: its shadow only.
void AddBlockShadow(const LogoBlock& b, float x0, float y0, float g, const LogoPalette& pal,
                    const Vec2& origin)
{
    LogoPoint w[6] = {}, s[6] = {};
    unsigned int c[6];
    for (int i = 0; i < b.num; ++i) w[i] = {x0 + b.p[i].x * g, y0 + b.p[i].y * g};
    Inset(w, b.num, -kShadowGrow * g, s);
    for (int i = 0; i < b.num; ++i)
    {
        s[i].x += kShadowDrop * g;
        s[i].y -= kShadowDrop * g;
        c[i] = pal.shadow;
    }
    AddFan(s, c, b.num, origin);
}

// The block's bevel strips and face. top and bottom: the world heights the face gradient runs between.
void AddBlockBody(const LogoBlock& b, float x0, float y0, float g, float bottom, float top, float shade,
                  const LogoPalette& pal, const Vec2& origin)
{
    LogoPoint w[6] = {}, in[6] = {};
    unsigned int c[6];
    for (int i = 0; i < b.num; ++i) w[i] = {x0 + b.p[i].x * g, y0 + b.p[i].y * g};
    Inset(w, b.num, kBevel * g, in);
    const float lx = -0.6f, ly = 0.8f; // towards the light
    for (int i = 0; i < b.num; ++i)
    {
        int j    = (i + 1) % b.num;
        float ex = w[j].x - w[i].x, ey = w[j].y - w[i].y, len = std::sqrt(ex * ex + ey * ey);
        float lit          = (ey / len * lx - ex / len * ly + 1.0f) * 0.5f; // outward normal (ey, -ex)
        unsigned int col   = LerpColour(pal.bevelDark, pal.bevelLight, lit);
        LogoPoint q[4]     = {w[i], w[j], in[j], in[i]};
        unsigned int qc[4] = {col, col, col, col};
        AddFan(q, qc, 4, origin);
    }
    for (int i = 0; i < b.num; ++i)
    {
        c[i] = LerpColour(pal.faceBottom, pal.faceTop, (in[i].y - bottom) / (top - bottom));
        c[i] = LerpColour(c[i], shade > 0.0f ? 0xFFFFFFFF : 0xFF000000, std::fabs(shade));
    }
    AddFan(in, c, b.num, origin);
}

// World x of each letter's left edge, the word centred on x = 0.
float LetterLeft(int letter)
{
    float x = -0.5f * kWordWidth;
    for (int i = 0; i < letter; ++i) x += kWord[i]->width + kLetterGap;
    return x * kGrid;
}

KoGfxVertexList* BuildLetterGroup(int first, int end, const Vec2& origin)
{
    KoGfxTriStart();
    for (int l = first; l < end; ++l)
        for (int k = 0; k < kWord[l]->blockNum; ++k)
            AddBlockShadow(kWord[l]->blocks[k], LetterLeft(l), 0.0f, kGrid, kStone, origin);
    for (int l = first; l < end; ++l)
        for (int k = 0; k < kWord[l]->blockNum; ++k)
            AddBlockBody(kWord[l]->blocks[k], LetterLeft(l), 0.0f, kGrid, 0.0f, 7.0f * kGrid,
                         kBlockShade[(l * 3 + k) % 5], kStone, origin);
    return KoGfxTriEnd();
}

// The band: a long dark red bar with a stone stud at each end and a red gem set in stone at its middle.
// Built around its own origin, in world units before the placement's scale.
KoGfxVertexList* BuildBand()
{
    const Vec2 origin       = {0.0f, 0.0f};
    const float half        = 0.5f * kWordWidth * kGrid + 4.0f;
    const LogoBlock bar     = {6,
                               {{-half, 0},
                                {-half + 1.2f, -1.2f},
                                {half - 1.2f, -1.2f},
                                {half, 0},
                                {half - 1.2f, 1.2f},
                                {-half + 1.2f, 1.2f}}};
    const LogoBlock stud    = {4, {{0, -2.2f}, {2.2f, 0}, {0, 2.2f}, {-2.2f, 0}}};
    const LogoBlock gem     = {4, {{0, -1.5f}, {1.5f, 0}, {0, 1.5f}, {-1.5f, 0}}};
    const LogoBlock setting = {
        6, {{-4.0f, -1.8f}, {4.0f, -1.8f}, {5.6f, 0}, {4.0f, 1.8f}, {-4.0f, 1.8f}, {-5.6f, 0}}};
    KoGfxTriStart();
    AddBlockShadow(bar, 0, 0, 1.0f, kRedBand, origin);
    AddBlockShadow(setting, 0, 0, 1.0f, kStone, origin);
    AddBlockShadow(stud, -half, 0, 1.0f, kStone, origin);
    AddBlockShadow(stud, half, 0, 1.0f, kStone, origin);
    AddBlockBody(bar, 0, 0, 1.0f, -1.2f, 1.2f, 0.0f, kRedBand, origin);
    AddBlockBody(setting, 0, 0, 1.0f, -1.8f, 1.8f, 0.0f, kStone, origin);
    AddBlockBody(gem, 0, 0, 1.0f, -1.5f, 1.5f, 0.0f, kRedBand, origin);
    AddBlockBody(stud, -half, 0, 1.0f, -2.2f, 2.2f, 0.0f, kStone, origin);
    AddBlockBody(stud, half, 0, 1.0f, -2.2f, 2.2f, 0.0f, kStone, origin);
    return KoGfxTriEnd();
}

// Where a letter group is placed: the first near the left edge of the view, the others at their left edge.
Vec2 GroupOrigin(int group)
{
    Vec2 origin = {group == 0 ? gKoWinMinX + 35.0f : LetterLeft(kGroupFirst[group]), 0.0f};
    return origin;
}

// The font and the text's place in the 800 x 600 layout; the font scales with the layout.
void CreateSplashFont()
{
    int height  = int(2.0f * float(KO_GFX_LAYOUT_H) / gKoWinMaxY);
    float width = float(double(float(KO_GFX_LAYOUT_W) / gKoWinMaxX) * 0.8999999761581421);
    sSplashFont = KoGfxCreateLayoutFont(height, (unsigned int)width, 551, false, "Arial");
}

void PlaceText()
{
    // The layout pixel of the view point (-31, -10).
    Vec2Set(&sTextPos, float(KO_GFX_LAYOUT_W) * 0.5f - 31.0f * 5.0f,
            float(KO_GFX_LAYOUT_H) * 0.5f + 10.0f * 5.0f);
}
} // namespace

void GameStateSplashLoad()
{
    CreateSplashFont();

    for (int g = 0; g < LOGO_BAND; ++g)
        sLogoList[g] = BuildLetterGroup(kGroupFirst[g], kGroupFirst[g + 1], GroupOrigin(g));
    sLogoList[LOGO_BAND] = BuildBand();
    KoInputShowCursor(false);
}

void GameStateSplashInit()
{
    PlaceText();
    for (int i = 0; i < LOGO_PLACEMENT_NUM; ++i) sPlacementScale[i] = kScale;
    // The letter groups stand where their lists were built around; the band runs above and below the word.
    for (int g = 0; g < LOGO_BAND; ++g) sPlacementPos[g] = GroupOrigin(g);
    Vec2Set(&sPlacementPos[LOGO_BAND], 0.0f, 7.0f * kGrid + 5.0f);
    Vec2Set(&sPlacementPos[LOGO_BAND + 1], 0.0f, -5.0f);
}

void GameStateSplashUpdate()
{
    sSplashTimer += float(gKoFrameTime);
    if (sSplashTimer >= 3.0f) gGameStateNext = GS_MENU;
}

void GameStateSplashDraw()
{
    char text[64];
    snprintf(text, sizeof text, "Run far, troglins. Skarnhold awaits.");
    KoGfxLayoutPrint(sTextPos.x, sTextPos.y, 0xFF700F10, text, sSplashFont);

    KoGfxSetLayoutCamera(true);

    for (int i = 0; i < LOGO_PLACEMENT_NUM; ++i)
    {
        Mtx33 trans, scale, world;
        Mtx33Trans(&trans, sPlacementPos[i].x, sPlacementPos[i].y);
        Mtx33Scale(&scale, sPlacementScale[i], sPlacementScale[i]);
        Mtx33Concat(&world, &trans, &scale);
        KoGfxSetTransform(&world);
        KoGfxTriDraw(sLogoList[kPlacementList[i]]);
    }
    KoGfxSetLayoutCamera(false);
}

void GameStateSplashFree() {}

void GameStateSplashUnload()
{
    KoGfxFreeFont(sSplashFont);
    sSplashFont = nullptr;
    for (KoGfxVertexList*& list : sLogoList)
    {
        KoGfxTriFree(list);
        list = nullptr;
    }
}
