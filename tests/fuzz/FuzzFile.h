// Shared pieces of the fuzz targets of the file readers. Every reader takes a path, so a target writes
// its input to a file of its own and hands the reader that path.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes the bytes to the file `name` in a folder made for this process (removed again at exit) and
// returns its path, valid until the next call with the same name.
const char* FuzzWriteFile(const char* name, const uint8_t* data, size_t size);

// A broken promise of a reader: the message goes to standard error and the process aborts, which the
// fuzzer and the replay test both report as a failure.
[[noreturn]] void FuzzFail(const char* expr, const char* file, int line);
#define FUZZ_CHECK(expr)                                                                                     \
    do                                                                                                       \
    {                                                                                                        \
        if (!(expr)) FuzzFail(#expr, __FILE__, __LINE__);                                                    \
    } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
