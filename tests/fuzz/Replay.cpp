// Runs a fuzz target over saved inputs without libFuzzer: every file named on the command line, and every
// file of every folder named there (in name order). Built with any compiler, so the inputs that once broke
// a reader stay part of the normal test run, under the sanitizers too when the build has them.
#include "FuzzFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

static bool RunFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        fprintf(stderr, "%s: cannot be read\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

int main(int argc, char** argv)
{
    int runs = 0;
    for (int i = 1; i < argc; ++i)
    {
        std::vector<fs::path> files;
        std::error_code ec;
        if (fs::is_directory(argv[i], ec))
        {
            for (const fs::directory_entry& e : fs::recursive_directory_iterator(argv[i], ec))
                if (e.is_regular_file()) files.push_back(e.path());
            std::sort(files.begin(), files.end());
        }
        else
            files.push_back(argv[i]);
        for (const fs::path& f : files)
        {
            if (!RunFile(f)) return 1;
            ++runs;
        }
    }
    printf("%d inputs read without a fault\n", runs);
    return runs > 0 ? 0 : 1;
}
