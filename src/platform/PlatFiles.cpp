#include "platform/PlatFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

// An XDG base folder into *pDir: the variable when it holds an absolute path, otherwise $HOME + fallback
// when HOME is absolute. Relative paths would name folders below whatever the working directory is (the
// game's data).
static std::string XdgDir(const char* var, const char* fallback, std::string* pDir)
{
    const char* xdg  = getenv(var);
    const char* home = getenv("HOME");
    std::string dir;
    if (xdg && xdg[0] == '/')
        dir = xdg;
    else if (home && home[0] == '/')
        dir = std::string(home) + fallback;
    else
        return !home || !home[0] ? "HOME is not set"
                                 : "HOME is not an absolute path ('" + std::string(home) + "')";
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    *pDir = dir;
    return std::string();
}

std::string PlatUserDataDir(std::string* pDir)
{
    return XdgDir("XDG_DATA_HOME", "/.local/share", pDir);
}

std::string PlatUserConfigDir(std::string* pDir)
{
    return XdgDir("XDG_CONFIG_HOME", "/.config", pDir);
}

std::string PlatMakeDirs(const std::string& path)
{
    int err = path.empty() ? ENOENT : 0;
    for (size_t i = 1; err == 0 && i <= path.size(); ++i)
    {
        if (i < path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        struct stat st;
        if (stat(part.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
        if (mkdir(part.c_str(), 0700) == 0) continue;
        err = errno;
        // Something stands there: a link that leads nowhere (a loop) says so, anything else is no folder.
        if (err == EEXIST) err = stat(part.c_str(), &st) != 0 ? errno : ENOTDIR;
    }
    return err == 0 ? std::string() : "cannot make the folder " + path + ": " + PlatErrorText(err);
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

// The file a write to path lands in: path itself, or the end of the symbolic links at path (a relative
// link counts from the link's folder). Empty for a loop of links.
static std::string WriteTarget(std::string path)
{
    for (int hop = 0; hop < 40; ++hop)
    {
        char target[PATH_MAX];
        ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        if (n <= 0) return path; // not a link, or nothing there
        target[n]    = '\0';
        size_t slash = path.rfind('/');
        path         = target[0] == '/' || slash == std::string::npos ? std::string(target)
                                                                      : path.substr(0, slash + 1) + target;
    }
    return std::string();
}

// Removes the temporary files of path ("NAME.PID.N.tmp") whose process no longer runs.
static void RemoveDeadTemps(const std::string& path)
{
    size_t slash           = path.rfind('/');
    const std::string dir  = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1) + ".";
    DIR* pDir              = opendir(dir.c_str());
    if (!pDir) return;
    while (const dirent* pEntry = readdir(pDir))
    {
        const char* p = pEntry->d_name;
        if (strncmp(p, name.c_str(), name.size()) != 0) continue;
        char* e  = nullptr;
        long pid = strtol(p + name.size(), &e, 10);
        if (e == p + name.size() || *e != '.' || pid <= 0 || pid == long(getpid())) continue;
        strtoul(e + 1, &e, 10);
        if (strcmp(e, ".tmp") != 0) continue;
        if (kill(pid_t(pid), 0) != 0 && errno == ESRCH) unlink((dir + p).c_str());
    }
    closedir(pDir);
}

std::string PlatReplaceFile(const std::string& path, const char* data, size_t size)
{
    static unsigned sWrites; // this process's temporary files so far
    const std::string target = WriteTarget(path);
    if (target.empty()) return PlatErrorText(ELOOP);
    struct stat st;
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) return "it is read-only";
    RemoveDeadTemps(target);
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt)
    {
        tmp = target + "." + std::to_string(getpid()) + "." + std::to_string(sWrites++) + ".tmp";
        fd  = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return PlatErrorText(errno);
    if (exists && S_ISREG(st.st_mode)) fchmod(fd, st.st_mode & 0777); // the file keeps its permissions
    int err = WriteAllAndSync(fd, data, size);
    if (close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && rename(tmp.c_str(), target.c_str()) == 0)
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

std::string PlatLockFile(const std::string& path, int waitMs, int* pHandle)
{
    // Not a FIFO's wait nor a link's target: the lock file is the game's own.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return PlatErrorText(errno);
    for (int waited = 0;; waited += 10)
    {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        {
            *pHandle = fd;
            return std::string();
        }
        int err = errno;
        if (err == EINTR) continue;
        if (err != EWOULDBLOCK || waited >= waitMs)
        {
            close(fd);
            return err == EWOULDBLOCK ? "another game has held it for " + std::to_string(waitMs / 1000) + " s"
                                      : PlatErrorText(err);
        }
        usleep(10000);
    }
}

void PlatUnlockFile(int handle)
{
    close(handle); // closing the only descriptor of the open file gives its lock back
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

// The reason for a file of more than maxBytes bytes.
static std::string TooLarge(size_t maxBytes)
{
    const size_t MIB = size_t(1) << 20;
    const bool inMib = maxBytes >= MIB && maxBytes % MIB == 0;
    return "is larger than " + std::to_string(inMib ? maxBytes / MIB : maxBytes) +
           (inMib ? " MiB" : " bytes") + ", not read";
}

std::string PlatReadFile(const char* path, size_t maxBytes, std::string* pData)
{
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? PLAT_FILE_MISSING
                                                   : "cannot be read: " + PlatErrorText(errno);
    struct stat st;
    std::string why;
    if (fstat(fd, &st) != 0)
        why = "cannot be read: " + PlatErrorText(errno);
    else if (!S_ISREG(st.st_mode))
        why = S_ISDIR(st.st_mode) ? "is a folder, not a file" : "is not a regular file, not read";
    else if (uint64_t(st.st_size) > maxBytes)
        why = TooLarge(maxBytes);
    const size_t start = pData->size();
    char buf[65536];
    while (why.empty())
    {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            why = "cannot be read: " + PlatErrorText(errno);
        else if (n == 0)
            break;
        else if (pData->size() - start + size_t(n) > maxBytes) // it grew while being read
            why = TooLarge(maxBytes);
        else
            pData->append(buf, size_t(n));
    }
    close(fd);
    if (!why.empty()) pData->resize(start);
    return why;
}
