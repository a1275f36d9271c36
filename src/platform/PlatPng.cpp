// A small PNG writer: 8-bit RGB, the image data in stored (uncompressed) deflate blocks.
#include "platform/Platform.h"

#include <cstdio>
#include <vector>

static uint32_t Crc32(uint32_t crc, const uint8_t* pData, size_t len)
{
    static uint32_t sTable[256];
    static bool sTableDone = false;
    if (!sTableDone)
    {
        for (uint32_t n = 0; n < 256; ++n)
        {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            sTable[n] = c;
        }
        sTableDone = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < len; ++i) crc = sTable[(crc ^ pData[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back((uint8_t)(v >> 24));
    out.push_back((uint8_t)(v >> 16));
    out.push_back((uint8_t)(v >> 8));
    out.push_back((uint8_t)v);
}

static void PutChunk(std::vector<uint8_t>& out, const char* pType, const std::vector<uint8_t>& data)
{
    Put32(out, (uint32_t)data.size());
    size_t start = out.size();
    out.insert(out.end(), pType, pType + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, Crc32(0, out.data() + start, out.size() - start));
}

bool PlatWritePng(const char* pPath, const uint32_t* pPixels, int w, int h)
{
    if (!pPath || !pPixels || w <= 0 || h <= 0) return false;

    // Raw scanlines: filter byte 0, then R, G, B.
    std::vector<uint8_t> raw;
    raw.reserve((size_t)h * ((size_t)w * 3 + 1));
    for (int y = 0; y < h; ++y)
    {
        raw.push_back(0);
        for (int x = 0; x < w; ++x)
        {
            uint32_t c = pPixels[(size_t)y * w + x];
            raw.push_back((uint8_t)(c >> 16));
            raw.push_back((uint8_t)(c >> 8));
            raw.push_back((uint8_t)c);
        }
    }

    // zlib stream of stored blocks.
    std::vector<uint8_t> z;
    z.reserve(raw.size() + raw.size() / 65535 * 5 + 16);
    z.push_back(0x78);
    z.push_back(0x01);
    size_t pos = 0;
    do
    {
        size_t len = raw.size() - pos;
        if (len > 65535) len = 65535;
        bool last = pos + len == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back((uint8_t)len);
        z.push_back((uint8_t)(len >> 8));
        z.push_back((uint8_t)~len);
        z.push_back((uint8_t)(~len >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + len);
        pos += len;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw)
    {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    Put32(ihdr, (uint32_t)w);
    Put32(ihdr, (uint32_t)h);
    ihdr.push_back(8); // bit depth
    ihdr.push_back(2); // colour type: RGB
    ihdr.push_back(0); // deflate
    ihdr.push_back(0); // adaptive filtering
    ihdr.push_back(0); // no interlace
    PutChunk(png, "IHDR", ihdr);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", std::vector<uint8_t>());

    FILE* pFile = fopen(pPath, "wb");
    if (!pFile) return false;
    bool ok = fwrite(png.data(), 1, png.size(), pFile) == png.size();
    ok      = (fclose(pFile) == 0) && ok;
    return ok;
}
