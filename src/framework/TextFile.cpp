#include "framework/TextFile.h"

#include <cctype>
#include <climits>
#include <cstdio>

bool TextFileRead(const char* path, std::string* pText)
{
    FILE* pFile = path ? fopen(path, "rb") : nullptr;
    if (!pFile) return false;
    char buf[8192];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), pFile)) > 0) pText->append(buf, n);
    fclose(pFile);
    return true;
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

bool TextParseInt(const char* b, const char* e, int32_t* pValue)
{
    const char* p = b;
    if (p < e && (*p == '-' || *p == '+')) ++p;
    if (p == e || e - p > 10) return false;
    long long value = 0;
    for (; p < e; ++p)
    {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + (*p - '0');
    }
    if (*b == '-') value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return false;
    *pValue = int32_t(value);
    return true;
}
