// icongen: the game's icon, the troglin that the game draws (data/Meshes/fullheromesh.txt) standing on a
// stone ledge in a rounded tile of cave blue, drawn by the asset rasteriser with 8 x 8 samples a pixel.
// The desktop's icons and the window's icon are the same picture.
//
//   icongen DATA PACKAGING            write PACKAGING/icons/hicolor/NxN/apps/com.oxmire.skarnhold.png (N =
//   16,
//                                     32, 48, 64, 128, 256) and DATA/Icons/skarnhold.bmp (64 x 64, with
//                                     alpha)
//   icongen DATA PACKAGING --check    write nothing; report every file whose picture differs
#include "AssetLib.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#include <zlib.h>

using namespace Asset;

static const int SAMPLES           = 8; // per pixel and axis
static const char* const ICON_NAME = "com.oxmire.skarnhold";
static const int WINDOW_ICON_SIZE  = 64;

// The icon's layout as fractions of its size.
static const float MARGIN       = 1.0f / 32.0f; // transparent border around the tile
static const float CORNER       = 0.2f;         // radius of the tile's corners
static const float LEDGE_TOP    = 0.84f;        // the troglin's feet stand here
static const float TROGLIN_TOP  = 0.07f;        // the top of its raised axe
static const uint32_t SKY_TOP   = 0xFF3C4C70;
static const uint32_t SKY_LOW   = 0xFF161C2E;
static const uint32_t LEDGE     = 0xFF7A6854;
static const uint32_t LEDGE_LIT = 0xFFB39D80;

static uint32_t Mix(uint32_t a, uint32_t b, float t)
{
    uint32_t out = 0xFF000000u;
    for (int sh = 0; sh <= 16; sh += 8)
    {
        float v = float((a >> sh) & 0xFF) * (1.0f - t) + float((b >> sh) & 0xFF) * t;
        out |= uint32_t(v + 0.5f) << sh;
    }
    return out;
}

// Whether a point (in pixels of a size x size picture) lies on the rounded tile.
static bool OnTile(float x, float y, float size)
{
    float lo = MARGIN * size, hi = size - MARGIN * size, r = CORNER * size;
    if (x < lo || x > hi || y < lo || y > hi) return false;
    float cx = std::min(std::max(x, lo + r), hi - r), cy = std::min(std::max(y, lo + r), hi - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

// The picture at size x size pixels, 0xAARRGGBB, row 0 at the top; alpha is the tile's coverage.
static std::vector<uint32_t> RenderIcon(const std::vector<Tri>& troglin, int size)
{
    float bottom = 1e9f, top = -1e9f;
    for (const Tri& t : troglin)
        for (const Vtx& v : t.v)
        {
            bottom = std::min(bottom, v.y);
            top    = std::max(top, v.y);
        }
    int big = size * SAMPLES;
    Canvas cv;
    CanvasInit(&cv, big, big, SKY_LOW);
    int ledge = int(LEDGE_TOP * big);
    for (int y = 0; y < big; ++y)
    {
        uint32_t c = y < ledge ? Mix(SKY_TOP, SKY_LOW, float(y) / float(ledge)) : LEDGE;
        if (y >= ledge && y < ledge + big / 24) c = LEDGE_LIT;
        CanvasFillRect(&cv, 0, y, big, y + 1, c);
    }
    float perUnit = (LEDGE_TOP - TROGLIN_TOP) * float(big) / (top - bottom);
    CanvasMesh(&cv, troglin, 0.5f * float(big), float(ledge) + bottom * perUnit, perUnit, 0.0f, 1);

    std::vector<uint32_t> px(size_t(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            uint32_t sum[3] = {0, 0, 0}, inside = 0;
            for (int sy = 0; sy < SAMPLES; ++sy)
                for (int sx = 0; sx < SAMPLES; ++sx)
                {
                    int bx = x * SAMPLES + sx, by = y * SAMPLES + sy;
                    if (!OnTile((float(bx) + 0.5f) / SAMPLES, (float(by) + 0.5f) / SAMPLES, float(size)))
                        continue;
                    uint32_t c = cv.px[size_t(by) * big + bx];
                    for (int k = 0; k < 3; ++k) sum[k] += (c >> (8 * k)) & 0xFF;
                    ++inside;
                }
            uint32_t out = 0;
            if (inside)
            {
                out = ((inside * 255 + SAMPLES * SAMPLES / 2) / (SAMPLES * SAMPLES)) << 24;
                for (int k = 0; k < 3; ++k) out |= ((sum[k] + inside / 2) / inside) << (8 * k);
            }
            px[size_t(y) * size + x] = out;
        }
    return px;
}

static void Put32(std::string* s, uint32_t v, bool bigEndian)
{
    for (int i = 0; i < 4; ++i) *s += char(bigEndian ? v >> (24 - 8 * i) : v >> (8 * i));
}

static void Chunk(std::string* png, const char* type, const std::string& data)
{
    Put32(png, uint32_t(data.size()), true);
    std::string body = std::string(type) + data;
    *png += body;
    Put32(png, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))), true);
}

// The rows of an RGBA PNG as stored before compression: a filter byte 0 and the pixels of each row.
static std::string PngRows(const std::vector<uint32_t>& px, int size)
{
    std::string raw;
    for (int y = 0; y < size; ++y)
    {
        raw += '\0';
        for (int x = 0; x < size; ++x)
        {
            uint32_t c = px[size_t(y) * size + x];
            raw += char(c >> 16);
            raw += char(c >> 8);
            raw += char(c);
            raw += char(c >> 24);
        }
    }
    return raw;
}

static std::string PngHeader(int size)
{
    std::string ihdr;
    Put32(&ihdr, uint32_t(size), true);
    Put32(&ihdr, uint32_t(size), true);
    ihdr += std::string("\x08\x06\x00\x00\x00", 5); // 8 bits, RGBA, deflate, no filter choice, no interlace
    return ihdr;
}

static std::string WritePng(const std::vector<uint32_t>& px, int size)
{
    std::string raw = PngRows(px, size);
    uLongf n        = compressBound(uLong(raw.size()));
    std::string z(n, '\0');
    compress2(reinterpret_cast<Bytef*>(&z[0]), &n, reinterpret_cast<const Bytef*>(raw.data()),
              uLong(raw.size()), 9);
    z.resize(n);
    std::string png = "\x89PNG\r\n\x1a\n";
    Chunk(&png, "IHDR", PngHeader(size));
    Chunk(&png, "IDAT", z);
    Chunk(&png, "IEND", "");
    return png;
}

// Whether a PNG file holds exactly this picture (the header and the stored rows, whatever the compression).
static bool PngHolds(const std::string& png, const std::vector<uint32_t>& px, int size)
{
    std::string ihdr, z;
    for (size_t pos = 8; pos + 12 <= png.size();)
    {
        uint32_t len = 0;
        for (int i = 0; i < 4; ++i) len = len << 8 | uint8_t(png[pos + i]);
        if (pos + 12 + len > png.size()) return false;
        std::string type = png.substr(pos + 4, 4), data = png.substr(pos + 8, len);
        if (type == "IHDR") ihdr = data;
        if (type == "IDAT") z += data;
        pos += 12 + len;
    }
    std::string want = PngRows(px, size);
    std::string raw(want.size(), '\0');
    uLongf n = uLongf(raw.size());
    if (ihdr != PngHeader(size) ||
        uncompress(reinterpret_cast<Bytef*>(&raw[0]), &n, reinterpret_cast<const Bytef*>(z.data()),
                   uLong(z.size())) != Z_OK)
        return false;
    return n == want.size() && raw == want;
}

// A 32-bit BMP with an alpha mask (BITMAPV4HEADER, bit fields), rows from the bottom up: SDL loads it with
// its transparency.
static std::string WriteBmp(const std::vector<uint32_t>& px, int size)
{
    std::string bmp = "BM";
    uint32_t pixels = uint32_t(size) * size * 4;
    Put32(&bmp, 14 + 108 + pixels, false);
    Put32(&bmp, 0, false);
    Put32(&bmp, 14 + 108, false);
    Put32(&bmp, 108, false);
    Put32(&bmp, uint32_t(size), false);
    Put32(&bmp, uint32_t(size), false);
    bmp += std::string("\x01\x00\x20\x00", 4); // one plane, 32 bits
    Put32(&bmp, 3, false);                     // BI_BITFIELDS
    Put32(&bmp, pixels, false);
    Put32(&bmp, 2835, false); // 72 dots per inch
    Put32(&bmp, 2835, false);
    Put32(&bmp, 0, false);
    Put32(&bmp, 0, false);
    for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put32(&bmp, mask, false);
    Put32(&bmp, 0x73524742, false); // "sRGB"
    bmp += std::string(36 + 12, '\0');
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) Put32(&bmp, px[size_t(y) * size + x], false);
    return bmp;
}

static bool MakeDirs(const std::string& path)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return !ec;
}

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4 || (argc == 4 && strcmp(argv[3], "--check") != 0))
    {
        fprintf(stderr, "usage: icongen DATA PACKAGING [--check]\n");
        return 2;
    }
    std::string data = argv[1], packaging = argv[2];
    bool check           = argc == 4;
    std::string meshPath = data + "/Meshes/fullheromesh.txt", text;
    if (!ReadFile(meshPath, &text))
    {
        fprintf(stderr, "icongen: cannot read %s\n", meshPath.c_str());
        return 1;
    }
    std::vector<Tri> troglin = ParseMeshText(text, FORMAT_MESH);
    if (troglin.empty())
    {
        fprintf(stderr, "icongen: %s holds no triangle\n", meshPath.c_str());
        return 1;
    }

    int differ = 0;
    for (int size : {16, 32, 48, 64, 128, 256})
    {
        std::vector<uint32_t> px = RenderIcon(troglin, size);
        std::string dir =
            packaging + "/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::string path = dir + "/" + ICON_NAME + ".png", old;
        if (check)
        {
            if (!ReadFile(path, &old) || !PngHolds(old, px, size))
            {
                fprintf(stderr, "icongen: %s differs from what the troglin mesh gives\n", path.c_str());
                ++differ;
            }
        }
        else if (!MakeDirs(dir) || !WriteFile(path, WritePng(px, size)))
        {
            fprintf(stderr, "icongen: cannot write %s\n", path.c_str());
            return 1;
        }
        if (size != WINDOW_ICON_SIZE) continue;
        std::string bmpPath = data + "/Icons/skarnhold.bmp", bmp = WriteBmp(px, size);
        if (check)
        {
            if (!ReadFile(bmpPath, &old) || old != bmp)
            {
                fprintf(stderr, "icongen: %s differs from what the troglin mesh gives\n", bmpPath.c_str());
                ++differ;
            }
        }
        else if (!MakeDirs(data + "/Icons") || !WriteFile(bmpPath, bmp))
        {
            fprintf(stderr, "icongen: cannot write %s\n", bmpPath.c_str());
            return 1;
        }
    }
    if (check && differ)
    {
        fprintf(stderr, "icongen: %d file(s) out of date; run `make assets` and commit them\n", differ);
        return 1;
    }
    return 0;
}
