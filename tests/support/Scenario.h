// Runs the game as a subprocess for scenario tests: headless (the renderer draws the frames of screenshots
// only), on the fixed clock, with a temporary save folder, an optional input script, and a timeout that kills
// a hung child. Plus temporary-folder helpers.
#pragma once

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef SKARN_EXE
#error "SKARN_EXE must name the game binary"
#endif

namespace Scenario
{

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
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// A fresh empty folder under $TMPDIR (or /tmp) that removes itself.
struct TempDir
{
    std::string path = []
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "skarn").string() + "-XXXXXX";
        return mkdtemp(pattern.data()) ? pattern : std::string();
    }();
    TempDir()                          = default;
    TempDir(const TempDir&)            = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() // removes the links in it, not what they point to
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// Sets an environment variable (value nullptr: unsets it) and restores it when it goes out of scope.
struct EnvGuard
{
    std::string name, value;
    bool had;
    explicit EnvGuard(const char* n, const char* pSet = nullptr) : name(n)
    {
        const char* v = getenv(n);
        had           = v != nullptr;
        value         = v ? v : "";
        if (pSet) setenv(n, pSet, 1);
    }
    ~EnvGuard() { had ? setenv(name.c_str(), value.c_str(), 1) : unsetenv(name.c_str()); }
};

struct Options
{
    std::vector<std::string> args;        // extra arguments, e.g. {"--frames", "200"}
    std::string script;                   // script text; written to a temporary file and passed with --script
    double fixedDt = 1.0 / 60.0;          // --fixed-dt; <= 0 leaves it out
    std::string saveDir;                  // --save-dir; empty: a fresh temporary folder, removed afterwards
    bool asTests        = true;           // --windowed (800 x 600 shots) and --save-dir; false: as a player
    std::string dataDir = SKARN_DATA_DIR; // --data-dir; empty leaves it out
    int timeoutSeconds  = 120;            // the child is killed after this long
    long fileSizeLimit  = 0; // > 0: writes past this many bytes of any file fail (EFBIG), as on a full disk
    bool drawAll        = false; // every frame drawn, not only those of --screenshot
};

struct Result
{
    int exitCode = -1000; // the child's exit code, 128..255 read as negative (exit(-1) gives -1)
    int signal   = 0;     // the signal that ended the child, 0 if it exited (SIGKILL: timed out)
    std::string out;      // standard output
    std::string err;      // standard error
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
    auto add                      = [&](bool on, std::initializer_list<std::string> more)
    {
        if (on) argv.insert(argv.end(), more);
    };
    add(!opt.drawAll, {"--draw-shots-only"});
    char dt[64];
    snprintf(dt, sizeof dt, "%.17g", opt.fixedDt);
    const std::string save = opt.saveDir.empty() ? work / "save" : opt.saveDir;
    if (opt.saveDir.empty()) mkdir(save.c_str(), 0700);
    add(opt.asTests, {"--windowed"});
    add(opt.fixedDt > 0.0, {"--fixed-dt", dt});
    add(opt.asTests, {"--save-dir", save});
    add(!opt.dataDir.empty(), {"--data-dir", opt.dataDir});
    add(!opt.script.empty() && WriteFile(work / "input.script", opt.script),
        {"--script", work / "input.script"});
    argv.insert(argv.end(), opt.args.begin(), opt.args.end());

    // Standard output and error go to files of the work folder, read once the child has ended.
    fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0) return res;
    if (pid == 0)
    {
        dup2(open((work / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        dup2(open((work / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1); // never the user's settings
        const rlimit size = {rlim_t(opt.fileSizeLimit), rlim_t(opt.fileSizeLimit)};
        if (opt.fileSizeLimit > 0 && signal(SIGXFSZ, SIG_IGN) != SIG_ERR) setrlimit(RLIMIT_FSIZE, &size);
        std::vector<char*> cargv;
        for (std::string& a : argv) cargv.push_back(a.data());
        cargv.push_back(nullptr);
        execv(cargv[0], cargv.data());
        _exit(127);
    }
    int status = 0;
    for (long ms = 0; waitpid(pid, &status, WNOHANG) == 0; ms += 5, usleep(5000))
        if (ms > opt.timeoutSeconds * TimeScale() * 1000) kill(pid, SIGKILL); // the loop's waitpid reaps it
    res.out = ReadFile(work / "out");
    res.err = ReadFile(work / "err");
    if (WIFEXITED(status)) res.exitCode = int(int8_t(WEXITSTATUS(status)));
    if (WIFSIGNALED(status)) res.signal = WTERMSIG(status);
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
