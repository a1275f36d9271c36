// Runs the game as a subprocess for scenario tests: headless, on the fixed clock, with a temporary save
// folder, an optional input script, and a timeout that kills a hung child. Plus temporary-folder helpers.
#pragma once

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

#ifndef SKARN_EXE
#error "SKARN_EXE must name the game binary"
#endif

namespace Scenario
{

// A fresh empty folder under $TMPDIR (or /tmp); the caller removes it with RemoveTree.
inline std::string MakeTempDir(const char* tag = "skarn")
{
    const char* base    = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + tag + "-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) return std::string();
    return std::string(buf.data());
}

inline void RemoveTree(const std::string& path)
{
    if (path.empty()) return;
    nftw(
        path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

inline bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream f(path, std::ios::binary);
    f << text;
    return bool(f);
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

inline bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// A temporary folder that removes itself.
struct TempDir
{
    std::string path                   = MakeTempDir();
    TempDir()                          = default;
    TempDir(const TempDir&)            = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() { RemoveTree(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// Restores an environment variable when it goes out of scope.
struct EnvGuard
{
    std::string name, value;
    bool had;
    explicit EnvGuard(const char* n) : name(n)
    {
        const char* v = getenv(n);
        had           = v != nullptr;
        value         = v ? v : "";
    }
    ~EnvGuard()
    {
        if (had)
            setenv(name.c_str(), value.c_str(), 1);
        else
            unsetenv(name.c_str());
    }
};

struct Options
{
    std::vector<std::string> args;        // extra arguments, e.g. {"--frames", "200"}
    std::string script;                   // script text; written to a temporary file and passed with --script
    double fixedDt = 1.0 / 60.0;          // --fixed-dt; <= 0 leaves it out
    bool windowed  = true;                // --windowed (the screenshot keeps the 800 x 600 size)
    std::string saveDir;                  // --save-dir; empty: a fresh temporary folder, removed afterwards
    bool saveDirArg     = true;           // false: no --save-dir (the game uses the per-user folder)
    std::string dataDir = SKARN_DATA_DIR; // --data-dir; empty leaves it out
    int timeoutSeconds  = 120;            // the child is killed after this long
};

struct Result
{
    int exitCode  = -1000; // the child's exit code, 128..255 read as negative (exit(-1) gives -1)
    int signal    = 0;     // the signal that ended the child, 0 if it exited
    bool timedOut = false;
    std::string out; // standard output
    std::string err; // standard error
};

// Timeouts are multiplied by SKARN_TEST_TIME_SCALE (a whole number, 1 when unset): the sanitizer build runs
// the same frames several times slower.
inline long TimeScale()
{
    const char* pScale = getenv("SKARN_TEST_TIME_SCALE");
    long scale         = pScale ? strtol(pScale, nullptr, 10) : 1;
    return scale >= 1 && scale <= 100 ? scale : 1;
}

inline Result Run(const Options& opt)
{
    Result res;
    TempDir work;
    std::vector<std::string> argv = {SKARN_EXE, "--headless"};
    if (opt.windowed) argv.push_back("--windowed");
    if (opt.fixedDt > 0.0)
    {
        char buf[64];
        snprintf(buf, sizeof buf, "%.17g", opt.fixedDt);
        argv.push_back("--fixed-dt");
        argv.push_back(buf);
    }
    if (opt.saveDirArg)
    {
        argv.push_back("--save-dir");
        if (opt.saveDir.empty())
        {
            std::string save = work / "save";
            mkdir(save.c_str(), 0700);
            argv.push_back(save);
        }
        else
            argv.push_back(opt.saveDir);
    }
    if (!opt.dataDir.empty())
    {
        argv.push_back("--data-dir");
        argv.push_back(opt.dataDir);
    }
    if (!opt.script.empty())
    {
        std::string scriptPath = work / "input.script";
        WriteFile(scriptPath, opt.script);
        argv.push_back("--script");
        argv.push_back(scriptPath);
    }
    argv.insert(argv.end(), opt.args.begin(), opt.args.end());

    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0) return res;
    if (pipe(errPipe) != 0)
    {
        close(outPipe[0]);
        close(outPipe[1]);
        return res;
    }
    pid_t pid = fork();
    if (pid < 0) return res;
    if (pid == 0)
    {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(outPipe[0]);
        close(outPipe[1]);
        close(errPipe[0]);
        close(errPipe[1]);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1); // never the user's settings
        std::vector<char*> cargv;
        for (std::string& a : argv) cargv.push_back(a.data());
        cargv.push_back(nullptr);
        execv(cargv[0], cargv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);

    struct timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    struct pollfd fds[2]  = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&res.out, &res.err};
    int open              = 2;
    while (open > 0)
    {
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        long elapsedMs = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
        long leftMs    = long(opt.timeoutSeconds) * TimeScale() * 1000 - elapsedMs;
        if (leftMs <= 0)
        {
            res.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        int n = poll(fds, 2, int(leftMs > 1000 ? 1000 : leftMs));
        if (n < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i)
        {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buf[4096];
            ssize_t got = read(fds[i].fd, buf, sizeof buf);
            if (got > 0)
                sinks[i]->append(buf, size_t(got));
            else if (got == 0 || errno != EINTR)
            {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (auto& f : fds)
        if (f.fd >= 0) close(f.fd);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
    {
    }
    if (WIFEXITED(status))
    {
        res.exitCode = WEXITSTATUS(status);
        if (res.exitCode > 127) res.exitCode -= 256;
    }
    else if (WIFSIGNALED(status))
        res.signal = WTERMSIG(status);
    return res;
}

// Shorthand: the given extra arguments and script, everything else default.
inline Result Run(const std::vector<std::string>& args, const std::string& script = std::string())
{
    Options opt;
    opt.args   = args;
    opt.script = script;
    return Run(opt);
}

} // namespace Scenario
