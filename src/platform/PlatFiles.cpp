#include "platform/PlatFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string PlatUserDataDir()
{
    const char* xdg = getenv("XDG_DATA_HOME");
    std::string dir;
    if (xdg && xdg[0] == '/')
        dir = xdg;
    else
    {
        const char* home = getenv("HOME");
        if (!home || !home[0]) return std::string();
        dir = std::string(home) + "/.local/share";
    }
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

int PlatMakeDir(const char* path)
{
    if (mkdir(path, 0700) == 0) return 0;
    return errno;
}

bool PlatMakeDirs(const std::string& path)
{
    for (size_t i = 1; i <= path.size(); ++i)
    {
        if (i < path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        struct stat st;
        if (stat(part.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
        int err = PlatMakeDir(part.c_str());
        if (err != 0 && err != EEXIST) return false;
    }
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

static bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0)
    {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool PlatReplaceFile(const std::string& path, const char* data, size_t size)
{
    std::string tmp = path + ".tmp";
    int fd          = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, data, size) && fsync(fd) == 0;
    ok      = close(fd) == 0 && ok;
    if (ok && rename(tmp.c_str(), path.c_str()) == 0) return true;
    unlink(tmp.c_str());
    return false;
}
