// Whole text files read as whitespace-separated tokens (spaces, tabs and line ends alike).
#pragma once

#include <cstddef>
#include <string>

// Reads the whole file into *pText (appending); false when it cannot be opened.
bool TextFileRead(const char* path, std::string* pText);
// The next token of text from *pPos on, as [*ppBegin, *ppEnd); moves *pPos past it. False at the end.
bool TextNextToken(const std::string& text, size_t* pPos, const char** ppBegin, const char** ppEnd);
