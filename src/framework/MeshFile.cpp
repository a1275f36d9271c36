#include "framework/MeshFile.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/KoAssert.h"
#include "engine/KoGraphics.h"
#include "framework/TextFile.h"

static const char* const MESG_FAIL   = "fail to create object!!";
static const char* const MESG_FAILED = "failed to create object!";

const MeshLoader MESH_LOADER_PICKUPS        = {"Pickups::Load", MESG_FAILED};
const MeshLoader MESH_LOADER_MONSTERS       = {"Monsters::Load", MESG_FAIL};
const MeshLoader MESH_LOADER_SKY            = {"Terrain::LoadSky", MESG_FAIL};
const MeshLoader MESH_LOADER_PARTY_DIGITS   = {"LoadPartyDigits", MESG_FAIL};
const MeshLoader MESH_LOADER_FLAG           = {"GameStateTileEditorLoad", MESG_FAIL};
const MeshLoader MESH_LOADER_HERO           = {"LoadHero", MESG_FAIL};
const MeshLoader MESH_LOADER_TERRAIN        = {"Terrain::LoadTerrain", MESG_FAIL};
const MeshLoader MESH_LOADER_EDITOR_TERRAIN = {"Terrain::LoadEditorTerrain", MESG_FAIL};
const MeshLoader MESH_LOADER_PARTICLE_DUST  = {"ParticleSys::ParticleLoad", MESG_FAILED};
const MeshLoader MESH_LOADER_PARTICLE       = {"ParticleSys::ParticleLoad", MESG_FAIL};
const MeshLoader MESH_LOADER_UI             = {"UI::LoadUI", MESG_FAIL};
const MeshLoader MESH_LOADER_MENU           = {"GameStateMenuLoad", MESG_FAIL};
const MeshLoader MESH_LOADER_MESHEDITOR     = {"GameStateMesheditorLoad", MESG_FAIL};

// ---------------------------------------------------------------------------------------------------------
// Token reading

// A mesh file held whole in memory, read token by token. A token that is not a number of the expected kind
// puts the reader in the failed state, and every later read fails too.
struct MeshTokens
{
    std::string text;
    size_t pos;
    bool failed;
};

// Why the last mesh file read nothing: a missing one (not said yet), or a refused one (not a regular
// file, too large), which has been named on standard error already.
static std::string sMeshMissing;
static bool sMeshRefused = false;

static bool OpenTokens(const char* fileName, MeshTokens* pTok)
{
    pTok->pos    = 0;
    pTok->failed = false;
    std::string why;
    TextFileResult result = TextFileCheck(fileName, &pTok->text, &why);
    sMeshRefused          = result == TEXT_FILE_REFUSED;
    sMeshMissing          = result == TEXT_FILE_MISSING ? why : std::string();
    if (sMeshRefused) TextFileComplain(fileName, why);
    return result == TEXT_FILE_READ;
}

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Decimal float: optional sign, digits with an optional fraction, optional exponent; finite.
static bool ParseFloat(const char* b, const char* e, float* pValue)
{
    const char* p = b;
    if (p < e && (*p == '+' || *p == '-')) ++p;
    int digits = 0;
    while (p < e && IsDigit(*p)) ++p, ++digits;
    if (p < e && *p == '.')
        for (++p; p < e && IsDigit(*p); ++p) ++digits;
    if (digits > 0 && p < e && (*p == 'e' || *p == 'E'))
    {
        ++p;
        if (p < e && (*p == '+' || *p == '-')) ++p;
        const char* expStart = p;
        while (p < e && IsDigit(*p)) ++p;
        if (p == expStart) digits = 0;
    }
    char token[64]; // a valid number this long has no place in a mesh
    if (digits == 0 || p != e || e - b >= int(sizeof(token))) return false;
    memcpy(token, b, size_t(e - b));
    token[e - b] = '\0';
    *pValue      = strtof(token, nullptr);
    return std::isfinite(*pValue);
}

bool MeshParseColour(const char* b, const char* e, uint32_t* pColour)
{
    if (e - b > 2 && b[0] == '0' && (b[1] == 'x' || b[1] == 'X')) b += 2;
    if (b == e || e - b > 8) return false;
    uint32_t value = 0;
    for (const char* p = b; p < e; ++p)
    {
        int c = static_cast<unsigned char>(*p);
        if (!isxdigit(c)) return false;
        value = value * 16 + uint32_t(IsDigit(char(c)) ? c - '0' : tolower(c) - 'a' + 10);
    }
    *pColour = value;
    return true;
}

static bool ReadFloat(MeshTokens* pTok, float* pValue)
{
    const char *b, *e;
    if (!pTok->failed && TextNextToken(pTok->text, &pTok->pos, &b, &e) && ParseFloat(b, e, pValue))
        return true;
    pTok->failed = true;
    return false;
}

static bool ReadColour(MeshTokens* pTok, uint32_t* pColour)
{
    const char *b, *e;
    if (!pTok->failed && TextNextToken(pTok->text, &pTok->pos, &b, &e) && MeshParseColour(b, e, pColour))
        return true;
    pTok->failed = true;
    return false;
}

struct MeshRect
{
    float cx, cy, w, h;
    uint32_t colour;
};

// A record whose corners lie beyond the range of a float (huge centre and size) reads as a malformed one:
// its triangles could not be placed or drawn.
static bool ReadRect(MeshTokens* pTok, MeshRect* pRect)
{
    if (!(ReadFloat(pTok, &pRect->cx) && ReadFloat(pTok, &pRect->cy) && ReadFloat(pTok, &pRect->w) &&
          ReadFloat(pTok, &pRect->h) && ReadColour(pTok, &pRect->colour)))
        return false;
    float halfW = pRect->w / 2.0f, halfH = pRect->h / 2.0f;
    if (std::isfinite(pRect->cx - halfW) && std::isfinite(pRect->cx + halfW) &&
        std::isfinite(pRect->cy - halfH) && std::isfinite(pRect->cy + halfH))
        return true;
    pTok->failed = true;
    return false;
}

// ---------------------------------------------------------------------------------------------------------
// Readers

void LoadMesh(const char* fileName)
{
    LoadMeshMax(fileName, INT_MAX);
}

int LoadMeshMax(const char* fileName, int maxTriangles)
{
    MeshTokens tok;
    if (!OpenTokens(fileName, &tok)) return 0;
    float x[3], y[3];
    uint32_t c[3];
    int added = 0;
    while (added < maxTriangles)
    {
        bool whole = true;
        for (int k = 0; k < 3 && whole; ++k)
            whole = ReadFloat(&tok, &x[k]) && ReadFloat(&tok, &y[k]) && ReadColour(&tok, &c[k]);
        if (!whole) break;
        KoGfxTriAdd(x[0], y[0], c[0], x[1], y[1], c[1], x[2], y[2], c[2]);
        ++added;
    }
    return added;
}

void LoadMonsterMesh(const char* fileName)
{
    MeshTokens tok;
    if (!OpenTokens(fileName, &tok)) return;
    MeshAddCircle(0.0f, 0.0f, 0.5f, 0xFF8C2318);
    MeshRect r;
    while (ReadRect(&tok, &r)) MeshAddRect(r.cx, r.cy, r.w, r.h, r.colour);
}

void LoadFlagMesh(const char* fileName)
{
    MeshTokens tok;
    if (!OpenTokens(fileName, &tok)) return;
    MeshRect r;
    for (int k = 0; k < 2 && ReadRect(&tok, &r); ++k) MeshAddRect(r.cx, r.cy, r.w, r.h, r.colour);
}

void MeshAddCircle(float cx, float cy, float r, uint32_t colour)
{
    const float step = 2.0f * KO_PI / 25.0f;
    for (int k = 0; k < 25; ++k)
    {
        float a0 = float(k) * step;
        float a1 = float(k + 1) * step;
        KoGfxTriAdd(cx, cy, colour, cx + r * cosf(a0), cy + r * sinf(a0), colour, cx + r * cosf(a1),
                    cy + r * sinf(a1), colour);
    }
}

void MeshAddRect(float cx, float cy, float w, float h, uint32_t colour)
{
    float left = cx - w / 2.0f, right = cx + w / 2.0f;
    float bottom = cy - h / 2.0f, top = cy + h / 2.0f;
    KoGfxTriAdd(left, bottom, colour, right, bottom, colour, right, top, colour);
    KoGfxTriAdd(left, bottom, colour, right, top, colour, left, top, colour);
}

// ---------------------------------------------------------------------------------------------------------
// Type loader pattern

void MeshTypeStart(GameObj* pObj, uint32_t type, int* pObjNum)
{
    ++*pObjNum;
    pObj->type = type;
    KoGfxTriStart();
    sMeshRefused = false;
    sMeshMissing.clear();
}

void MeshTypeEnd(GameObj* pObj, const MeshLoader& loader, int line, const char* fileName, const char* srcFile)
{
    pObj->pMesh = KoGfxTriEnd();
    if (!pObj->pMesh && fileName && !sMeshRefused)
        TextFileComplain(fileName, (sMeshMissing.empty() ? std::string("holds no triangle") : sMeshMissing) +
                                       "; the game cannot go on without this mesh");
    if (!pObj->pMesh) KoAssertFail("KO_ASSERT_MESG", "pObj->pMesh", line, loader.func, srcFile, loader.mesg);
}

void MeshLoadType(GameObj* pObj, uint32_t type, int* pObjNum, MeshReader reader, const char* fileName,
                  const MeshLoader& loader, int line, const char* srcFile)
{
    MeshTypeStart(pObj, type, pObjNum);
    reader(fileName);
    MeshTypeEnd(pObj, loader, line, fileName, srcFile);
}
