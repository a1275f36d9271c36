// Shared code of the asset tools: the palette and pixel font, the sprite language that describes every
// mesh of the game, the greedy rectangle merge, the mesh text writer and reader, and a small software
// rasteriser for previews. None of it depends on the game's code or on SDL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Asset
{

struct Vtx
{
    float x, y;
    uint32_t c; // 0xAARRGGBB
};

struct Tri
{
    Vtx v[3];
};

// An axis-aligned rectangle as the monster and flag mesh files store it.
struct RectRec
{
    float cx, cy, w, h;
    uint32_t c;
};

enum MeshFormat
{
    FORMAT_MESH,   // nine tokens per triangle
    FORMAT_RECTS,  // rectangle records drawn over the built-in red disc (the monster file)
    FORMAT_FLAG,   // exactly two rectangle records
    FORMAT_EDITOR, // one cell per painted pixel of an 80 x 80 grid, as the mesh editor exports
};

struct Mesh
{
    MeshFormat format = FORMAT_MESH;
    std::vector<Tri> tris;      // every format: what the game draws
    std::vector<RectRec> rects; // FORMAT_RECTS and FORMAT_FLAG: the records of the file
};

// A pixel image, row 0 at the top; colour 0 (alpha 0) is empty.
struct Bitmap
{
    int w = 0, h = 0;
    std::vector<uint32_t> px;
};

// Merged run of one colour in pixel units: x, y of the top-left pixel, width and height.
struct PixRect
{
    int x, y, w, h;
    uint32_t c;
};

// ---- palette and font -------------------------------------------------------------------------------

// Reads "CHAR 0xAARRGGBB name" lines. The first thirty entries are the mesh editor's palette.
bool LoadPalette(const std::string& path, std::string* err);
const std::vector<uint32_t>& PaletteColours();
// Colour of a palette character, or false when the character is not in the palette.
bool PaletteLookup(char ch, uint32_t* colour);

// Reads "glyph C" blocks of 7 rows by 5 columns ('#' ink, '.' empty).
bool LoadFont(const std::string& path, std::string* err);
// Renders a text line (1 pixel between letters, 3 pixels for a blank) in the given colour.
// Characters the font lacks are reported through err. style: 0 plain, 1 drop shadow, 2 outline; plus 4
// for bold letters (each stroke doubled to the right).
bool RenderText(const std::string& text, uint32_t ink, int style, uint32_t styleColour, Bitmap* out,
                std::string* err);

// ---- meshes ---------------------------------------------------------------------------------------------

// Greedy merge: scans rows top to bottom and left to right; at each pixel not yet covered it takes the
// longest run of its colour to the right, then grows the run downwards while the rows below match.
std::vector<PixRect> MergeRects(const Bitmap& bm);

// Adds two counter-clockwise triangles covering the rectangle (corner order as the game's rectangle
// builder: (l,b) (r,b) (r,t) and (l,b) (r,t) (l,t)).
void AddRect(std::vector<Tri>* tris, float l, float b, float r, float t, uint32_t c);
// Twice the signed area: positive for counter-clockwise corners (y up).
float TriArea2(const Tri& t);

// Builds a sprite file (language described in assets/README.md). Includes are looked up in spriteDir.
bool BuildSprite(const std::string& spriteDir, const std::string& name, Mesh* out, std::string* err);

// The file text of a mesh in its format.
std::string WriteMesh(const Mesh& mesh);

// Parses a mesh file of any format into the triangles the game would draw (FORMAT_RECTS adds the red
// disc first). Reading stops at the first token that is not a number of the expected kind, as in the game.
std::vector<Tri> ParseMeshText(const std::string& text, MeshFormat format);
// The format a game mesh file is read with, from its file name.
MeshFormat FormatForFile(const std::string& fileName);

// ---- files ------------------------------------------------------------------------------------------------

bool ReadFile(const std::string& path, std::string* text);
bool WriteFile(const std::string& path, const std::string& text);
std::vector<std::string> ListDir(const std::string& dir, const std::string& suffix); // sorted names

// ---- rasteriser -------------------------------------------------------------------------------------------

struct Canvas
{
    int w = 0, h = 0;
    std::vector<uint32_t> px; // 0xAARRGGBB, opaque
};

void CanvasInit(Canvas* cv, int w, int h, uint32_t colour);
void CanvasFillRect(Canvas* cv, int x0, int y0, int x1, int y1, uint32_t colour);
// Draws a triangle whose corners are already in pixel coordinates (y down), with colours interpolated
// and alpha blended (mode 1) or added (mode 2). Triangles that run clockwise on screen are culled, as the
// game's renderer does; returns false for those.
bool CanvasTri(Canvas* cv, const float xy[6], const uint32_t col[3], int blend);
// Draws model triangles under the transform pixel = (ox + sx * x, oy - sy * y) with the given rotation
// (radians, counter-clockwise) and scale applied first about the model origin.
void CanvasMesh(Canvas* cv, const std::vector<Tri>& tris, float ox, float oy, float pxPerUnit, float rot,
                int blend);
void CanvasText(Canvas* cv, int x, int y, int scale, const std::string& text, uint32_t colour);
bool CanvasWritePpm(const Canvas& cv, const std::string& path);

} // namespace Asset
