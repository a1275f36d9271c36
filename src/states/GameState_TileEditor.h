// The tile editor: paints level maps with the game's own objects and writes "Tilemaps/map_out.txt".
#pragma once

#include <string>

#include "engine/KoMath.h"

constexpr int TILE_EDITOR_PALETTE_NUM = 14;

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

// Object type id of palette index 1 to 14.
int TileEditorPaletteType(int index);
// The palette index after (step +1) or before (step -1) index, wrapping within 1 to 14.
int TileEditorPaletteStep(int index, int step);
// The cell index under map position (x, y), or -1 outside the 140 x 20 map.
int TileEditorCellAt(const Vec2* pMapPos);
// Writes 2800 map values in the tile map text format, replacing the file whole (PlatReplaceFile: the old
// file stays as it was when anything fails). Empty on success, otherwise why the file was not written.
std::string TileEditorWriteMap(const char* path, const int* cells);
