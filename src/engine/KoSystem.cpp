// The system layer: the game window and its device, the window-procedure logic that turns window events
// into input, activity and device resets, and init, reset, frame start, frame end and exit.
#include "engine/KoSystem.h"
#include "engine/KoFrameRateController.h"
#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "platform/Platform.h"

bool gKoSysWindowExists = false;
bool gKoSysWindowActive = false;

static const char* sWindowTitle = "Marl Engine";
static bool sMinMaxFlag         = false; // the window is minimised or maximised

static const int KO_SYS_WINDOW_X = 100;
static const int KO_SYS_WINDOW_Y = 100;
static int sWindowW              = 800;
static int sWindowH              = 600;

void KoSysSetWindowSize(int w, int h)
{
    sWindowW = w < KO_SYS_WINDOW_MIN_W ? KO_SYS_WINDOW_MIN_W : w;
    sWindowH = h < KO_SYS_WINDOW_MIN_H ? KO_SYS_WINDOW_MIN_H : h;
}

void KoSysSetWindowTitle(const char* pTitle)
{
    sWindowTitle = pTitle ? pTitle : "";
    PlatWindowSetTitle(sWindowTitle);
}

const char* KoSysGetWindowTitle()
{
    return sWindowTitle;
}

std::string KoSysInit()
{
    std::string why = PlatWindowCreate(sWindowTitle, KO_SYS_WINDOW_X, KO_SYS_WINDOW_Y, sWindowW, sWindowH,
                                       KO_SYS_WINDOW_MIN_W, KO_SYS_WINDOW_MIN_H);
    if (!why.empty()) return why;
    // Showing the new window activates it.
    PlatWindowShow();
    gKoSysWindowExists = true;
    gKoSysWindowActive = true;
    sMinMaxFlag        = false;
    if (!KoInputInit()) return "there is no mouse";
    why = KoGfxInit();
    if (!why.empty()) return why;
    if (!KoFrameRateControllerInit()) return "the frame-rate controller could not start";
    KoFrameRateControllerReset();
    KoInputReset();
    return std::string();
}

void KoSysReset()
{
    KoFrameRateControllerReset();
    KoInputReset();
}

void KoSysFrameStart()
{
    KoFrameRateControllerStart();
    KoGfxStart();
}

void KoSysFrameEnd()
{
    KoGfxEnd();
    KoFrameRateControllerEnd();
}

int KoSysExit()
{
    KoGfxExit();
    PlatShutdown();
    gKoSysWindowExists = false;
    gKoSysWindowActive = false;
    return 0;
}

// The window procedure: one event at a time.
static void KoSysWindowProc(const PlatEvent& e)
{
    switch (e.type)
    {
        case PLAT_EVENT_KEY_DOWN:
            KoInputOnKeyDown(e.vk);
            break;
        case PLAT_EVENT_KEY_UP:
            KoInputOnKeyUp(e.vk);
            break;
        case PLAT_EVENT_MOUSE:
            KoInputOnMouse(e.left, e.right);
            break;
        case PLAT_EVENT_ACTIVATE:
            gKoSysWindowActive = true;
            break;
        case PLAT_EVENT_DEACTIVATE:
            gKoSysWindowActive = false;
            break;
        case PLAT_EVENT_MINIMISE:
        case PLAT_EVENT_MAXIMISE:
        case PLAT_EVENT_RESTORE:
            // Size changes before the device exists change nothing.
            if (!PlatRendererExists()) break;
            KoGfxSetBackBufferSize(e.w, e.h);
            if (e.type == PLAT_EVENT_MINIMISE)
            {
                gKoSysWindowActive = false;
                sMinMaxFlag        = true;
            }
            else if (e.type == PLAT_EVENT_MAXIMISE)
            {
                gKoSysWindowActive = true;
                sMinMaxFlag        = true;
                KoGfxResetDevice();
            }
            else
            {
                gKoSysWindowActive = true;
                if (sMinMaxFlag && KoGfxIsWindowed()) KoGfxResetDevice();
                sMinMaxFlag = false;
            }
            break;
        case PLAT_EVENT_SIZE_END:
        {
            int w = 0, h = 0;
            PlatWindowGetClientSize(&w, &h);
            KoGfxSetBackBufferSize(w, h);
            KoGfxResetDevice();
            break;
        }
        case PLAT_EVENT_CLOSE:
            // The window is gone for the game: it is hidden now and destroyed at exit, once the state has
            // freed what it drew with.
            if (!gKoSysWindowExists) break;
            PlatWindowHide();
            gKoSysWindowExists = false;
            gKoSysWindowActive = false;
            break;
        case PLAT_EVENT_DEVICE_RESET:
            KoGfxNotifyDeviceReset();
            break;
        default:
            break;
    }
}

void KoSysPumpMessages()
{
    PlatEvent e;
    while (PlatPollEvent(&e)) KoSysWindowProc(e);
}

void KoSysGetCursorClientPos(int* pX, int* pY)
{
    PlatGetCursorClientPos(pX, pY);
}
