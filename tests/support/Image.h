// Reads the game's screenshots for tests, and answers colour questions about regions of them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <zlib.h>

struct TestImage
{
    int w = 0;
    int h = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, row by row from the top
};

// Loads a PNG as the game writes it (8-bit RGB, unfiltered scanlines); false if it cannot be read.
inline bool ImageLoad(const std::string& path, TestImage* pImg)
{
    std::vector<uint8_t> f, z;
    if (FILE* pFile = fopen(path.c_str(), "rb"))
    {
        for (int c; (c = fgetc(pFile)) != EOF;) f.push_back(uint8_t(c));
        fclose(pFile);
    }
    auto be32 = [&](size_t at)
    { return uint32_t(f[at]) << 24 | uint32_t(f[at + 1]) << 16 | f[at + 2] << 8 | f[at + 3]; };
    static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (f.size() < 8 || !std::equal(sig, sig + 8, f.begin())) return false;
    int w = 0, h = 0;
    for (size_t pos = 8, len; pos + 12 <= f.size() && pos + 12 + (len = be32(pos)) <= f.size();
         pos += 12 + len)
    {
        const std::string type(f.begin() + long(pos) + 4, f.begin() + long(pos) + 8);
        if (type == "IHDR" && (f[pos + 16] != 8 || f[pos + 17] != 2 || f[pos + 20] != 0)) return false;
        if (type == "IHDR") w = int(be32(pos + 8)), h = int(be32(pos + 12));
        if (type == "IDAT") z.insert(z.end(), f.begin() + long(pos) + 8, f.begin() + long(pos + 8 + len));
    }
    if (w <= 0 || h <= 0) return false;
    const size_t row = size_t(w) * 3 + 1;
    std::vector<uint8_t> raw(row * size_t(h));
    uLongf rawLen = uLongf(raw.size());
    if (uncompress(raw.data(), &rawLen, z.data(), uLong(z.size())) != Z_OK || rawLen != raw.size())
        return false;
    *pImg = {w, h, std::vector<uint32_t>(size_t(w) * size_t(h))};
    for (int y = 0; y < h; ++y)
    {
        if (raw[row * size_t(y)] != 0) return false;
        for (int x = 0; x < w; ++x)
        {
            const uint8_t* px = &raw[row * size_t(y) + 1 + size_t(x) * 3];
            pImg->pixels[size_t(y) * size_t(w) + size_t(x)] =
                0xFF000000u | uint32_t(px[0]) << 16 | uint32_t(px[1]) << 8 | px[2];
        }
    }
    return true;
}

// The pixel at (x, y) as 0xAARRGGBB (0 outside the image).
inline uint32_t ImagePixel(const TestImage& img, int x, int y)
{
    if (x < 0 || y < 0 || x >= img.w || y >= img.h) return 0;
    return img.pixels[(size_t)y * img.w + x];
}

// Colours match when each of red, green and blue differs by at most `tolerance`.
inline bool ColourNear(uint32_t a, uint32_t b, int tolerance = 8)
{
    for (int shift = 0; shift <= 16; shift += 8)
        if (abs((int)((a >> shift) & 0xFF) - (int)((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

// Number of pixels in the rectangle [x0, x1) x [y0, y1) whose red, green and blue pass the test.
template <class Pred> int ImageCount(const TestImage& img, int x0, int y0, int x1, int y1, Pred pred)
{
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, img.h); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, img.w); ++x)
        {
            const uint32_t c = img.pixels[(size_t)y * img.w + x];
            n += pred(int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), int(c & 0xFF));
        }
    return n;
}

// Number of pixels in the rectangle near `colour`.
inline int ImageCountColour(const TestImage& img, int x0, int y0, int x1, int y1, uint32_t colour,
                            int tolerance = 8)
{
    return ImageCount(img, x0, y0, x1, y1,
                      [&](int r, int g, int b)
                      { return ColourNear(uint32_t(r << 16 | g << 8 | b), colour, tolerance); });
}

// Number of pixels in the rectangle that are not black (any channel above `threshold`).
inline int ImageCountLit(const TestImage& img, int x0, int y0, int x1, int y1, int threshold = 16)
{
    return ImageCount(img, x0, y0, x1, y1,
                      [&](int r, int g, int b) { return r > threshold || g > threshold || b > threshold; });
}
