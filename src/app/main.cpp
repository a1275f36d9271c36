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
const char* kUsage =
    "usage: skarnhold [options]\n"
    "  --windowed              start in the 800 x 600 window instead of full screen (this run only)\n"
    "  --fullscreen            start in full screen (this run only)\n"
    "  --sound on|off          sound on or off (this run only)\n"
    "  --geometry WxH          start in a window whose client area is W x H pixels (at least 640x480);\n"
    "                          F11 switches to full screen and back to this size (this run only)\n"
    "  --headless              draw without showing anything and play no sound\n"
    "  --fixed-dt S            every frame lasts exactly S seconds (0.00001 <= S <= 10)\n"
    "  --lockstep              one Update per frame with the frame time, instead of the steady\n"
    "                          simulation clock of 1 ms steps\n"
    "  --vsync                 present in step with the display's refresh (uses less CPU; this run\n"
    "                          only: 'vsync = on' in settings.ini keeps it on)\n"
    "  --record FILE           write every input of the simulation to the replay FILE\n"
    "  --replay FILE           play the inputs of the replay FILE (live input is ignored) and\n"
    "                          end where its recording ended (or at its last input)\n"
    "  --frames N              end after N frames\n"
    "  --script FILE           scripted input: lines of 'FRAME down|up VK', 'FRAME move X Y',\n"
    "                          'FRAME press|release BUTTON' (1 left, 2 right); '#' starts a comment\n"
    "  --screenshot FRAME:FILE save the picture of that frame as a PNG image (repeatable)\n"
    "  --data-dir DIR          the game's data folder (default: the one installed beside the program)\n"
    "  --save-dir DIR          keep the high scores and the editors' files in DIR instead of the\n"
    "                          per-user data folder\n"
    "  --config-dir DIR        keep settings.ini in DIR instead of ~/.config/skarnhold\n"
    "  --draw-shots-only       draw only the frames of --screenshot (the game's drawing code still runs)\n"
    "  --bot [human:SEED]      a bot plays (with --headless and no screenshots the level is not drawn);\n"
    "                          human:SEED: it presses like a newcomer, its errors drawn from SEED\n"
    "  --runs N                end when the Nth run is over\n"
    "  --memory-report         print the resident memory on standard error every 10 s of game time\n"
    "  --help                  show this text\n"
    "  --version               show the program's version\n";

int BadArgument(const std::string& what)
{
    fprintf(stderr, "skarnhold: %s\n%s", what.c_str(), kUsage);
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
} // namespace

int main(int argc, char** argv)
{
    GameRunOptions options;
    std::string dataDir;
    bool bot       = false;
    long humanSeed = -1;
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        const char* val = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needsValue = [&]() { return val != nullptr; };

        if (arg == "--help")
        {
            fputs(kUsage, stdout);
            return 0;
        }
        else if (arg == "--version")
        {
            printf("Skarnhold %s\n", SKARN_VERSION);
            return 0;
        }
        else if (arg == "--bot")
        {
            bot = true;
            if (val && strncmp(val, "human:", 6) == 0)
            {
                if (!ParseLong(val + 6, 0, UINT32_MAX, &humanSeed))
                    return BadArgument("--bot human:SEED needs a whole number SEED from 0 to 4294967295");
                ++i;
            }
        }
        else if (arg == "--runs")
        {
            long runs = 0;
            if (!ParseLong(val, 1, INT_MAX, &runs))
                return BadArgument("--runs needs a whole number from 1 on");
            gRunsToPlay = int(runs);
            ++i;
        }
        else if (arg == "--memory-report")
            options.memoryReport = true;
        else if (arg == "--windowed" || arg == "--fullscreen")
            options.fullScreen = arg == "--fullscreen" ? 1 : 0;
        else if (arg == "--geometry")
        {
            long w = 0, h = 0;
            const char* x = val ? strchr(val, 'x') : nullptr;
            if (!x || !ParseLong(std::string(val, x).c_str(), 640, 16384, &w) ||
                !ParseLong(x + 1, 480, 16384, &h))
                return BadArgument("--geometry needs WxH with W from 640 and H from 480 to 16384 pixels");
            options.fullScreen = 0;
            options.windowW    = int(w);
            options.windowH    = int(h);
            ++i;
        }
        else if (arg == "--sound")
        {
            if (!val || (strcmp(val, "on") != 0 && strcmp(val, "off") != 0))
                return BadArgument("--sound needs on or off");
            options.sound = strcmp(val, "on") == 0 ? 1 : 0;
            ++i;
        }
        else if (arg == "--headless")
            options.headless = true;
        else if (arg == "--draw-shots-only")
            options.drawShotsOnly = true;
        else if (arg == "--lockstep")
            options.lockstep = true;
        else if (arg == "--vsync")
            options.vsync = true;
        else if (arg == "--fixed-dt")
        {
            char* e  = nullptr;
            double s = val ? strtod(val, &e) : 0.0;
            // Below 10 us the 1 ms steps would come too seldom for anything to move.
            if (!needsValue() || *e || !std::isfinite(s) || s < 0.00001 || s > 10.0)
                return BadArgument("--fixed-dt needs a number of seconds from 0.00001 to 10");
            options.fixedDt = s;
            ++i;
        }
        else if (arg == "--frames")
        {
            if (!ParseLong(val, 1, LONG_MAX, &options.frames))
                return BadArgument("--frames needs a whole number from 1 on");
            ++i;
        }
        else if (arg == "--record" || arg == "--replay")
        {
            if (!needsValue() || !*val) return BadArgument(arg + " needs a file");
            (arg == "--record" ? options.recordPath : options.replayPath) = Absolute(val);
            ++i;
        }
        else if (arg == "--script")
        {
            if (!needsValue() || !*val) return BadArgument("--script needs a file");
            options.scriptPath = Absolute(val);
            ++i;
        }
        else if (arg == "--screenshot")
        {
            const char* colon = val ? strchr(val, ':') : nullptr;
            long frame        = 0;
            if (!colon || !colon[1] || !ParseLong(std::string(val, colon).c_str(), 1, LONG_MAX, &frame))
                return BadArgument("--screenshot needs FRAME:FILE with FRAME from 1 on");
            options.screenshots.push_back({frame, Absolute(colon + 1)});
            ++i;
        }
        else if (arg == "--data-dir")
        {
            if (!needsValue() || !*val) return BadArgument("--data-dir needs a folder");
            dataDir = val;
            ++i;
        }
        else if (arg == "--save-dir")
        {
            if (!needsValue() || !*val) return BadArgument("--save-dir needs a folder");
            gSaveDirOverride = Absolute(val);
            ++i;
        }
        else if (arg == "--config-dir")
        {
            if (!needsValue() || !*val) return BadArgument("--config-dir needs a folder");
            gConfigDirOverride = Absolute(val);
            ++i;
        }
        else
            return BadArgument("unknown option '" + arg + "'");
    }

    if (options.lockstep && (!options.recordPath.empty() || !options.replayPath.empty()))
        return BadArgument("--record and --replay need the steady clock (not --lockstep)");
    if (dataDir.empty())
    {
        dataDir = DefaultDataDir();
        if (dataDir.empty()) fprintf(stderr, "skarnhold: no data folder found; using the current folder\n");
    }
    if (!dataDir.empty() && chdir(dataDir.c_str()) != 0)
    {
        fprintf(stderr, "skarnhold: cannot enter the data folder '%s': %s\n", dataDir.c_str(),
                strerror(errno));
        return 2;
    }
    // A headless bot run that takes no screenshot shows nothing: it is not drawn and goes faster.
    options.noDraw = bot && options.headless && options.screenshots.empty();
    if (humanSeed >= 0)
        Bot::EnableHuman(uint32_t(humanSeed));
    else if (bot)
        Bot::Enable();
    States::Register();
    return GameMain(options);
}
