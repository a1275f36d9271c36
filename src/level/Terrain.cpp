// Terrain: the eleven tile maps read at level load, the sky behind them, laying a map as a chunk of
// instances, and streaming one more chunk ahead whenever the front troglin enters the last laid one.
#include "level/Terrain.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

#include "engine/KoGraphics.h"
#include "framework/CommonLevel.h"
#include "framework/HighScore.h"
#include "framework/MeshFile.h"
#include "framework/TextFile.h"
#include "level/Hero.h"
#include "level/Monsters.h"

float gChunkStartX; // set by ResetRun, moved on by every chunk laid
int gCurrentMap;
int gNextMap;

// The maps stay in memory for the whole level: the troglins probe their cells, not the instances.
static int sMapData[MAP_NUM][MAP_CELLS];

// The maps of the most recently laid chunks, by chunk number (chunk n starts at x = 140 n).
constexpr int LAID_HISTORY          = 8;
static int sLaidChunk[LAID_HISTORY] = {-1, -1, -1, -1, -1, -1, -1, -1};
static int sLaidMap[LAID_HISTORY];

namespace Terrain
{

int* GetMap(int k)
{
    return (k >= 0 && k < MAP_NUM) ? sMapData[k] : nullptr;
}

void ClearMaps()
{
    std::fill(&sMapData[0][0], &sMapData[0][0] + MAP_NUM * MAP_CELLS, 0);
}

bool ReadMap(const char* path, int* cells, bool required)
{
    std::string text, why;
    TextFileResult result = TextFileCheck(path, &text, &why);
    if (result == TEXT_FILE_REFUSED || (result == TEXT_FILE_MISSING && required))
        TextFileComplain(path, why + "; the map stays empty");
    if (result != TEXT_FILE_READ) return false;
    std::istringstream in(text);
    int i = 0;
    for (int value = 0; i < MAP_CELLS && in >> value; ++i) cells[i] = value;
    if (i < MAP_CELLS)
        TextFileComplain(path, "holds " + std::to_string(i) + " of the " + std::to_string(MAP_CELLS) +
                                   " cells of a map (then the end or no whole number); the rest stay empty");
    return true;
}

static void LoadTerrainType(const MeshLoader& loader)
{
    MeshLoadType(&sGameObjList[TYPE_TERRAIN], TYPE_TERRAIN, &sGameObjNum, LoadMesh, "Meshes/terrain1mesh.txt",
                 loader, __LINE__);
}

// The file map slot k is read from in the level. Fixed texts: laying a chunk names its map (the pool
// filler) without allocating.
static const char* MapPath(int k)
{
    static const char* const PATHS[MAP_NUM] = {"Tilemaps/map0.txt", "Tilemaps/map1.txt", "Tilemaps/map2.txt",
                                               "Tilemaps/map3.txt", "Tilemaps/map4.txt", "Tilemaps/map5.txt",
                                               "Tilemaps/map6.txt", "Tilemaps/map7.txt", "Tilemaps/map8.txt",
                                               "Tilemaps/map9.txt", "Tilemaps/map10.txt"};
    return PATHS[k];
}

void LoadTerrain()
{
    LoadTerrainType(MESH_LOADER_TERRAIN);
    for (int k = 0; k < MAP_NUM; ++k) ReadMap(MapPath(k), sMapData[k], true);
}

void LoadEditorTerrain()
{
    LoadTerrainType(MESH_LOADER_EDITOR_TERRAIN);
    ReadMap(UserFileReadPath("Tilemaps/map_out.txt").c_str(), sMapData[0]);
}

void LoadSky()
{
    MeshLoadType(&sGameObjList[TYPE_SKY], TYPE_SKY, &sGameObjNum, LoadMesh, "Meshes/skymesh.txt",
                 MESH_LOADER_SKY, __LINE__);
}

void CreateSky()
{
    Vec2 pos;
    Vec2Set(&pos, gKoWinMinX, gKoWinMinY - 70.0f);
    GameObjInst* pInst = CommonLevel::CreateInst(TYPE_SKY, 120.0f, &pos, nullptr, 0.0f);
    pInst->flag        = FLAG_ACTIVE; // screen space: the sky does not scroll
}

// A tile-like instance (terrain or diamond) at a cell centre: scale 1, still, in world space.
static void LayTile(int type, float x, float y)
{
    Vec2 pos           = {x, y};
    GameObjInst* pInst = CommonLevel::CreateInst(type, 1.0f, &pos, nullptr, 0.0f);
    pInst->flag |= FLAG_WORLD;
}

const int* MapAt(float x)
{
    if (x < 0.0f || x >= gChunkStartX) return nullptr;
    int chunk = int(x) / MAP_WIDTH;
    if (sLaidChunk[chunk % LAID_HISTORY] != chunk) return nullptr;
    return sMapData[sLaidMap[chunk % LAID_HISTORY]];
}

void CreateChunk(int k)
{
    const int* cells = GetMap(k);
    if (!cells) return;
    int chunk = int(gChunkStartX) / MAP_WIDTH;
    if (gChunkStartX >= 0.0f)
    {
        sLaidChunk[chunk % LAID_HISTORY] = chunk;
        sLaidMap[chunk % LAID_HISTORY]   = k;
    }
    // A map that holds more than the pool can take ends the game; the line before the check names it.
    CommonLevel::SetPoolFiller(MapPath(k));
    for (int i = 0; i < MAP_CELLS; ++i)
    {
        int row = i / MAP_WIDTH, column = i % MAP_WIDTH;
        float x   = gChunkStartX + column + 0.5f;
        float y   = 19.5f - row;
        int value = cells[i];
        if (value == TILE_EMPTY) continue;
        if (value == TILE_TERRAIN)
            LayTile(TYPE_TERRAIN, x, y);
        else if (value == TILE_DIAMOND)
            LayTile(TYPE_DIAMOND, x, y);
        else if (value == TILE_PARTY_START)
            LayTroglin(HERO_KIND_LEADER, x, y);
        else if (value == TILE_RECRUIT && gPartyPower < PARTY_POWER_MAX)
            LayTroglin(HERO_KIND_RECRUIT, x, y);
        else
            Monsters::Lay(value, x, y); // nothing for a code that is no monster's
    }
    CommonLevel::SetPoolFiller(nullptr);
    gChunkStartX += float(MAP_WIDTH);
}

void ResetRun()
{
    gChunkStartX = 0.0f;
}

int PickNextMap()
{
    return rand() % 10 + 1;
}

void InitTerrain()
{
    CreateChunk(0);
    for (Hero& h : gHeroes)
        if (h.body) h.chunkMap = sMapData[0];
    gCurrentMap = 0;
    gNextMap    = PickNextMap();
    CreateChunk(gNextMap);
}

void AdvanceChunks()
{
    if (!gLeader || !gLeader->body) return;
    if (gLeader->body->posCurr.x > gChunkStartX - float(MAP_WIDTH))
    {
        gCurrentMap       = gNextMap;
        gLeader->chunkMap = sMapData[gCurrentMap];
        gNextMap          = PickNextMap();
        CreateChunk(gNextMap);
    }
}

} // namespace Terrain
