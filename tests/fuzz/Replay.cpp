// Runs a fuzz target over saved inputs without libFuzzer: every file named on the command line, and every
// file of every folder named there (in name order). Built with any compiler, so the inputs that once broke
// a reader stay part of the normal test run, under the sanitizers too when the build has them.
#include "FuzzFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i)
    {
        std::error_code ec;
        size_t first = files.size();
        if (!fs::is_directory(argv[i], ec)) files.push_back(argv[i]);
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(argv[i], ec))
            if (e.is_regular_file()) files.push_back(e.path());
        std::sort(files.begin() + long(first), files.end());
    }
    for (const fs::path& f : files)
    {
        std::ifstream in(f, std::ios::binary);
        if (!in) return fprintf(stderr, "%s: cannot be read\n", f.c_str()), 1;
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    printf("%zu inputs read without a fault\n", files.size());
    return files.empty() ? 1 : 0;
}
