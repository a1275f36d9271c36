// Reads the game's screenshots (PNG, 8-bit RGB or RGBA, any deflate compression; also 24/32-bit BMP) for
// tests, and answers colour questions about regions of them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct TestImage
{
    int w = 0;
    int h = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, row by row from the top
};

namespace ImageDetail
{

inline bool ReadAll(const std::string& path, std::vector<uint8_t>* pOut)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) pOut->insert(pOut->end(), buf, buf + n);
    fclose(f);
    return true;
}

inline uint32_t Be32(const uint8_t* p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}
inline uint32_t Le32(const uint8_t* p)
{
    return (uint32_t)p[3] << 24 | (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
}

// A small inflate (RFC 1951): stored, fixed and dynamic Huffman blocks.
struct Inflater
{
    const uint8_t* p;
    size_t n, pos = 0;
    uint32_t bitBuf = 0;
    int bitCnt      = 0;
    bool bad        = false;

    int Bits(int need)
    {
        while (bitCnt < need)
        {
            if (pos >= n)
            {
                bad = true;
                return 0;
            }
            bitBuf |= (uint32_t)p[pos++] << bitCnt;
            bitCnt += 8;
        }
        int v = (int)(bitBuf & ((1u << need) - 1));
        bitBuf >>= need;
        bitCnt -= need;
        return v;
    }

    struct Huff
    {
        short count[16];
        short symbol[320];
    };

    static void Build(Huff* h, const uint8_t* lengths, int num)
    {
        for (short& c : h->count) c = 0;
        for (int i = 0; i < num; ++i) h->count[lengths[i]]++;
        h->count[0] = 0;
        short offs[16];
        offs[1] = 0;
        for (int i = 1; i < 15; ++i) offs[i + 1] = (short)(offs[i] + h->count[i]);
        for (int i = 0; i < num; ++i)
            if (lengths[i]) h->symbol[offs[lengths[i]]++] = (short)i;
    }

    int Decode(const Huff* h)
    {
        int code = 0, first = 0, index = 0;
        for (int len = 1; len < 16; ++len)
        {
            code |= Bits(1);
            int count = h->count[len];
            if (code - count < first) return h->symbol[index + (code - first)];
            index += count;
            first += count;
            first <<= 1;
            code <<= 1;
            if (bad) return -1;
        }
        bad = true;
        return -1;
    }

    bool Codes(std::vector<uint8_t>* pOut, const Huff* lit, const Huff* dist)
    {
        static const short lBase[29]  = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                         31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const short lExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                         2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        static const short dBase[30]  = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                         33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        static const short dExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
        for (;;)
        {
            int sym = Decode(lit);
            if (bad || sym < 0) return false;
            if (sym < 256)
                pOut->push_back((uint8_t)sym);
            else if (sym == 256)
                return true;
            else
            {
                sym -= 257;
                if (sym >= 29) return false;
                int len = lBase[sym] + Bits(lExtra[sym]);
                int ds  = Decode(dist);
                if (bad || ds < 0 || ds >= 30) return false;
                size_t d = (size_t)(dBase[ds] + Bits(dExtra[ds]));
                if (d > pOut->size()) return false;
                for (int i = 0; i < len; ++i) pOut->push_back((*pOut)[pOut->size() - d]);
            }
        }
    }

    bool Run(std::vector<uint8_t>* pOut)
    {
        int last;
        do
        {
            last     = Bits(1);
            int type = Bits(2);
            if (bad) return false;
            if (type == 0)
            {
                bitBuf = 0;
                bitCnt = 0;
                if (pos + 4 > n) return false;
                size_t len = p[pos] | (size_t)p[pos + 1] << 8;
                pos += 4;
                if (pos + len > n) return false;
                pOut->insert(pOut->end(), p + pos, p + pos + len);
                pos += len;
            }
            else if (type == 1)
            {
                uint8_t lengths[320];
                int i = 0;
                for (; i < 144; ++i) lengths[i] = 8;
                for (; i < 256; ++i) lengths[i] = 9;
                for (; i < 280; ++i) lengths[i] = 7;
                for (; i < 288; ++i) lengths[i] = 8;
                Huff lit, dist;
                Build(&lit, lengths, 288);
                for (i = 0; i < 30; ++i) lengths[i] = 5;
                Build(&dist, lengths, 30);
                if (!Codes(pOut, &lit, &dist)) return false;
            }
            else if (type == 2)
            {
                static const uint8_t order[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                  11, 4,  12, 3, 13, 2, 14, 1, 15};
                int nlen = Bits(5) + 257, ndist = Bits(5) + 1, ncode = Bits(4) + 4;
                uint8_t lengths[320] = {0};
                for (int i = 0; i < ncode; ++i) lengths[order[i]] = (uint8_t)Bits(3);
                Huff lencode;
                Build(&lencode, lengths, 19);
                int index = 0;
                while (index < nlen + ndist)
                {
                    int sym = Decode(&lencode);
                    if (bad || sym < 0) return false;
                    if (sym < 16)
                        lengths[index++] = (uint8_t)sym;
                    else
                    {
                        uint8_t len = 0;
                        int rep;
                        if (sym == 16)
                        {
                            if (index == 0) return false;
                            len = lengths[index - 1];
                            rep = 3 + Bits(2);
                        }
                        else if (sym == 17)
                            rep = 3 + Bits(3);
                        else
                            rep = 11 + Bits(7);
                        if (index + rep > nlen + ndist) return false;
                        while (rep--) lengths[index++] = len;
                    }
                }
                Huff lit, dist;
                Build(&lit, lengths, nlen);
                Build(&dist, lengths + nlen, ndist);
                if (!Codes(pOut, &lit, &dist)) return false;
            }
            else
                return false;
        } while (!last);
        return true;
    }
};

inline int Paeth(int a, int b, int c)
{
    int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

inline bool LoadPng(const std::vector<uint8_t>& f, TestImage* pImg)
{
    std::vector<uint8_t> z;
    int w = 0, h = 0, colourType = -1;
    for (size_t pos = 8; pos + 12 <= f.size();)
    {
        uint32_t len = Be32(&f[pos]);
        if (pos + 12 + len > f.size()) return false;
        std::string type(f.begin() + pos + 4, f.begin() + pos + 8);
        const uint8_t* d = &f[pos + 8];
        if (type == "IHDR")
        {
            w          = (int)Be32(d);
            h          = (int)Be32(d + 4);
            colourType = d[9];
            if (d[8] != 8 || (colourType != 2 && colourType != 6) || d[12] != 0) return false;
        }
        else if (type == "IDAT")
            z.insert(z.end(), d, d + len);
        else if (type == "IEND")
            break;
        pos += 12 + len;
    }
    if (w <= 0 || h <= 0 || z.size() < 2) return false;
    Inflater inf{z.data() + 2, z.size() - 2};
    std::vector<uint8_t> raw;
    if (!inf.Run(&raw)) return false;
    const int bpp    = colourType == 6 ? 4 : 3;
    const size_t row = (size_t)w * bpp;
    if (raw.size() < (row + 1) * (size_t)h) return false;
    std::vector<uint8_t> prev(row, 0), cur(row);
    pImg->w = w;
    pImg->h = h;
    pImg->pixels.resize((size_t)w * h);
    for (int y = 0; y < h; ++y)
    {
        const uint8_t* s = &raw[(row + 1) * y];
        int filter       = s[0];
        for (size_t i = 0; i < row; ++i)
        {
            int a = i >= (size_t)bpp ? cur[i - bpp] : 0, b = prev[i],
                c    = i >= (size_t)bpp ? prev[i - bpp] : 0;
            int pred = filter == 1   ? a
                       : filter == 2 ? b
                       : filter == 3 ? (a + b) / 2
                       : filter == 4 ? Paeth(a, b, c)
                                     : 0;
            cur[i]   = (uint8_t)(s[1 + i] + pred);
        }
        for (int x = 0; x < w; ++x)
        {
            const uint8_t* px = &cur[(size_t)x * bpp];
            uint32_t alpha    = bpp == 4 ? px[3] : 255;
            pImg->pixels[(size_t)y * w + x] =
                alpha << 24 | (uint32_t)px[0] << 16 | (uint32_t)px[1] << 8 | px[2];
        }
        prev.swap(cur);
    }
    return true;
}

inline bool LoadBmp(const std::vector<uint8_t>& f, TestImage* pImg)
{
    if (f.size() < 54) return false;
    uint32_t offset = Le32(&f[10]);
    int w           = (int)Le32(&f[18]);
    int h           = (int)Le32(&f[22]);
    int bits        = f[28] | f[29] << 8;
    bool topDown    = h < 0;
    if (topDown) h = -h;
    if (w <= 0 || h <= 0 || (bits != 24 && bits != 32)) return false;
    size_t bpp = (size_t)bits / 8, stride = ((size_t)w * bpp + 3) & ~(size_t)3;
    if (offset + stride * h > f.size()) return false;
    pImg->w = w;
    pImg->h = h;
    pImg->pixels.resize((size_t)w * h);
    for (int y = 0; y < h; ++y)
    {
        const uint8_t* s = &f[offset + stride * (size_t)(topDown ? y : h - 1 - y)];
        for (int x = 0; x < w; ++x)
        {
            const uint8_t* px = s + (size_t)x * bpp;
            pImg->pixels[(size_t)y * w + x] =
                0xFF000000u | (uint32_t)px[2] << 16 | (uint32_t)px[1] << 8 | px[0];
        }
    }
    return true;
}

} // namespace ImageDetail

// Loads a PNG or BMP file; false if it cannot be read or decoded.
inline bool ImageLoad(const std::string& path, TestImage* pImg)
{
    std::vector<uint8_t> f;
    if (!ImageDetail::ReadAll(path, &f) || f.size() < 8) return false;
    static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (std::equal(sig, sig + 8, f.begin())) return ImageDetail::LoadPng(f, pImg);
    if (f[0] == 'B' && f[1] == 'M') return ImageDetail::LoadBmp(f, pImg);
    return false;
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

// Number of pixels in the rectangle [x0, x1) x [y0, y1) near `colour`.
inline int ImageCountColour(const TestImage& img, int x0, int y0, int x1, int y1, uint32_t colour,
                            int tolerance = 8)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (x >= 0 && y >= 0 && x < img.w && y < img.h &&
                ColourNear(ImagePixel(img, x, y), colour, tolerance))
                ++n;
    return n;
}

// Number of pixels in the rectangle that are not black (any channel above `threshold`).
inline int ImageCountLit(const TestImage& img, int x0, int y0, int x1, int y1, int threshold = 16)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
        {
            uint32_t c = ImagePixel(img, x, y);
            if (((c >> 16) & 0xFF) > (uint32_t)threshold || ((c >> 8) & 0xFF) > (uint32_t)threshold ||
                (c & 0xFF) > (uint32_t)threshold)
                ++n;
        }
    return n;
}
