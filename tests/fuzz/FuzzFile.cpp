#include "FuzzFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

static std::string sDir; // made at the first write, removed at exit
static std::map<std::string, std::string> sPaths;

const char* FuzzWriteFile(const char* name, const uint8_t* data, size_t size)
{
    if (sDir.empty())
    {
        std::string templ = (std::filesystem::temp_directory_path() / "skarn-fuzz-XXXXXX").string();
        if (!mkdtemp(templ.data())) FuzzFail("mkdtemp", __FILE__, __LINE__);
        sDir = templ;
        atexit(
            []
            {
                std::error_code ec;
                std::filesystem::remove_all(sDir, ec);
            });
    }
    std::string& path = sPaths[name];
    path              = sDir + "/" + name;
    FILE* pFile       = fopen(path.c_str(), "wb");
    if (!pFile || (size > 0 && fwrite(data, 1, size, pFile) != size) || fclose(pFile) != 0)
        FuzzFail(path.c_str(), __FILE__, __LINE__);
    return path.c_str();
}

void FuzzFail(const char* expr, const char* file, int line)
{
    fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", expr, file, line);
    abort();
}
