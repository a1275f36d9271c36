// The mesh editor: paints pixel-art grids with a 30-colour palette and exports them as a mesh file
// ("Meshes/outmesh.txt"), previewing the last export beside the grid.
#pragma once

#include <cstdint>
#include <string>

#include "engine/KoMath.h"

constexpr int MESH_PALETTE_NUM = 30;
constexpr int MESH_OBJ_NUM_MAX = 64;
// A grid file asking for a side longer than this is treated as damaged (empty grid): a header of a few
// bytes must not take hundreds of megabytes, and the pool holds the lines of the largest grid.
constexpr int MESH_GRID_SIDE_MAX = 1024;
// The preview, the grid lines, the swatches and the painted cells, 2048 of them with the largest grid.
constexpr int MESH_OBJ_INST_NUM_MAX = 2 * (MESH_GRID_SIDE_MAX + 1) + 2048;
constexpr int MESH_TYPE_GRID_LINE   = 30;
constexpr int MESH_TYPE_CENTRE_LINE = 31;
constexpr int MESH_TYPE_PREVIEW     = 32;
constexpr int MESH_TYPE_POINTER     = 33; // the frame of the cell under the cursor

struct MeshCell
{
    int32_t state;   // 0 empty, 1 painted (the grid file may give other values)
    uint32_t colour; // 0xAARRGGBB
};

struct GameObjInst;

extern int gMeshGridW;
extern int gMeshGridH;
extern MeshCell* gMeshCells;        // gMeshGridW x gMeshGridH, top row first
extern GameObjInst** gMeshCellInst; // the instance showing a cell painted in the editor
extern uint32_t gMeshPalette[MESH_PALETTE_NUM];
extern int gMeshColour;
extern Vec2 gMeshCursor;
extern float gMeshCamX;
extern float gMeshCamY;
extern float gMeshZoom;

void GameStateMesheditorLoad();
void GameStateMesheditorInit();
void GameStateMesheditorUpdate();
void GameStateMesheditorDraw();
void GameStateMesheditorFree();
void GameStateMesheditorUnload();

// Reads up to 30 hexadecimal colours (tokens as the colours of the mesh files) into the palette; stops at
// the first unreadable value (the rest keep their values). False when the file cannot be opened. A file
// missing, refused or short of colours is named on standard error.
bool MeshEditorReadPalette(const char* path);
// Reads the grid file into a new grid (any earlier grid is released first). A missing or damaged header,
// or one asking for a side longer than MESH_GRID_SIDE_MAX, gives an empty grid; numbers are whole 32-bit
// decimals, and cells from an unreadable value on stay empty. False when the file cannot be opened. A file
// missing, refused, without a header or short of cells is named on standard error.
bool MeshEditorReadGrid(const char* path);
// Releases the grid arrays (safe when there are none).
void MeshEditorFreeGrid();
// Paints or erases the cell under grid position (x, y) as the mouse buttons do; the palette pick too.
void MeshEditorPaint(const Vec2* pGridPos);
void MeshEditorErase(const Vec2* pGridPos);
// Writes every non-empty cell as two triangles in the mesh text format, replacing the file whole
// (PlatReplaceFile: the old file stays as it was when anything fails). With no cell to write the file is
// left alone, and so is it when the export would be larger than the game reads (DATA_FILE_MAX_BYTES).
// Empty on success, otherwise why the file was not written.
std::string MeshEditorExport(const char* path);
// The view the editor starts with: camera (12, 8.5) and zoom 4 in the window; in full screen the whole grid
// and the palette row below it, centred and as large as the view allows.
void MeshEditorSetView();
