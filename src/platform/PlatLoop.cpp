// The frame loop: a plain loop on the desktop, the browser's animation frames in a web page.
#include "platform/Platform.h"

#ifdef __EMSCRIPTEN__
#include <cstdlib>
#include <emscripten.h>

static bool (*sFrame)(void*);
static int (*sEnd)(void*);
static void* sArg;

static void WebFrame()
{
    if (sFrame(sArg)) return;
    emscripten_cancel_main_loop();
    exit(sEnd(sArg));
}
#endif

int PlatRunLoop(bool (*pFrame)(void*), int (*pEnd)(void*), void* pArg)
{
#ifdef __EMSCRIPTEN__
    sFrame = pFrame;
    sEnd   = pEnd;
    sArg   = pArg;
    emscripten_set_main_loop(WebFrame, 0, 1); // the browser's frame rate; does not return
    return 0;
#else
    while (pFrame(pArg))
    {
    }
    return pEnd(pArg);
#endif
}
