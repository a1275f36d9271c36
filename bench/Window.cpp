// The windowed figures: for each size, an X server without a GPU (Xvfb, so OpenGL is Mesa's llvmpipe) with
// the game full screen on it, the bot playing, once with SDL's software renderer (SDL_RENDER_DRIVER) and
// once with the renderer the game picks itself; then the reference scene in a full-screen window made by
// the platform layer as the game makes its own. A preloaded hook counts the presents (PresentHook.cpp);
// the CPU time of the game (every thread) and of the X server comes from /proc/PID/stat. Sound is off: the
// figures are the drawing's.
#include "Window.h"
#include "Process.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/PlatInternal.h"
#include "platform/Platform.h"

namespace
{

// Targets.
const double FPS_MIN_1080   = 60.0;
const double MS_MAX_1080    = 8.0;
const double MS_MAX_600     = 3.0;
const double VSYNC_CORE_MAX = 0.25;

const double START_S_MAX = 30.0; // from the start to the level
const double SETTLE_S    = 1.0;  // from the level (or the reference's first frame) to the measurement

double NowS()
{
    return double(NowNs()) / 1e9;
}

// CPU seconds of a process, every thread, from /proc/PID/stat (its name, in parentheses, may hold spaces).
double CpuSeconds(pid_t pid)
{
    char path[64], text[1024];
    snprintf(path, sizeof path, "/proc/%d/stat", int(pid));
    FILE* f = fopen(path, "r");
    if (!f) return 0.0;
    size_t n = fread(text, 1, sizeof text - 1, f);
    fclose(f);
    text[n]            = '\0';
    const char* pRest  = strrchr(text, ')');
    unsigned long user = 0, system = 0;
    if (!pRest ||
        sscanf(pRest + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system) != 2)
        return 0.0;
    return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

// Reads what the child writes until the text holds `wanted` (true) or until `until` (false); then goes on
// reading (so the child never blocks on a full pipe) until `until` when drain is set.
bool ReadUntil(int fd, std::string* pText, const char* pWanted, double until)
{
    for (double now = NowS(); now < until; now = NowS())
    {
        if (pWanted && pText->find(pWanted) != std::string::npos) return true;
        pollfd p = {fd, POLLIN, 0};
        if (poll(&p, 1, int((until - now) * 1000.0) + 1) <= 0) continue;
        char buf[4096];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) pText->append(buf, size_t(n));
        if (n == 0) usleep(10000); // the child closed it (exited): wait out the time
    }
    return pWanted && pText->find(pWanted) != std::string::npos;
}

// Xvfb of the size; *pDisplay gets its display (":N"). Zero when it does not start.
pid_t StartXvfb(int w, int h, std::string* pDisplay)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return 0;
    pid_t pid = Spawn({"Xvfb", "-displayfd", "1", "-screen", "0",
                       std::to_string(w) + "x" + std::to_string(h) + "x24", "-nolisten", "tcp"},
                      {}, fds[1], -1);
    close(fds[1]);
    std::string text;
    ReadUntil(fds[0], &text, "\n", NowS() + 10.0);
    close(fds[0]);
    if (text.empty() || text.back() != '\n')
    {
        Stop(pid);
        return 0;
    }
    *pDisplay = ":" + std::to_string(atoi(text.c_str()));
    return pid;
}

// The reference scene in a full-screen window, made and given its renderer by the platform layer as the
// game's is, until the process is ended.
int ReferenceLoop(void* pArg)
{
    volatile uint64_t* pCount = static_cast<volatile uint64_t*>(pArg);
    PlatConfigure(false);
    std::string why = PlatWindowCreate("Skarnhold reference scene", 0, 0, 800, 600, 640, 480);
    if (why.empty()) PlatWindowSetFullScreen();
    if (why.empty()) why = PlatRendererCreate();
    if (!why.empty())
    {
        fprintf(stderr, "bench: the reference scene has no window: %s\n", why.c_str());
        return 1;
    }
    for (;;)
    {
        SDL_PumpEvents();
        int w = 0, h = 0;
        PlatRendererGetOutputSize(&w, &h);
        DrawReference(PlatGetSdlRenderer(), w, h);
        __atomic_add_fetch(pCount, 1, __ATOMIC_RELAXED);
    }
}

// One run on the X server: the game (until the level) or the reference scene (until its first frame),
// then `seconds` measured. *pFps gets the frames a second, *pMs the CPU ms a frame of the process and of
// the X server, *pCore both in cores.
bool Measure(const WindowSettings& s, pid_t xvfb, const std::vector<std::string>& env, bool reference,
             bool vsync, double seconds, volatile uint64_t* pCounter, double* pFps, double pMs[2],
             double* pCore, std::string* pUsed = nullptr)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    *pCounter = 0;
    std::vector<std::string> argv;
    if (!reference)
    {
        argv = {s.game,  "--fullscreen", "--bot", "--sound",    "off", "--save-dir",
                s.saves, "--config-dir", s.saves, "--data-dir", s.data};
        if (vsync) argv.push_back("--vsync");
    }
    pid_t pid = Spawn(argv, env, -1, fds[1], ReferenceLoop, const_cast<uint64_t*>(pCounter));
    close(fds[1]);
    std::string text;
    bool ready = ReadUntil(fds[0], &text, reference ? "renderer: " : "state 1 -> 2\n", NowS() + START_S_MAX);
    ReadUntil(fds[0], &text, nullptr, NowS() + SETTLE_S);
    const double t0 = NowS(), c0 = CpuSeconds(pid), x0 = CpuSeconds(xvfb);
    const uint64_t n0 = *pCounter;
    if (ready) ReadUntil(fds[0], &text, nullptr, t0 + seconds);
    const double t1 = NowS(), c1 = CpuSeconds(pid), x1 = CpuSeconds(xvfb);
    const uint64_t frames = *pCounter - n0;
    Stop(pid);
    close(fds[0]);
    if (!ready || frames == 0)
    {
        fprintf(stderr, "bench: the %s did not %s on the X server:\n%s\n",
                reference ? "reference scene" : "game", reference ? "draw" : "reach the level", text.c_str());
        return false;
    }
    size_t at = text.find("renderer: ");
    if (pUsed && at != std::string::npos) *pUsed = text.substr(at + 10, text.find('\n', at) - at - 10);
    *pFps  = double(frames) / (t1 - t0);
    pMs[0] = (c1 - c0) * 1000.0 / double(frames);
    pMs[1] = (x1 - x0) * 1000.0 / double(frames);
    *pCore = (c1 - c0 + x1 - x0) / (t1 - t0);
    return true;
}

double LoadAverage()
{
    double load = 0.0;
    FILE* f     = fopen("/proc/loadavg", "r");
    if (f && fscanf(f, "%lf", &load) != 1) load = 0.0;
    if (f) fclose(f);
    return load;
}

} // namespace

void DrawReference(SDL_Renderer* pRenderer, int w, int h)
{
    SDL_SetRenderDrawBlendMode(pRenderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(pRenderer, 0, 0, 0, 0);
    SDL_RenderClear(pRenderer);
    auto quad = [pRenderer](float x, float y, float qw, float qh, Uint8 red, Uint8 green, Uint8 blue)
    {
        SDL_Color c    = {red, green, blue, 255};
        SDL_Vertex v[] = {{{x, y}, c, {0, 0}},           {{x, y + qh}, c, {0, 0}},
                          {{x + qw, y + qh}, c, {0, 0}}, {{x + qw, y + qh}, c, {0, 0}},
                          {{x + qw, y}, c, {0, 0}},      {{x, y}, c, {0, 0}}};
        SDL_RenderGeometry(pRenderer, nullptr, v, 6, nullptr, 0);
    };
    quad(0, 0, float(w), float(h), 40, 50, 70);
    const float qw = float(w) / 32.0f, qh = float(h) / 24.0f;
    for (int i = 0; i < 800; ++i)
    {
        int column = i % 32, row = (i / 32) % 24;
        quad(float(column) * qw, float(row) * qh, qw, qh, Uint8(100 + column * 4), Uint8(80 + row * 5), 60);
    }
    SDL_RenderPresent(pRenderer);
}

bool WindowMeasure(const WindowSettings& s, std::vector<WindowFigure>* pFigures)
{
    const std::string counterPath = s.saves + "/presents";
    volatile uint64_t* pCounter   = MapCounter(counterPath.c_str(), true);
    if (!pCounter) return false;
    const int sizes[2][2] = {{800, 600}, {1920, 1080}};
    for (const auto& size : sizes)
    {
        std::string display;
        pid_t xvfb = StartXvfb(size[0], size[1], &display);
        if (!xvfb)
        {
            fprintf(stderr, "bench: Xvfb did not start: the windowed figures are not measured\n");
            return false;
        }
        // Each renderer; at full HD the game's own with --vsync too.
        for (int run = 0; run < (size[0] == 1920 ? 3 : 2); ++run)
        {
            WindowFigure f                     = {size[0], size[1], run == 0, run == 2, 0, 0, 0, 0, 0, 0, ""};
            const std::vector<std::string> env = {
                "DISPLAY=" + display, "LD_PRELOAD=" + s.hook, "SKARN_BENCH_COUNT=" + counterPath,
                f.software ? "SDL_RENDER_DRIVER=software" : "SDL_RENDER_DRIVER="};
            double ms[2] = {0, 0}, refMs[2] = {0, 0}, core = 0;
            bool ok =
                Measure(s, xvfb, env, false, f.vsync, s.seconds, pCounter, &f.fps, ms, &f.core, &f.used);
            if (ok && !f.vsync)
                ok = Measure(s, xvfb, {env[0], env[3]}, true, false, s.seconds / 2.0, pCounter, &f.refFps,
                             refMs, &core);
            f.gameMs = ms[0];
            f.xMs    = ms[1];
            f.refMs  = refMs[0] + refMs[1];
            if (ok) pFigures->push_back(f);
        }
        Stop(xvfb);
    }
    munmap(const_cast<uint64_t*>(pCounter), sizeof(uint64_t));
    return true;
}

bool WindowPrint(FILE* pOut, const std::vector<WindowFigure>& figures, std::string* pSummary)
{
    fprintf(
        pOut,
        "Windowed: full screen on Xvfb (no GPU), the bot in the level, sound off; CPU of the game and the X "
        "server (load %.2f)\n",
        LoadAverage());
    fprintf(pOut, "  %-10s %-24s %9s %17s %14s %9s  %-20s\n", "size", "renderer (used)", "game fps",
            "CPU ms (X server)", "reference fps", "CPU ms", "target");
    bool allOk   = true;
    double ms600 = 0, ms1080 = 0, fps1080 = 1e9, vsyncCore = 0;
    for (const WindowFigure& f : figures)
    {
        const double ms = f.gameMs + f.xMs;
        char size[32], target[32] = "", game[32];
        snprintf(size, sizeof size, "%dx%d", f.w, f.h);
        bool ok = true;
        if (f.vsync)
        {
            snprintf(target, sizeof target, "<= %.0f %% of a core", VSYNC_CORE_MAX * 100.0);
            ok                         = f.core <= VSYNC_CORE_MAX;
            vsyncCore                  = f.core;
            const std::string renderer = "default (" + f.used + ") vsync";
            char share[32];
            snprintf(share, sizeof share, "%.0f %% of a core", f.core * 100.0);
            fprintf(pOut, "  %-10s %-24s %9.1f %17s %14s %9s  %-20s %s\n", size, renderer.c_str(), f.fps,
                    share, "", "", target, ok ? "ok" : "OVER");
            allOk = allOk && ok;
            continue;
        }
        if (f.w == 1920 && f.h == 1080)
        {
            snprintf(target, sizeof target, ">= %.0f fps, <= %.0f ms", FPS_MIN_1080, MS_MAX_1080);
            ok      = f.fps >= FPS_MIN_1080 && ms <= MS_MAX_1080;
            ms1080  = std::max(ms1080, ms);
            fps1080 = std::min(fps1080, f.fps);
        }
        if (f.w == 800 && f.h == 600)
        {
            snprintf(target, sizeof target, "<= %.0f ms", MS_MAX_600);
            ok    = ms <= MS_MAX_600;
            ms600 = std::max(ms600, ms);
        }
        snprintf(game, sizeof game, "%.2f (%.2f)", ms, f.xMs);
        const std::string renderer = std::string(f.software ? "software" : "default") + " (" + f.used + ")";
        fprintf(pOut, "  %-10s %-24s %9.1f %17s %14.1f %9.2f  %-20s %s\n", size, renderer.c_str(), f.fps,
                game, f.refFps, f.refMs, target, ok ? "ok" : "OVER");
        allOk = allOk && ok;
    }
    char fields[160];
    snprintf(fields, sizeof fields,
             " window_ms_600=%.2f window_ms_1080=%.2f window_fps_1080=%.0f vsync_core_1080=%.2f", ms600,
             ms1080, fps1080 == 1e9 ? 0.0 : fps1080, vsyncCore);
    *pSummary += fields;
    return allOk;
}
