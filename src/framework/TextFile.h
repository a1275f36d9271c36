// Whole text files read as whitespace-separated tokens (spaces, tabs and line ends alike).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads the whole file into *pText (appending); false when it cannot be opened.
bool TextFileRead(const char* path, std::string* pText);
// The next token of text from *pPos on, as [*ppBegin, *ppEnd); moves *pPos past it. False at the end.
bool TextNextToken(const std::string& text, size_t* pPos, const char** ppBegin, const char** ppEnd);
// A whole decimal number of 32 bits as the token [b, e): optional sign, digits, nothing else. False (and
// *pValue untouched) for anything else, a number beyond the 32-bit range included.
bool TextParseInt(const char* b, const char* e, int32_t* pValue);
