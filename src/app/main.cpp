// The program's command line: options for players and for reproducible test runs, the data folder, then
// the entry function.
#include "app/States.h"
#include "framework/GameMain.h"
#include "framework/Settings.h"
#include "level/Bot.h"
#include "level/GameState_Level.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::string Usage();

int BadArgument(const std::string& what)
{
    fprintf(stderr, "skarnhold: %s\n%s", what.c_str(), Usage().c_str());
    return 2;
}

bool ParseLong(const char* s, long lo, long hi, long* pOut)
{
    if (!s || !(*s >= '0' && *s <= '9')) return false;
    errno   = 0;
    char* e = nullptr;
    long v  = strtol(s, &e, 10);
    if (errno || *e || v < lo || v > hi) return false;
    *pOut = v;
    return true;
}

bool IsDir(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A path given relative to the folder the program was started from stays valid after the data folder
// becomes the working directory.
std::string Absolute(const std::string& path)
{
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

// The data folder, found from the program's own place whatever the working directory: the installed
// layout (SKARN_DATA_FROM_PROGRAM, e.g. ../share/games/skarnhold beside games/skarnhold), then a data/
// folder beside the program or above it (the build tree), then the source tree's.
std::string DefaultDataDir()
{
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0)
    {
        exe[n]          = '\0';
        std::string dir = exe;
        dir             = dir.substr(0, dir.rfind('/'));
#ifdef SKARN_DATA_FROM_PROGRAM
        if (IsDir(dir + "/" SKARN_DATA_FROM_PROGRAM "/Meshes")) return dir + "/" SKARN_DATA_FROM_PROGRAM;
#endif
        for (const char* rel : {"/data", "/../data"})
            if (IsDir(dir + rel + "/Meshes")) return dir + rel;
    }
#ifdef SKARN_SOURCE_DATA_DIR
    if (IsDir(SKARN_SOURCE_DATA_DIR)) return SKARN_SOURCE_DATA_DIR;
#endif
    return std::string();
}

// What the command line chose.
GameRunOptions sOptions;
std::string sDataDir;
bool sBot       = false;
long sHumanSeed = -1;
bool sAnswered  = false; // --help or --version printed what was asked: the program ends there

// Takes the argument after the option (null at the end of the command line); returns how many arguments it
// used (0 or 1), or -1 when the value is wrong.
typedef int (*OptionTake)(const char* value);

struct Option
{
    const char* name;  // "--frames"
    const char* value; // the value as the help shows it ("N"; "" for none)
    bool* pSwitch;     // what an option without a value turns on (then take is null)
    OptionTake take;   // what takes the option's value
    const char* wrong; // said after the name when the value is wrong ("needs a whole number from 1 on")
    const char* help;  // the lines of the help text
};

// A whole number from lo to hi: 1 (the argument used), or -1.
int TakeLong(const char* value, long lo, long hi, long* pOut)
{
    return ParseLong(value, lo, hi, pOut) ? 1 : -1;
}

// A file or folder that must be named; made absolute unless it is the data folder (see Absolute).
int TakePath(const char* value, std::string* pOut, bool absolute = true)
{
    if (!value || !*value) return -1;
    *pOut = absolute ? Absolute(value) : value;
    return 1;
}

int TakeGeometry(const char* value)
{
    long w = 0, h = 0;
    const char* x = value ? strchr(value, 'x') : nullptr;
    if (!x || !ParseLong(std::string(value, x).c_str(), 640, 16384, &w) || !ParseLong(x + 1, 480, 16384, &h))
        return -1;
    sOptions.fullScreen = 0;
    sOptions.windowW    = int(w);
    sOptions.windowH    = int(h);
    return 1;
}

int TakeFixedDt(const char* value)
{
    char* e  = nullptr;
    double s = value ? strtod(value, &e) : 0.0;
    // Below 10 us the 1 ms steps would come too seldom for anything to move.
    if (!value || *e || !std::isfinite(s) || s < 0.00001 || s > 10.0) return -1;
    sOptions.fixedDt = s;
    return 1;
}

int TakeScreenshot(const char* value)
{
    const char* colon = value ? strchr(value, ':') : nullptr;
    long frame        = 0;
    if (!colon || !colon[1] || !ParseLong(std::string(value, colon).c_str(), 1, LONG_MAX, &frame)) return -1;
    sOptions.screenshots.push_back({frame, Absolute(colon + 1)});
    return 1;
}

// The bot takes the next argument only when it is human:SEED.
int TakeBot(const char* value)
{
    sBot = true;
    if (!value || strncmp(value, "human:", 6) != 0) return 0;
    return TakeLong(value + 6, 0, UINT32_MAX, &sHumanSeed);
}

int TakeSound(const char* value)
{
    if (!value || (strcmp(value, "on") != 0 && strcmp(value, "off") != 0)) return -1;
    sOptions.sound = strcmp(value, "on") == 0 ? 1 : 0;
    return 1;
}

int TakeRuns(const char* value)
{
    long runs = 0;
    if (TakeLong(value, 1, INT_MAX, &runs) < 0) return -1;
    gRunsToPlay = int(runs);
    return 1;
}

int TakeWindowed(const char*)
{
    sOptions.fullScreen = 0;
    return 0;
}

int TakeFullScreen(const char*)
{
    sOptions.fullScreen = 1;
    return 0;
}

int TakeHelp(const char*)
{
    fputs(Usage().c_str(), stdout);
    sAnswered = true;
    return 0;
}

int TakeVersion(const char*)
{
    printf("Skarnhold %s\n", SKARN_VERSION);
    sAnswered = true;
    return 0;
}

// The options in the order of the help text.
const Option OPTIONS[] = {
    {"--windowed", "", nullptr, TakeWindowed, "",
     "start in the 800 x 600 window instead of full screen (this run only)"},
    {"--fullscreen", "", nullptr, TakeFullScreen, "", "start in full screen (this run only)"},
    {"--sound", "on|off", nullptr, TakeSound, "needs on or off", "sound on or off (this run only)"},
    {"--geometry", "WxH", nullptr, TakeGeometry, "needs WxH with W from 640 and H from 480 to 16384 pixels",
     "start in a window whose client area is W x H pixels (at least 640x480);\n"
     "F11 switches to full screen and back to this size (this run only)"},
    {"--headless", "", &sOptions.headless, nullptr, "", "draw without showing anything and play no sound"},
    {"--fixed-dt", "S", nullptr, TakeFixedDt, "needs a number of seconds from 0.00001 to 10",
     "every frame lasts exactly S seconds (0.00001 <= S <= 10)"},
    {"--lockstep", "", &sOptions.lockstep, nullptr, "",
     "one Update per frame with the frame time, instead of the steady\nsimulation clock of 1 ms steps"},
    {"--vsync", "", &sOptions.vsync, nullptr, "",
     "present in step with the display's refresh (uses less CPU; this run\n"
     "only: 'vsync = on' in settings.ini keeps it on)"},
    {"--record", "FILE", nullptr, [](const char* v) { return TakePath(v, &sOptions.recordPath); },
     "needs a file", "write every input of the simulation to the replay FILE"},
    {"--replay", "FILE", nullptr, [](const char* v) { return TakePath(v, &sOptions.replayPath); },
     "needs a file",
     "play the inputs of the replay FILE (live input is ignored) and\n"
     "end where its recording ended (or at its last input)"},
    {"--frames", "N", nullptr, [](const char* v) { return TakeLong(v, 1, LONG_MAX, &sOptions.frames); },
     "needs a whole number from 1 on", "end after N frames"},
    {"--script", "FILE", nullptr, [](const char* v) { return TakePath(v, &sOptions.scriptPath); },
     "needs a file",
     "scripted input: lines of 'FRAME down|up VK', 'FRAME move X Y',\n"
     "'FRAME press|release BUTTON' (1 left, 2 right); '#' starts a comment"},
    {"--screenshot", "FRAME:FILE", nullptr, TakeScreenshot, "needs FRAME:FILE with FRAME from 1 on",
     "save the picture of that frame as a PNG image (repeatable)"},
    {"--data-dir", "DIR", nullptr, [](const char* v) { return TakePath(v, &sDataDir, false); },
     "needs a folder", "the game's data folder (default: the one installed beside the program)"},
    {"--save-dir", "DIR", nullptr, [](const char* v) { return TakePath(v, &gSaveDirOverride); },
     "needs a folder",
     "keep the high scores and the editors' files in DIR instead of the\nper-user data folder"},
    {"--config-dir", "DIR", nullptr, [](const char* v) { return TakePath(v, &gConfigDirOverride); },
     "needs a folder", "keep settings.ini in DIR instead of ~/.config/skarnhold"},
    {"--draw-shots-only", "", &sOptions.drawShotsOnly, nullptr, "",
     "draw only the frames of --screenshot (the game's drawing code still runs)"},
    {"--bot", "[human:SEED]", nullptr, TakeBot, "human:SEED needs a whole number SEED from 0 to 4294967295",
     "a bot plays (with --headless and no screenshots the level is not drawn);\n"
     "human:SEED: it presses like a newcomer, its errors drawn from SEED"},
    {"--runs", "N", nullptr, TakeRuns, "needs a whole number from 1 on", "end when the Nth run is over"},
    {"--memory-report", "", &sOptions.memoryReport, nullptr, "",
     "print the resident memory on standard error every 10 s of game time"},
    {"--help", "", nullptr, TakeHelp, "", "show this text"},
    {"--version", "", nullptr, TakeVersion, "", "show the program's version"},
};

// The help text: each option with its value, its help from the 27th column on.
std::string Usage()
{
    std::string usage = "usage: skarnhold [options]\n";
    char line[128];
    for (const Option& o : OPTIONS)
    {
        snprintf(line, sizeof line, "  %-23s ",
                 (std::string(o.name) + (*o.value ? " " : "") + o.value).c_str());
        usage += line;
        for (const char* h = o.help; *h; ++h)
            usage += *h == '\n' ? "\n" + std::string(26, ' ') : std::string(1, *h);
        usage += "\n";
    }
    return usage;
}
} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
    {
        const Option* pOption = nullptr;
        for (const Option& o : OPTIONS)
            if (strcmp(argv[i], o.name) == 0) pOption = &o;
        if (!pOption) return BadArgument(std::string("unknown option '") + argv[i] + "'");
        if (pOption->pSwitch)
        {
            *pOption->pSwitch = true;
            continue;
        }
        const int used = pOption->take(i + 1 < argc ? argv[i + 1] : nullptr);
        if (used < 0) return BadArgument(std::string(pOption->name) + " " + pOption->wrong);
        if (sAnswered) return 0;
        i += used;
    }

    if (sOptions.lockstep && (!sOptions.recordPath.empty() || !sOptions.replayPath.empty()))
        return BadArgument("--record and --replay need the steady clock (not --lockstep)");
    if (sDataDir.empty())
    {
        sDataDir = DefaultDataDir();
        if (sDataDir.empty()) fprintf(stderr, "skarnhold: no data folder found; using the current folder\n");
    }
    if (!sDataDir.empty() && chdir(sDataDir.c_str()) != 0)
    {
        fprintf(stderr, "skarnhold: cannot enter the data folder '%s': %s\n", sDataDir.c_str(),
                strerror(errno));
        return 2;
    }
    // A headless bot run that takes no screenshot shows nothing: it is not drawn and goes faster.
    sOptions.noDraw = sBot && sOptions.headless && sOptions.screenshots.empty();
    if (sHumanSeed >= 0)
        Bot::EnableHuman(uint32_t(sHumanSeed));
    else if (sBot)
        Bot::Enable();
    States::Register();
    return GameMain(sOptions);
}
