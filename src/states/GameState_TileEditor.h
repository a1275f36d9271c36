// The tile editor: paints level maps with the game's own objects and writes "Tilemaps/map_out.txt".
#pragma once

#include <string>

#include "engine/KoMath.h"
#include "level/Monsters.h"

// The palette: the party start, a recruit, every kind of monster, terrain, the diamond and the flag.
constexpr int TILE_EDITOR_PALETTE_NUM = 2 + MONSTER_KIND_NUM + 3;

void GameStateTileEditorLoad();
void GameStateTileEditorInit();
void GameStateTileEditorUpdate();
void GameStateTileEditorDraw();
void GameStateTileEditorFree();
void GameStateTileEditorUnload();

// The instance that follows the cursor, re-pointed to the palette's type (made on the first change).
void CreateObjectOnCursor();
// Paints a cell with the palette's type at cell centre (x, y), unless it is painted already.
void CreateObjectInst(float x, float y, int cell);
// One instance per non-empty cell of the edited map.
void InitializeEditorMap();

// What a palette entry paints: the map code written into the map and the object type shown for it.
struct TilePaint
{
    int code;
    int type;
};
// The entry of palette index 1 to TILE_EDITOR_PALETTE_NUM (any other index: the empty code, type 0).
TilePaint TileEditorPalette(int index);
// The type shown for a map code: that of the palette entry that paints it, or -1 when none does.
int TileEditorTypeOfCode(int code);
// The palette index after (step +1) or before (step -1) index, wrapping within 1 to TILE_EDITOR_PALETTE_NUM.
int TileEditorPaletteStep(int index, int step);
// The cell index under map position (x, y), or -1 outside the 140 x 20 map.
int TileEditorCellAt(const Vec2* pMapPos);
// Writes 2800 map values in the tile map text format, replacing the file whole (PlatReplaceFile: the old
// file stays as it was when anything fails). Empty on success, otherwise why the file was not written.
std::string TileEditorWriteMap(const char* path, const int* cells);
