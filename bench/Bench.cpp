// The frame-cost benchmark: headless, on the fixed clock, in one run.
//
//  - Update: the level's Update in busy frames (a full party of 15, three chunks laid, axes and particles
//    in flight), reached by the bot playing a map that gathers the whole party at the start; the median of
//    the best of several identical rounds.
//  - Frame: a whole level frame drawn by the software renderer at 800 x 600, against the reference scene
//    (a full-screen quad and 800 quads of 25 x 25 pixels, one geometry call each) drawn by the same renderer
//    right after it, frame by frame.
//  - Allocations: heap allocations of the game's thread during those frames.
//  - Load: the level's Load (best of several).
//  - First frame: the game started as a process until its first picture is presented (best of several).
//  - Peak memory: the larger of this process's and of a game process that runs splash, menu and level.
//  - Windowed: the game full screen on Xvfb at 800 x 600 and 1920 x 1080, with each renderer, beside the
//    reference scene in a window of that size (Window.cpp).
//
// The table goes to standard output, then the summary line; the game's own messages go to standard error.
#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <ftw.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "AllocCount.h"
#include "Process.h"
#include "Window.h"
#include "app/States.h"
#include "engine/KoFrameRateController.h"
#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "engine/KoSystem.h"
#include "framework/CommonLevel.h"
#include "framework/GameMain.h"
#include "framework/GameStateMgr.h"
#include "framework/HighScore.h"
#include "framework/Sound.h"
#include "level/Bot.h"
#include "level/GameState_Level.h"
#include "level/Hero.h"
#include "level/LevelRun.h"
#include "level/UI.h"
#include "level/ParticleSys.h"
#include "level/Terrain.h"
#include "platform/PlatInternal.h"
#include "platform/Platform.h"

namespace
{

struct Settings
{
    double dt         = 0.002; // the fixed clock
    int samples       = 3000;  // busy frames measured
    long frameLimit   = 200000;
    int runs          = 5;    // level loads and game starts
    int rounds        = 3;    // plays of the busy run
    bool games        = true; // run the game as a process (first frame, peak memory)
    bool draw         = true; // draw the level and the reference scene (off: profile Update alone)
    bool window       = true; // the windowed figures (Xvfb)
    double windowS    = 10.0; // seconds measured of each windowed game run
    std::string data  = SKARN_DATA_DIR;
    std::string game  = SKARN_EXE;
    std::string hook  = SKARN_BENCH_HOOK;
    std::string map0  = SKARN_BENCH_DIR "/busy-map0.txt";
    std::string chunk = SKARN_BENCH_DIR "/busy-chunk.txt";
    std::string saves = "";
};

// Targets.
const double UPDATE_US_MAX   = 25.0;
const double FRAME_RATIO_MAX = 1.4;
const double LOAD_MS_MAX     = 150.0;
const double FIRST_MS_MAX    = 150.0;
const double PEAK_MB_MAX     = 80.0;

// Frames drawn before the measurement starts, so that caches fill (texts, glyphs).
const long SETTLE_FRAMES = 500;

FILE* sOut = stdout; // the table (standard output before the game's messages were sent to standard error)

double Percentile(std::vector<double> v, double p)
{
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    size_t i = size_t(std::ceil(p / 100.0 * double(v.size()))) - (p > 0.0 ? 1 : 0);
    return v[std::min(i, v.size() - 1)];
}

double Median(const std::vector<double>& v)
{
    return Percentile(v, 50.0);
}

double Best(const std::vector<double>& v)
{
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

// ---------------------------------------------------------------------------------------------------------
// The level, frame by frame through the main loop's own frame

struct FrameCost
{
    double updateUs, frameUs;
    long allocs;
};

// The level's Update, timed. The measured one is a function of its own, so that profilers can single it out.
bool sMeasured      = false;
int64_t sUpdateNs   = 0;
GameStateFn sDrawFn = nullptr;

__attribute__((noinline)) void BusyLevelUpdate()
{
    GameStateLevelUpdate();
}

void TimedLevelUpdate()
{
    int64_t t0 = NowNs();
    if (sMeasured)
        BusyLevelUpdate();
    else
        GameStateLevelUpdate();
    sUpdateNs = NowNs() - t0;
}

void NoDraw() {}

// One frame of the game's own loop in the level, with its Update timed; draws or not.
FrameCost LevelFrame(const GameRunOptions& options, bool draw, bool measured)
{
    GameStateUpdate = TimedLevelUpdate;
    GameStateDraw   = draw ? sDrawFn : NoDraw;
    sMeasured       = measured;
    long allocs     = AllocCountMain();
    int64_t t0      = NowNs();
    GameFrame(options);
    FrameCost cost;
    cost.frameUs  = double(NowNs() - t0) / 1000.0;
    cost.updateUs = double(sUpdateNs) / 1000.0;
    cost.allocs   = AllocCountMain() - allocs;

    // A restart (the bot's, after a run ends) or any other way out starts the next run.
    if (gGameStateNext != GS_LEVEL && gGameStateNext != GS_QUIT)
    {
        GameStateLevelFree();
        KoSysReset();
        gGameStateNext = GS_LEVEL;
        GameStateLevelInit();
    }
    return cost;
}

struct Busy
{
    int members, chunks, axes, particles;
    bool running;
    bool Ok() const
    {
        return running && members >= PARTY_POWER_MAX && chunks >= 3 && axes > 0 && particles > 0;
    }
};

Busy LevelBusy()
{
    Busy b;
    b.members = 0;
    for (const Hero& h : gHeroes)
        if (h.body && (h.body->flag & (FLAG_ACTIVE | FLAG_IN_PARTY)) == (FLAG_ACTIVE | FLAG_IN_PARTY))
            ++b.members;
    b.chunks          = int(gChunkStartX / float(MAP_WIDTH) + 0.5f);
    b.axes            = gAxesInFlight;
    b.particles       = 0;
    const Particle* p = ParticleSys::ParticleList();
    for (int i = 0; i < PARTICLE_NUM_MAX; ++i)
        if (p[i].flag & FLAG_ACTIVE) ++b.particles;
    b.running = !Run::Get().paused && !gTutorialShowing && !Run::Get().gameOver;
    return b;
}

// ---------------------------------------------------------------------------------------------------------
// The game as a process

// Runs the game with the arguments; *pFirstMs gets the time from the start of the process to its first
// presented picture (when pFirstMs is set), *pPeakMb its peak resident memory. False when it failed.
bool RunGame(const Settings& s, const std::vector<std::string>& args, double* pFirstMs, double* pPeakMb)
{
    int fds[2]; // the hook writes the first frame's time into fds[1], the game's only descriptor of them
    if (pipe(fds) != 0) return false;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    std::vector<std::string> argv = {s.game,         "--headless", "--windowed", "--save-dir", s.saves,
                                     "--config-dir", s.saves,      "--data-dir", s.data};
    argv.insert(argv.end(), args.begin(), args.end());

    const int64_t t0             = NowNs();
    std::vector<std::string> env = {"SKARN_BENCH_T0=" + std::to_string(t0),
                                    "SKARN_BENCH_FD=" + std::to_string(fds[1])};
    if (pFirstMs) env.push_back("LD_PRELOAD=" + s.hook);
    pid_t pid = Spawn(argv, env, -1, -1);
    close(fds[1]);
    if (pid < 0)
    {
        close(fds[0]);
        return false;
    }
    std::string text;
    char buf[64];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) text.append(buf, size_t(n));
    close(fds[0]);
    int status = 0;
    rusage usage;
    if (wait4(pid, &status, 0, &usage) != pid) return false;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    {
        fprintf(stderr, "bench: the game run failed (status %d)\n", status);
        return false;
    }
    if (pPeakMb) *pPeakMb = double(usage.ru_maxrss) / 1024.0;
    if (pFirstMs)
    {
        if (text.empty()) return false;
        *pFirstMs = double(strtoll(text.c_str(), nullptr, 10)) / 1e6;
    }
    return true;
}

std::string Fixed(double v)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// Splash, menu (Play clicked once the menu takes clicks) and some seconds of the level.
bool GamePeak(const Settings& s, double* pPeakMb)
{
    const double dt  = 0.01;
    long play        = long(std::ceil(3.6 / dt));
    std::string path = s.saves + "/peak.script";
    FILE* f          = fopen(path.c_str(), "w");
    if (!f) return false;
    fprintf(f, "%ld move 400 300\n%ld press 1\n%ld release 1\n", play, play, play + 2);
    fclose(f);
    return RunGame(s, {"--fixed-dt", Fixed(dt), "--frames", std::to_string(play + 600), "--script", path},
                   nullptr, pPeakMb);
}

std::vector<WindowFigure> WindowFigures(const Settings& s)
{
    std::vector<WindowFigure> figures;
    if (!s.window) return figures;
    WindowSettings ws;
    ws.game    = s.game;
    ws.hook    = s.hook;
    ws.data    = s.data;
    ws.saves   = s.saves;
    ws.seconds = s.windowS;
    WindowMeasure(ws, &figures);
    return figures;
}

void Usage()
{
    fprintf(stderr, "usage: skarn_bench [--samples N] [--runs N] [--rounds N] [--fixed-dt S] [--data-dir "
                    "DIR] [--game EXE] [--window-seconds S] [--no-window] [--no-games] [--no-draw]\n");
}

bool ParseArgs(int argc, char** argv, Settings* s)
{
    for (int i = 1; i < argc; ++i)
    {
        std::string a   = argv[i];
        const char* val = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--no-games" || a == "--no-draw" || a == "--no-window")
        {
            (a == "--no-games" ? s->games : a == "--no-draw" ? s->draw : s->window) = false;
            continue;
        }
        if (!val) return false;
        if (a == "--samples")
            s->samples = std::max(100, atoi(val));
        else if (a == "--runs")
            s->runs = std::max(1, atoi(val));
        else if (a == "--rounds")
            s->rounds = std::max(1, atoi(val));
        else if (a == "--fixed-dt")
            s->dt = std::max(1e-5, atof(val));
        else if (a == "--data-dir")
            s->data = val;
        else if (a == "--game")
            s->game = val;
        else if (a == "--window-seconds")
            s->windowS = std::max(1.0, atof(val));
        else
            return false;
        ++i;
    }
    return true;
}

void Row(const char* what, const char* value, const char* target, bool ok)
{
    fprintf(sOut, "  %-44s %14s  %-10s %s\n", what, value, target, ok ? "ok" : "OVER");
}

std::string Num(const char* format, double v)
{
    char buf[64];
    snprintf(buf, sizeof buf, format, v);
    return buf;
}

// What the benchmark measured.
struct Figures
{
    std::vector<WindowFigure> window;
    std::vector<double> firstMs, loadMs;
    std::vector<double> updateUs, roundMedians; // every busy frame's Update; each round's median
    std::vector<double> frameUs, refUs;         // every busy frame; the reference scene after it
    long allocs = 0, allocsMax = 0, otherAllocs = 0, frames = 0;
    double gamePeakMb = 0.0, selfPeakMb = 0.0;
};

// Start-up to the first frame, in processes of their own (best of the runs).
bool MeasureFirstFrames(const Settings& s, Figures* pF)
{
    for (int i = 0; i < s.runs && s.games; ++i)
    {
        double ms = 0.0;
        if (!RunGame(s, {"--fixed-dt", Fixed(s.dt), "--frames", "1"}, &ms, nullptr))
        {
            fprintf(stderr, "bench: the game did not present a first frame\n");
            return false;
        }
        pF->firstMs.push_back(ms);
    }
    return true;
}

// The peak memory of a whole game, in a process of its own.
void MeasureGamePeak(const Settings& s, Figures* pF)
{
    if (s.games && !GamePeak(s, &pF->gamePeakMb)) fprintf(stderr, "bench: the whole-game run failed\n");
}

// This process: the engine, headless, on the fixed clock, in the level's state.
bool StartEngine(const Settings& s, GameRunOptions* pOptions)
{
    PlatConfigure(true);
    KoFrameRateControllerSetFixed(s.dt);
    gSaveDirOverride = s.saves;
    BuildSaveFolder();
    KoSysSetWindowTitle(gWindowTitle.c_str());
    const std::string why = KoSysInit();
    if (!why.empty())
    {
        fprintf(stderr, "bench: the window or its drawing device could not be created: %s\n", why.c_str());
        return false;
    }
    SoundInit();
    gKoGfxFullScreen = false;
    gGameStateCurr = gGameStatePrev = gGameStateNext = GS_LEVEL;
    States::Register();
    GameStateMgrUpdate();
    sDrawFn              = GameStateDraw;
    pOptions->headless   = true;
    pOptions->fullScreen = 0;
    pOptions->fixedDt    = s.dt;
    return true;
}

// The level's Load (best of the runs); the last one stays loaded.
void MeasureLoads(const Settings& s, Figures* pF)
{
    for (int i = 0; i < s.runs; ++i)
    {
        KoSysReset();
        int64_t t0 = NowNs();
        GameStateLevelLoad();
        pF->loadMs.push_back(double(NowNs() - t0) / 1e6);
        if (i + 1 < s.runs) GameStateLevelUnload();
    }
}

// The busy run: the bench maps (the party gathers at the end of map 0, every later chunk has princesses out
// of reach for the followers to throw at), the bot playing.
bool StartBusyRun(const Settings& s)
{
    for (int k = 0; k < MAP_NUM; ++k)
    {
        const std::string& path = k == 0 ? s.map0 : s.chunk;
        if (!Terrain::ReadMap(path.c_str(), Terrain::GetMap(k)))
        {
            fprintf(stderr, "bench: cannot read %s\n", path.c_str());
            return false;
        }
    }
    Bot::Enable();
    return true;
}

// A measured busy frame: its whole cost and allocations, then the reference scene drawn right after it.
void MeasureFrame(const Settings& s, const FrameCost& cost, long otherAllocs, Figures* pF)
{
    pF->otherAllocs += otherAllocs;
    pF->frameUs.push_back(cost.frameUs);
    pF->allocs += cost.allocs;
    pF->allocsMax = std::max(pF->allocsMax, cost.allocs);
    if (!s.draw) return;
    int64_t r0 = NowNs();
    DrawReference(PlatGetSdlRenderer(), 800, 600);
    pF->refUs.push_back(double(NowNs() - r0) / 1000.0);
    // The reference scene drew over the level's picture: its next frame draws every cell.
    PlatFramePictureLost();
}

// One play of the busy run until s.samples busy frames are measured; their Update times go to *pRoundUs.
void PlayRound(const Settings& s, const GameRunOptions& options, int round, std::vector<double>* pRoundUs,
               Figures* pF)
{
    if (round > 0) GameStateLevelFree();
    KoSysReset();
    gGameStateNext = GS_LEVEL;
    GameStateLevelInit();
    long roundFrames = 0, settle = -1; // drawing starts with the first busy frame; measuring a little later
    while (long(pRoundUs->size()) < s.samples && roundFrames < s.frameLimit && gGameStateNext == GS_LEVEL)
    {
        Busy busy   = LevelBusy();
        long other0 = AllocCountOther();
        if (settle < 0 && busy.Ok()) settle = SETTLE_FRAMES;
        FrameCost cost = LevelFrame(options, settle >= 0 && s.draw, settle == 0 && busy.Ok());
        ++roundFrames;
        if (roundFrames % 5000 == 0)
            fprintf(stderr,
                    "bench: round %d, frame %ld: %d members, %d chunks, %d axes, %d particles; %zu busy "
                    "frames\n",
                    round + 1, roundFrames, busy.members, busy.chunks, busy.axes, busy.particles,
                    pRoundUs->size());
        if (settle > 0) --settle;
        if (settle != 0 || !busy.Ok()) continue;
        const long otherAllocs = AllocCountOther() - other0;
        pRoundUs->push_back(cost.updateUs);
        MeasureFrame(s, cost, otherAllocs, pF);
    }
    pF->frames += roundFrames;
}

// The same busy run is played several times: its frames are identical in every round, so the rounds
// differ only by what else the machine was doing, and the round with the lowest Update median is the
// measure of the level's own cost (as the loads and the starts are measured by their best run). The frame
// costs, the reference scene and the allocations count every round.
void MeasureUpdates(const Settings& s, const GameRunOptions& options, Figures* pF)
{
    for (int round = 0; round < s.rounds; ++round)
    {
        std::vector<double> roundUs;
        PlayRound(s, options, round, &roundUs, pF);
        if (roundUs.empty()) break;
        pF->roundMedians.push_back(Median(roundUs));
        pF->updateUs.insert(pF->updateUs.end(), roundUs.begin(), roundUs.end());
    }
    GameStateLevelFree();
    GameStateLevelUnload();
}

// This process's peak memory.
double SelfPeakMb()
{
    rusage self;
    getrusage(RUSAGE_SELF, &self);
    return double(self.ru_maxrss) / 1024.0;
}

// The table with the targets, then the summary line.
void PrintSummary(const Settings& s, const Figures& f)
{
    double uMed = Best(f.roundMedians), u99 = Percentile(f.updateUs, 99.0);
    double fMed = Median(f.frameUs), rMed = Median(f.refUs);
    double ratio = fMed / rMed;
    double apf   = double(f.allocs) / double(f.updateUs.size());
    double load = Best(f.loadMs), first = Best(f.firstMs);
    double peak = std::max(f.selfPeakMb, f.gamePeakMb);

    fprintf(sOut,
            "Skarnhold benchmark: %d busy frames of %ld in %d rounds on a %.4g s fixed clock, headless, 800 "
            "x 600\n",
            int(f.updateUs.size()), f.frames, int(f.roundMedians.size()), s.dt);

    Row("level Update, median (us, best of rounds)", Num("%.2f", uMed).c_str(), "<= 25",
        uMed <= UPDATE_US_MAX);
    std::string rounds;
    for (double m : f.roundMedians) rounds += (rounds.empty() ? "" : "/") + Num("%.1f", m);
    Row("level Update, median of each round (us)", rounds.c_str(), "", true);
    Row("level Update, 99th percentile (us)", Num("%.2f", u99).c_str(), "", true);
    Row("level frame, median (us)", Num("%.1f", fMed).c_str(), "", true);
    Row("reference scene, median (us)", Num("%.1f", rMed).c_str(), "", true);
    Row("frame ratio (level / reference)", Num("%.3f", ratio).c_str(), "<= 1.4", ratio <= FRAME_RATIO_MAX);
    Row("heap allocations per frame", Num("%.4f", apf).c_str(), "0", f.allocs == 0);
    Row("  most in one frame / other threads",
        (std::to_string(f.allocsMax) + " / " + std::to_string(f.otherAllocs)).c_str(), "", true);
    Row("level Load (ms, best of runs)", Num("%.1f", load).c_str(), "<= 150", load <= LOAD_MS_MAX);
    Row("level Load (ms, median)", Num("%.1f", Median(f.loadMs)).c_str(), "", true);
    Row("start-up to first frame (ms, best of runs)", Num("%.1f", first).c_str(), "<= 150",
        first <= FIRST_MS_MAX);
    Row("start-up to first frame (ms, median)", Num("%.1f", Median(f.firstMs)).c_str(), "", true);
    Row("peak memory, this process (MB)", Num("%.1f", f.selfPeakMb).c_str(), "", true);
    Row("peak memory, splash-menu-level game (MB)", Num("%.1f", f.gamePeakMb).c_str(), "", true);
    Row("peak memory (MB)", Num("%.1f", peak).c_str(), "<= 80", peak <= PEAK_MB_MAX);
    std::string windowFields;
    if (!f.window.empty()) WindowPrint(sOut, f.window, &windowFields);
    fprintf(sOut,
            "bench: update_us=%.2f frame_ratio=%.3f allocs_per_frame=%.4g load_ms=%.1f first_frame_ms=%.1f "
            "peak_mb=%.1f%s\n",
            uMed, ratio, apf, load, first, peak, windowFields.c_str());
    fflush(sOut);
}

// Every step in turn, with the data folder as the working directory; the exit code.
int RunBench(const Settings& s)
{
    if (chdir(s.data.c_str()) != 0)
    {
        fprintf(stderr, "bench: cannot enter the data folder %s\n", s.data.c_str());
        return 1;
    }
    Figures f;
    // The windowed figures first: their reference scene runs in a child of this process, before SDL starts
    // here.
    f.window = WindowFigures(s);
    if (!MeasureFirstFrames(s, &f)) return 1;
    MeasureGamePeak(s, &f);
    GameRunOptions options;
    if (!StartEngine(s, &options)) return 1;
    MeasureLoads(s, &f);
    if (!StartBusyRun(s)) return 1;
    MeasureUpdates(s, options, &f);
    f.selfPeakMb = SelfPeakMb();
    if (f.updateUs.empty())
    {
        fprintf(stderr, "bench: no busy frame in %ld frames\n", f.frames);
        return 1;
    }
    PrintSummary(s, f);
    SoundRelease();
    KoSysExit();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    AllocCountSetMainThread();
    Settings s;
    if (!ParseArgs(argc, argv, &s))
    {
        Usage();
        return 2;
    }
    // The table keeps standard output; what the game prints goes to standard error.
    sOut = fdopen(dup(1), "w");
    dup2(2, 1);

    char saves[] = "/tmp/skarn-bench-XXXXXX";
    if (!mkdtemp(saves))
    {
        fprintf(stderr, "bench: no temporary folder\n");
        return 1;
    }
    s.saves          = saves;
    const int result = RunBench(s);
    nftw(
        saves, [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 8,
        FTW_DEPTH | FTW_PHYS);
    return result;
}
