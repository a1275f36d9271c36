#include "platform/PlatFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

// An XDG base folder: the variable when it holds an absolute path, otherwise $HOME + fallback.
static std::string XdgDir(const char* var, const char* fallback)
{
    const char* xdg = getenv(var);
    std::string dir;
    if (xdg && xdg[0] == '/')
        dir = xdg;
    else
    {
        const char* home = getenv("HOME");
        if (!home || !home[0]) return std::string();
        dir = std::string(home) + fallback;
    }
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

std::string PlatUserDataDir()
{
    return XdgDir("XDG_DATA_HOME", "/.local/share");
}

std::string PlatUserConfigDir()
{
    return XdgDir("XDG_CONFIG_HOME", "/.config");
}

int PlatMakeDir(const char* path)
{
    if (mkdir(path, 0700) == 0) return 0;
    return errno;
}

int PlatMakeDirs(const std::string& path)
{
    if (path.empty()) return ENOENT;
    for (size_t i = 1; i <= path.size(); ++i)
    {
        if (i < path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        struct stat st;
        if (stat(part.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
        int err = PlatMakeDir(part.c_str());
        // Something stands there: a link that leads nowhere (a loop) says so, anything else is no folder.
        if (err == EEXIST) err = stat(part.c_str(), &st) != 0 ? errno : ENOTDIR;
        if (err != 0) return err;
    }
    return 0;
}

std::string PlatErrorText(int err)
{
    return strerror(err);
}

// Writes every byte and flushes them to the disk; 0 or the errno value of the failure.
static int WriteAllAndSync(int fd, const char* data, size_t size)
{
    while (size > 0)
    {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;
        data += n;
        size -= size_t(n);
    }
    return fsync(fd) == 0 ? 0 : errno;
}

std::string PlatReplaceFile(const std::string& path, const char* data, size_t size)
{
    std::string tmp = path + ".tmp";
    int fd          = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return PlatErrorText(errno);
    int err = WriteAllAndSync(fd, data, size);
    if (close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && rename(tmp.c_str(), path.c_str()) == 0)
    {
#ifdef __EMSCRIPTEN__
        // In a web page the saved files live in memory over the browser's storage: write them through.
        EM_ASM(if (Module.skarnSync) Module.skarnSync(););
#endif
        return std::string();
    }
    if (err == 0) err = errno;
    unlink(tmp.c_str());
    return PlatErrorText(err);
}

bool PlatExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && lstat(path.c_str(), &st) == 0;
}

bool PlatIsDir(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

PlatReadResult PlatReadFile(const char* path, size_t maxBytes, std::string* pData, int* pErr)
{
    *pErr  = 0;
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        *pErr = errno;
        return (errno == ENOENT || errno == ENOTDIR) ? PLAT_READ_MISSING : PLAT_READ_FAILED;
    }
    struct stat st;
    PlatReadResult result = PLAT_READ_OK;
    if (fstat(fd, &st) != 0)
    {
        *pErr  = errno;
        result = PLAT_READ_FAILED;
    }
    else if (!S_ISREG(st.st_mode))
        result = PLAT_READ_NOT_REGULAR;
    else if (uint64_t(st.st_size) > maxBytes)
        result = PLAT_READ_TOO_LARGE;
    size_t start = pData->size();
    char buf[65536];
    while (result == PLAT_READ_OK)
    {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
        {
            *pErr  = errno;
            result = PLAT_READ_FAILED;
        }
        else if (n == 0)
            break;
        else if (pData->size() - start + size_t(n) > maxBytes) // it grew while being read
            result = PLAT_READ_TOO_LARGE;
        else
            pData->append(buf, size_t(n));
    }
    close(fd);
    if (result != PLAT_READ_OK) pData->resize(start);
    return result;
}
