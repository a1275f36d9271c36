#include "FuzzFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

static std::string sDir;
static std::map<std::string, std::string> sPaths;

static void RemoveDir()
{
    std::error_code ec;
    std::filesystem::remove_all(sDir, ec);
}

static const std::string& Dir()
{
    if (sDir.empty())
    {
        const char* tmp      = getenv("TMPDIR");
        std::string templ    = std::string(tmp && *tmp ? tmp : "/tmp") + "/skarn-fuzz-XXXXXX";
        const char* pCreated = mkdtemp(templ.data());
        if (!pCreated)
        {
            perror("fuzz: cannot create a temporary folder");
            abort();
        }
        sDir = pCreated;
        atexit(RemoveDir);
    }
    return sDir;
}

const char* FuzzWriteFile(const char* name, const uint8_t* data, size_t size)
{
    std::string& path = sPaths[name];
    if (path.empty()) path = Dir() + "/" + name;
    FILE* pFile = fopen(path.c_str(), "wb");
    if (!pFile || (size > 0 && fwrite(data, 1, size, pFile) != size) || fclose(pFile) != 0)
    {
        perror(path.c_str());
        abort();
    }
    return path.c_str();
}

void FuzzFail(const char* expr, const char* file, int line)
{
    fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", expr, file, line);
    abort();
}
