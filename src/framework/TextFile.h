// Whole text files read as whitespace-separated tokens (spaces, tabs and line ends alike).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Data files (meshes, maps, scores, palette, grid, scripts, sounds) are read whole, and only a regular
// file of at most this size: far above any file of the game, far below what would stall or exhaust it.
constexpr size_t DATA_FILE_MAX_BYTES = size_t(16) << 20;

enum TextFileResult
{
    TEXT_FILE_READ,
    TEXT_FILE_MISSING, // nothing at the path
    TEXT_FILE_REFUSED, // not a regular file, larger than DATA_FILE_MAX_BYTES, or unreadable
};
// Reads a whole data file into *pText (appending) without a word; on failure *pWhy (when given) says what
// is wrong, as the end of a line that names the file: "is missing", "is a folder, not a file", ...
TextFileResult TextFileCheck(const char* path, std::string* pText, std::string* pWhy);
// The line every reader prints about a data file it cannot use: "PATH: WHY" on standard error.
void TextFileComplain(const char* path, const std::string& why);
// Reads a whole data file into *pText (appending); false when it cannot. A file that is there but refused
// is named on standard error; a missing one is left to the caller.
bool TextFileRead(const char* path, std::string* pText);
// The next token of text from *pPos on, as [*ppBegin, *ppEnd); moves *pPos past it. False at the end.
bool TextNextToken(const std::string& text, size_t* pPos, const char** ppBegin, const char** ppEnd);
// A whole decimal number of 32 bits as the token [b, e): optional sign, digits (leading zeros allowed),
// nothing else. False (and *pValue untouched) for anything else, a number beyond the 32-bit range included.
bool TextParseInt(const char* b, const char* e, int32_t* pValue);
// The same, but a number beyond the 32-bit range is read as the nearest 32-bit value.
bool TextParseIntClamped(const char* b, const char* e, int32_t* pValue);
// A line of a file as an error message quotes it: its first 80 characters (and "..." when there are more),
// every byte that is not printable text as \xNN, so a binary file cannot garble the terminal.
std::string TextShownLine(std::string line);
