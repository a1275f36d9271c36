// A small PNG writer: 8-bit RGB, unfiltered scanlines, compressed with zlib.
#include "platform/Platform.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

static void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back((uint8_t)(v >> 24));
    out.push_back((uint8_t)(v >> 16));
    out.push_back((uint8_t)(v >> 8));
    out.push_back((uint8_t)v);
}

static void PutChunk(std::vector<uint8_t>& out, const char* pType, const uint8_t* pData, size_t len)
{
    Put32(out, (uint32_t)len);
    size_t start = out.size();
    out.insert(out.end(), pType, pType + 4);
    out.insert(out.end(), pData, pData + len);
    Put32(out, (uint32_t)crc32(0, out.data() + start, (uInt)(out.size() - start)));
}

std::string PlatWritePng(const char* pPath, const uint32_t* pPixels, int w, int h)
{
    if (!pPath || !pPixels || w <= 0 || h <= 0) return "there is no picture";

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
    uLongf zLen = compressBound((uLong)raw.size());
    std::vector<uint8_t> z(zLen);
    if (compress2(z.data(), &zLen, raw.data(), (uLong)raw.size(), Z_BEST_SPEED) != Z_OK)
        return "the picture could not be compressed";

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    Put32(ihdr, (uint32_t)w);
    Put32(ihdr, (uint32_t)h);
    ihdr.push_back(8); // bit depth
    ihdr.push_back(2); // colour type: RGB
    ihdr.push_back(0); // deflate
    ihdr.push_back(0); // adaptive filtering
    ihdr.push_back(0); // no interlace
    PutChunk(png, "IHDR", ihdr.data(), ihdr.size());
    PutChunk(png, "IDAT", z.data(), zLen);
    PutChunk(png, "IEND", nullptr, 0);

    int fd = open(pPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return strerror(errno);
    int err = 0;
    for (size_t done = 0; done < png.size() && err == 0;)
    {
        ssize_t n = write(fd, png.data() + done, png.size() - done);
        if (n > 0) done += size_t(n);
        if (n < 0 && errno != EINTR) err = errno;
    }
    if (close(fd) != 0 && err == 0) err = errno;
    if (err == 0) return std::string();
    // Only a plain file is removed (never a device such as /dev/full).
    struct stat st;
    if (lstat(pPath, &st) == 0 && S_ISREG(st.st_mode)) unlink(pPath);
    return strerror(err);
}
