#include "framework/TextFile.h"

#include <cctype>
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
