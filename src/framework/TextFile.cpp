#include "framework/TextFile.h"

#include <cctype>
#include <climits>
#include <cstdio>

#include "platform/PlatFiles.h"

TextFileResult TextFileCheck(const char* path, std::string* pText, std::string* pWhy)
{
    std::string why = path ? PlatReadFile(path, DATA_FILE_MAX_BYTES, pText) : PLAT_FILE_MISSING;
    if (why.empty()) return TEXT_FILE_READ;
    const bool missing = why == PLAT_FILE_MISSING;
    if (missing)
    {
        // Say so when the whole folder is missing ("Meshes/" in a data folder without one).
        std::string folder = path ? path : "";
        folder             = folder.substr(0, folder.rfind('/') == std::string::npos ? 0 : folder.rfind('/'));
        if (!folder.empty() && !PlatIsDir(folder)) why += ": there is no folder " + folder;
    }
    if (pWhy) *pWhy = why;
    return missing ? TEXT_FILE_MISSING : TEXT_FILE_REFUSED;
}

void TextFileComplain(const char* path, const std::string& why)
{
    fprintf(stderr, "%s: %s\n", path, why.c_str());
}

bool TextFileRead(const char* path, std::string* pText)
{
    std::string why;
    TextFileResult result = TextFileCheck(path, pText, &why);
    if (result == TEXT_FILE_REFUSED) TextFileComplain(path, why);
    return result == TEXT_FILE_READ;
}

bool TextNextToken(const std::string& text, size_t* pPos, const char** ppBegin, const char** ppEnd)
{
    size_t i = *pPos;
    while (i < text.size() && isspace(static_cast<unsigned char>(text[i]))) ++i;
    size_t start = i;
    while (i < text.size() && !isspace(static_cast<unsigned char>(text[i]))) ++i;
    *pPos = i;
    if (i == start) return false;
    *ppBegin = text.data() + start;
    *ppEnd   = text.data() + i;
    return true;
}

// An optional sign and one or more digits, nothing else. The magnitude stops growing past 2^32, so
// anything beyond the 32-bit range stays beyond it.
static bool ScanInt(const char* b, const char* e, long long* pValue)
{
    const char* p = b;
    if (p < e && (*p == '-' || *p == '+')) ++p;
    if (p == e) return false;
    long long value = 0;
    for (; p < e; ++p)
    {
        if (*p < '0' || *p > '9') return false;
        if (value <= (1LL << 32)) value = value * 10 + (*p - '0');
    }
    *pValue = *b == '-' ? -value : value;
    return true;
}

bool TextParseInt(const char* b, const char* e, int32_t* pValue)
{
    long long value;
    if (!ScanInt(b, e, &value) || value < INT32_MIN || value > INT32_MAX) return false;
    *pValue = int32_t(value);
    return true;
}

bool TextParseIntClamped(const char* b, const char* e, int32_t* pValue)
{
    long long value;
    if (!ScanInt(b, e, &value)) return false;
    *pValue = value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : int32_t(value);
    return true;
}

std::string TextShownLine(std::string line)
{
    const size_t SHOWN_MAX = 80;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string shown;
    for (size_t i = 0; i < line.size() && i < SHOWN_MAX; ++i)
    {
        unsigned char c = (unsigned char)line[i];
        char hex[8];
        snprintf(hex, sizeof hex, "\\x%02X", c);
        shown += (c >= 0x20 && c < 0x7F && c != '\\') ? std::string(1, char(c)) : std::string(hex);
    }
    return line.size() > SHOWN_MAX ? shown + "..." : shown;
}
