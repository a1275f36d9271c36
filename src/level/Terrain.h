// Terrain: the eleven tile maps, the terrain and sky types, the sky, laying chunks and streaming them ahead
// of the party.
#pragma once

constexpr int MAP_NUM    = 11;
constexpr int MAP_WIDTH  = 140;
constexpr int MAP_HEIGHT = 20;
constexpr int MAP_CELLS  = MAP_WIDTH * MAP_HEIGHT;

// Map codes: the values of a map's cells, in the map files and the tile editor's map. A monster's code is
// its row's in MONSTER_KINDS (level/Monsters.h); the other cells:
constexpr int TILE_EMPTY       = 0;
constexpr int TILE_PARTY_START = 5;
constexpr int TILE_RECRUIT     = 6;
constexpr int TILE_TERRAIN     = 26;
constexpr int TILE_DIAMOND     = 27;
constexpr int TILE_FLAG        = 28; // painted by the tile editor; the level lays nothing for it

// A cell's character in the map drawings (assets/maps, made into map files by tools/mapgen).
struct MapGlyph
{
    char glyph;
    int code;
};
// The characters of the cells that are not monsters (the monsters' are in their table).
constexpr MapGlyph TILE_GLYPHS[] = {{'.', TILE_EMPTY},
                                    {'#', TILE_TERRAIN},
                                    {'S', TILE_PARTY_START},
                                    {'r', TILE_RECRUIT},
                                    {'d', TILE_DIAMOND}};

extern float gChunkStartX; // world x where the next chunk will be laid
extern int gCurrentMap;    // map of the chunk the leader is in
extern int gNextMap;       // map of the last laid chunk

namespace Terrain
{
// The cells of map slot k (0 to 10), row-major, row 0 at the top.
int* GetMap(int k);
// Empties every map slot.
void ClearMaps();
// Reads a map file into a slot: up to 2800 integers; cells after an unreadable value keep what they held.
// Returns false when the file cannot be read (the slot is unchanged). A map refused, missing (when
// required) or short of cells is named on standard error.
bool ReadMap(const char* path, int* cells, bool required = false);

// Type loader for the terrain tile, then the eleven level maps into slots 0 to 10.
void LoadTerrain();
// Type loader for the terrain tile, then "Tilemaps/map_out.txt" into slot 0 (tile editor).
void LoadEditorTerrain();
// Level Load: registers the sky type.
void LoadSky();
// The sky, a screen-space instance behind everything; the level Init creates it first.
void CreateSky();
// The run starts its chunks at x = 0.
void ResetRun();
// Lays map k at gChunkStartX, then moves gChunkStartX on by 140.
void CreateChunk(int k);
// Lays map 0 (which makes the leader) and a random second chunk.
void InitTerrain();
// Lays the next random chunk once the leader has entered the last laid one.
void AdvanceChunks();
// The map laid in the chunk that holds world x, or null where no chunk lies (or it was laid long ago).
const int* MapAt(float x);
// The next map after any chunk: one of maps 1 to 10.
int PickNextMap();
} // namespace Terrain
