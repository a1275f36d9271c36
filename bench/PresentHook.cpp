// Preloaded into the game by the benchmark; watches the game's presents.
//  - First frame: when the game presents its first picture, writes the time since the benchmark started
//    the process (nanoseconds of the monotonic clock) to a file descriptor. The environment carries the
//    start time (SKARN_BENCH_T0) and the descriptor (SKARN_BENCH_FD).
//  - Frame count: every present adds one to the 64-bit counter at the start of the file named by
//    SKARN_BENCH_COUNT (mapped shared, so the benchmark reads it while the game runs; no system call a
//    frame).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

#include "Process.h"

struct SDL_Renderer;
struct SDL_Window;
struct SDL_Rect;

static void ReportFirstFrame()
{
    const char* t0   = getenv("SKARN_BENCH_T0");
    const char* fdes = getenv("SKARN_BENCH_FD");
    if (!t0 || !fdes) return;
    int64_t ns = NowNs() - strtoll(t0, nullptr, 10);
    char text[32];
    int n = snprintf(text, sizeof text, "%lld\n", (long long)ns);
    if (write(atoi(fdes), text, size_t(n)) != n) return;
}

// Counts a present, and reports the first.
static void Presented()
{
    static volatile uint64_t* sCount = MapCounter(getenv("SKARN_BENCH_COUNT"), false);
    static bool sReported            = false;
    if (sCount) __atomic_add_fetch(sCount, 1, __ATOMIC_RELAXED);
    if (sReported) return;
    sReported = true;
    ReportFirstFrame();
}

// The game presents through the renderer, or (its retained software picture) sends the window's surface.
extern "C" void SDL_RenderPresent(SDL_Renderer* pRenderer)
{
    typedef void (*PresentFn)(SDL_Renderer*);
    static PresentFn sReal = reinterpret_cast<PresentFn>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    if (sReal) sReal(pRenderer);
    Presented();
}

extern "C" int SDL_UpdateWindowSurface(SDL_Window* pWindow)
{
    typedef int (*UpdateFn)(SDL_Window*);
    static UpdateFn sReal = reinterpret_cast<UpdateFn>(dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface"));
    int result            = sReal ? sReal(pWindow) : -1;
    Presented();
    return result;
}

extern "C" int SDL_UpdateWindowSurfaceRects(SDL_Window* pWindow, const SDL_Rect* pRects, int rectNum)
{
    typedef int (*UpdateFn)(SDL_Window*, const SDL_Rect*, int);
    static UpdateFn sReal = reinterpret_cast<UpdateFn>(dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects"));
    int result            = sReal ? sReal(pWindow, pRects, rectNum) : -1;
    Presented();
    return result;
}
