// Start-up, the game window, its events, the cursor, the clock and the message box over SDL2.
#include "platform/Platform.h"
#include "platform/PlatFiles.h"
#include "platform/PlatInternal.h"

#include <SDL.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <initializer_list>

static bool sHeadless       = false;
static bool sInitDone       = false;
static SDL_Window* sWindow  = nullptr;
static int sCursorCounter   = 0;
static bool sVirtualCursor  = false;
static int sVirtualX        = 0;
static int sVirtualY        = 0;
static int sPointerX        = 0; // the pointer's last position inside the window, in window pixels
static int sPointerY        = 0;
static bool sLeftHeld       = false;
static bool sRightHeld      = false;
static bool sSizeEndPending = false;
static unsigned char sVkOf[SDL_NUM_SCANCODES];

// Game pads, by slot; a slot is free while its controller is null.
static const int PLAT_PADS_MAX         = 8;
static const int PLAT_STICK_PRESS      = 16000; // the left stick counts as pushed from here...
static const int PLAT_STICK_RELEASE    = 12000; // ...and as let go below this
static const uint32_t PLAT_STICK_FIRST = 400;   // ms held before the first repeat
static const uint32_t PLAT_STICK_NEXT  = 150;   // ms between repeats
struct PlatPad
{
    SDL_GameController* pController;
    SDL_JoystickID id;
    int stickDir;           // -1 up, 0 let go, 1 down
    uint32_t repeatAt;      // SDL ticks of the stick's next repeat
    unsigned long downPump; // the pump that delivers the press of a repeat (0: none pending)
};
static PlatPad sPads[PLAT_PADS_MAX];
static unsigned long sPumpNumber      = 1;  // counts the pumps: a poll that found nothing ends one
static int sVirtualPad                = -1; // device index of the tests' virtual pad
static SDL_Joystick* sVirtualJoystick = nullptr;

// Key events made by the platform itself (game pads), delivered before the system's next events.
static const int PLAT_OWN_MAX = 32;
static PlatEvent sOwn[PLAT_OWN_MAX];
static int sOwnNum = 0;

// Injected events, delivered before the system's.
static const int PLAT_INJECT_MAX = 1024;
static PlatEvent sInjected[PLAT_INJECT_MAX];
static int sInjectedHead      = 0;
static int sInjectedNum       = 0;
static bool sInjectedFullSaid = false; // the full queue has been reported

void PlatConfigure(bool headless)
{
    sHeadless = headless;
    if (headless)
    {
        SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    }
}

bool PlatIsHeadless()
{
    return sHeadless;
}

static void BuildKeyTable()
{
    for (int i = 0; i < SDL_NUM_SCANCODES; ++i) sVkOf[i] = 0;
    for (int i = 0; i < 26; ++i) sVkOf[SDL_SCANCODE_A + i] = (unsigned char)('A' + i);
    for (int i = 0; i < 9; ++i) sVkOf[SDL_SCANCODE_1 + i] = (unsigned char)('1' + i);
    sVkOf[SDL_SCANCODE_0] = '0';
    for (int i = 0; i < 12; ++i) sVkOf[SDL_SCANCODE_F1 + i] = (unsigned char)(0x70 + i);
    for (int i = 0; i < 9; ++i) sVkOf[SDL_SCANCODE_KP_1 + i] = (unsigned char)(0x61 + i);
    sVkOf[SDL_SCANCODE_KP_0]         = 0x60;
    sVkOf[SDL_SCANCODE_KP_MULTIPLY]  = 0x6A;
    sVkOf[SDL_SCANCODE_KP_PLUS]      = 0x6B;
    sVkOf[SDL_SCANCODE_KP_MINUS]     = 0x6D;
    sVkOf[SDL_SCANCODE_KP_PERIOD]    = 0x6E;
    sVkOf[SDL_SCANCODE_KP_DIVIDE]    = 0x6F;
    sVkOf[SDL_SCANCODE_KP_ENTER]     = 0x0D;
    sVkOf[SDL_SCANCODE_BACKSPACE]    = 0x08;
    sVkOf[SDL_SCANCODE_TAB]          = 0x09;
    sVkOf[SDL_SCANCODE_RETURN]       = 0x0D;
    sVkOf[SDL_SCANCODE_LSHIFT]       = 0x10;
    sVkOf[SDL_SCANCODE_RSHIFT]       = 0x10;
    sVkOf[SDL_SCANCODE_LCTRL]        = 0x11;
    sVkOf[SDL_SCANCODE_RCTRL]        = 0x11;
    sVkOf[SDL_SCANCODE_PAUSE]        = 0x13;
    sVkOf[SDL_SCANCODE_CAPSLOCK]     = 0x14;
    sVkOf[SDL_SCANCODE_ESCAPE]       = 0x1B;
    sVkOf[SDL_SCANCODE_SPACE]        = 0x20;
    sVkOf[SDL_SCANCODE_PAGEUP]       = 0x21;
    sVkOf[SDL_SCANCODE_PAGEDOWN]     = 0x22;
    sVkOf[SDL_SCANCODE_END]          = 0x23;
    sVkOf[SDL_SCANCODE_HOME]         = 0x24;
    sVkOf[SDL_SCANCODE_LEFT]         = 0x25;
    sVkOf[SDL_SCANCODE_UP]           = 0x26;
    sVkOf[SDL_SCANCODE_RIGHT]        = 0x27;
    sVkOf[SDL_SCANCODE_DOWN]         = 0x28;
    sVkOf[SDL_SCANCODE_INSERT]       = 0x2D;
    sVkOf[SDL_SCANCODE_DELETE]       = 0x2E;
    sVkOf[SDL_SCANCODE_NUMLOCKCLEAR] = 0x90;
    sVkOf[SDL_SCANCODE_SCROLLLOCK]   = 0x91;
    sVkOf[SDL_SCANCODE_SEMICOLON]    = 0xBA;
    sVkOf[SDL_SCANCODE_EQUALS]       = 0xBB;
    sVkOf[SDL_SCANCODE_COMMA]        = 0xBC;
    sVkOf[SDL_SCANCODE_MINUS]        = 0xBD;
    sVkOf[SDL_SCANCODE_PERIOD]       = 0xBE;
    sVkOf[SDL_SCANCODE_SLASH]        = 0xBF;
    sVkOf[SDL_SCANCODE_GRAVE]        = 0xC0;
    sVkOf[SDL_SCANCODE_LEFTBRACKET]  = 0xDB;
    sVkOf[SDL_SCANCODE_BACKSLASH]    = 0xDC;
    sVkOf[SDL_SCANCODE_RIGHTBRACKET] = 0xDD;
    sVkOf[SDL_SCANCODE_APOSTROPHE]   = 0xDE;
}

unsigned char PlatScancodeToVk(int scancode)
{
    if (!sInitDone) BuildKeyTable();
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    return sVkOf[scancode];
}

std::string PlatInit()
{
    if (sInitDone) return std::string();
    BuildKeyTable();
    // The mouse is never captured: a button released outside the window reads as held until the next
    // mouse event over the client area.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        return std::string("SDL's video could not start: ") + SDL_GetError();
    // A game controller is welcome but not needed.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        fprintf(stderr, "SDL game controller start-up failed: %s\n", SDL_GetError());
    sInitDone = true;
    return std::string();
}

void PlatShutdown()
{
    if (!sInitDone) return;
    PlatRendererDestroy();
    PlatWindowDestroy();
    PlatPadVirtualDetach();
    for (PlatPad& pad : sPads)
        if (pad.pController) SDL_GameControllerClose(pad.pController);
    for (PlatPad& pad : sPads) pad = PlatPad();
    sOwnNum = 0;
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS | SDL_INIT_VIDEO);
    sInitDone      = false;
    sInjectedNum   = 0;
    sInjectedHead  = 0;
    sVirtualCursor = false;
    sCursorCounter = 0;
}

// ---------------------------------------------------------------------------------------------------------
// The window

SDL_Window* PlatGetSdlWindow()
{
    return sWindow;
}

std::string PlatWindowCreate(const char* pTitle, int x, int y, int clientW, int clientH, int minW, int minH)
{
    std::string why = PlatInit();
    if (!why.empty()) return why;
#ifdef __EMSCRIPTEN__
    // In a web page the window is the page's canvas: it keeps its size and the page scales it to fit.
    const Uint32 resizable = 0;
#else
    const Uint32 resizable = SDL_WINDOW_RESIZABLE;
#endif
    sWindow = SDL_CreateWindow(pTitle, x, y, clientW, clientH, SDL_WINDOW_HIDDEN | resizable);
    if (!sWindow) return std::string("SDL could not make the window: ") + SDL_GetError();
    SDL_SetWindowMinimumSize(sWindow, minW, minH);
    return std::string();
}

std::string PlatWindowSetIcon(const char* pPath)
{
    std::string bytes;
    const size_t ICON_MAX = 4u << 20;
    std::string why       = PlatReadFile(pPath, ICON_MAX, &bytes);
    if (why == PLAT_FILE_MISSING) return std::string();
    if (!why.empty()) return why;
    SDL_Surface* pIcon = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
    if (!pIcon) return SDL_GetError();
    why = pIcon->format->Amask ? std::string() : "has no alpha channel";
    if (why.empty() && sWindow) SDL_SetWindowIcon(sWindow, pIcon);
    SDL_FreeSurface(pIcon);
    return why;
}

void PlatWindowShow()
{
    if (sWindow) SDL_ShowWindow(sWindow);
}

void PlatWindowHide()
{
    if (sWindow) SDL_HideWindow(sWindow);
}

void PlatWindowDestroy()
{
    if (!sWindow) return;
    PlatRendererDestroy();
    SDL_DestroyWindow(sWindow);
    sWindow = nullptr;
}

bool PlatWindowExists()
{
    return sWindow != nullptr;
}

void PlatWindowSetTitle(const char* pTitle)
{
    if (sWindow) SDL_SetWindowTitle(sWindow, pTitle);
}

void PlatWindowGetClientSize(int* pW, int* pH)
{
    int w = 0, h = 0;
    if (sWindow) SDL_GetWindowSize(sWindow, &w, &h);
    *pW = w;
    *pH = h;
}

void PlatWindowSetFullScreen()
{
    if (!sWindow) return;
#ifdef __EMSCRIPTEN__
    // In a web page full screen is the browser's: the page fills the screen and scales the canvas, which
    // keeps its size. Browsers grant it for a few seconds after a click or key, so the request made in the
    // frame that handled the click is honoured.
    EM_ASM(if (Module.skarnFullScreen) Module.skarnFullScreen(true););
    return;
#endif
    // A borderless window over the whole screen: window managers treat it as full screen, and it needs
    // none (a bare X server has no window manager to honour a full-screen request).
    int w = 0, h = 0;
    PlatGetScreenSize(&w, &h);
    SDL_SetWindowResizable(sWindow, SDL_FALSE);
    SDL_SetWindowBordered(sWindow, SDL_FALSE);
    SDL_SetWindowPosition(sWindow, 0, 0);
    SDL_SetWindowSize(sWindow, w, h);
    SDL_ShowWindow(sWindow);
    SDL_RaiseWindow(sWindow);
}

void PlatWindowSetWindowed(int x, int y, int clientW, int clientH)
{
    if (!sWindow) return;
#ifdef __EMSCRIPTEN__
    EM_ASM(if (Module.skarnFullScreen) Module.skarnFullScreen(false););
    SDL_SetWindowSize(sWindow, clientW, clientH);
    (void)x;
    (void)y;
    return;
#endif
    SDL_RestoreWindow(sWindow);
    SDL_SetWindowBordered(sWindow, SDL_TRUE);
    SDL_SetWindowResizable(sWindow, SDL_TRUE);
    SDL_SetWindowSize(sWindow, clientW, clientH);
    SDL_SetWindowPosition(sWindow, x, y);
    SDL_ShowWindow(sWindow);
}

void PlatGetScreenSize(int* pW, int* pH)
{
#ifdef __EMSCRIPTEN__
    // The page's canvas keeps its size in either mode (the page scales it to the screen).
    PlatWindowGetClientSize(pW, pH);
    return;
#endif
    int display = sWindow ? SDL_GetWindowDisplayIndex(sWindow) : 0;
    SDL_DisplayMode mode;
    if (display < 0 || SDL_GetDesktopDisplayMode(display, &mode) != 0)
    {
        // No display information: keep the window's own size.
        PlatWindowGetClientSize(pW, pH);
        return;
    }
    *pW = mode.w;
    *pH = mode.h;
}

// ---------------------------------------------------------------------------------------------------------
// Events

void PlatPushEvent(const PlatEvent& event)
{
    if (event.type == PLAT_EVENT_MOUSE)
    {
        sVirtualCursor = true;
        sVirtualX      = event.x;
        sVirtualY      = event.y;
    }
    if (sInjectedNum == PLAT_INJECT_MAX)
    {
        // Said once until the queue has room again, not once for every event that is dropped.
        if (!sInjectedFullSaid)
            fprintf(stderr,
                    "platform: the injected event queue is full (%d events); later events are dropped\n",
                    PLAT_INJECT_MAX);
        sInjectedFullSaid = true;
        return;
    }
    sInjectedFullSaid                                           = false;
    sInjected[(sInjectedHead + sInjectedNum) % PLAT_INJECT_MAX] = event;
    ++sInjectedNum;
}

static void ClearEvent(PlatEvent* pEvent, int type)
{
    *pEvent      = PlatEvent();
    pEvent->type = type;
}

static void MouseEvent(PlatEvent* pEvent, int x, int y)
{
    ClearEvent(pEvent, PLAT_EVENT_MOUSE);
    pEvent->x     = x;
    pEvent->y     = y;
    pEvent->left  = sLeftHeld;
    pEvent->right = sRightHeld;
}

static void SizeEvent(PlatEvent* pEvent, int type)
{
    ClearEvent(pEvent, type);
    PlatWindowGetClientSize(&pEvent->w, &pEvent->h);
}

static void KeyEvent(PlatEvent* pEvent, int type, unsigned char vk)
{
    ClearEvent(pEvent, type);
    pEvent->vk = vk;
}

// Keeps the pointer's last position over the window, clamped to the client area, so a pointer that leaves
// (SDL reports the crossing point, which may lie just outside) stays at the edge it crossed.
static void NotePointer(int x, int y)
{
    int w = 0, h = 0;
    PlatWindowGetClientSize(&w, &h);
    sPointerX = x < 0 ? 0 : (w > 0 && x >= w ? w - 1 : x);
    sPointerY = y < 0 ? 0 : (h > 0 && y >= h ? h - 1 : y);
}

// ---------------------------------------------------------------------------------------------------------
// Game pads

static void OwnKey(int type, unsigned char vk)
{
    if (sOwnNum == PLAT_OWN_MAX) return; // a pad cannot hold more keys than this
    KeyEvent(&sOwn[sOwnNum++], type, vk);
}

static bool TakeOwn(PlatEvent* pEvent)
{
    if (sOwnNum == 0) return false;
    *pEvent = sOwn[0];
    for (int i = 1; i < sOwnNum; ++i) sOwn[i - 1] = sOwn[i];
    --sOwnNum;
    return true;
}

static int PadSlot(SDL_JoystickID id)
{
    for (int i = 0; i < PLAT_PADS_MAX; ++i)
        if (sPads[i].pController && sPads[i].id == id) return i;
    return -1;
}

static void PadOpen(int deviceIndex)
{
    if (PadSlot(SDL_JoystickGetDeviceInstanceID(deviceIndex)) >= 0) return;
    for (PlatPad& pad : sPads)
    {
        if (pad.pController) continue;
        pad.pController = SDL_GameControllerOpen(deviceIndex);
        if (!pad.pController) return;
        pad.id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad.pController));
        return;
    }
}

static unsigned char StickVk(int dir)
{
    return dir < 0 ? PLAT_VK_PAD_UP : PLAT_VK_PAD_DOWN;
}

// A pad pulled out lets go of everything it held.
static void PadClose(SDL_JoystickID id)
{
    int slot = PadSlot(id);
    if (slot < 0) return;
    SDL_GameControllerClose(sPads[slot].pController);
    sPads[slot] = PlatPad();
    for (unsigned char vk : {PLAT_VK_PAD_A, PLAT_VK_PAD_B, PLAT_VK_PAD_UP, PLAT_VK_PAD_DOWN})
        OwnKey(PLAT_EVENT_KEY_UP, vk);
}

static unsigned char PadButtonVk(int button)
{
    switch (button)
    {
        case SDL_CONTROLLER_BUTTON_A:
            return PLAT_VK_PAD_A;
        case SDL_CONTROLLER_BUTTON_B:
            return PLAT_VK_PAD_B;
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            return PLAT_VK_PAD_UP;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            return PLAT_VK_PAD_DOWN;
        case SDL_CONTROLLER_BUTTON_START:
            return 0x1B; // escape: the pause
        default:
            return 0;
    }
}

// The left stick's vertical axis as the D-pad: pushed past the dead zone it presses, let go it releases.
static void PadStick(SDL_JoystickID id, int value)
{
    int slot = PadSlot(id);
    if (slot < 0) return;
    PlatPad& pad = sPads[slot];
    int dir      = value <= -PLAT_STICK_PRESS ? -1 : value >= PLAT_STICK_PRESS ? 1 : 0;
    if (dir == 0 && pad.stickDir != 0 && value * pad.stickDir >= PLAT_STICK_RELEASE) dir = pad.stickDir;
    if (dir == pad.stickDir) return;
    if (pad.stickDir != 0) OwnKey(PLAT_EVENT_KEY_UP, StickVk(pad.stickDir));
    if (dir != 0) OwnKey(PLAT_EVENT_KEY_DOWN, StickVk(dir));
    pad.stickDir = dir;
    pad.repeatAt = SDL_GetTicks() + PLAT_STICK_FIRST;
    pad.downPump = 0;
}

// A stick held past the dead zone repeats: its key goes up, and down again at the next pump.
static void PadRepeat()
{
    uint32_t now = SDL_GetTicks();
    for (PlatPad& pad : sPads)
    {
        if (!pad.pController || pad.stickDir == 0) continue;
        if (pad.downPump != 0 && pad.downPump <= sPumpNumber)
        {
            OwnKey(PLAT_EVENT_KEY_DOWN, StickVk(pad.stickDir));
            pad.downPump = 0;
        }
        else if (pad.downPump == 0 && int32_t(now - pad.repeatAt) >= 0)
        {
            OwnKey(PLAT_EVENT_KEY_UP, StickVk(pad.stickDir));
            pad.downPump = sPumpNumber + 1;
            pad.repeatAt = now + PLAT_STICK_NEXT;
        }
    }
}

int PlatPadCount()
{
    int n = 0;
    for (const PlatPad& pad : sPads) n += pad.pController != nullptr;
    return n;
}

std::string PlatPadVirtualAttach()
{
    if (!sInitDone) return "SDL is not started";
    if (sVirtualPad >= 0) return "the virtual pad is plugged in already";
    sVirtualPad = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                            SDL_CONTROLLER_BUTTON_MAX, 0);
    if (sVirtualPad >= 0) sVirtualJoystick = SDL_JoystickOpen(sVirtualPad);
    if (sVirtualJoystick) return std::string();
    std::string why = SDL_GetError();
    PlatPadVirtualDetach();
    return why;
}

void PlatPadVirtualSet(int button, bool down)
{
    if (sVirtualJoystick) SDL_JoystickSetVirtualButton(sVirtualJoystick, button, down ? 1 : 0);
}

void PlatPadVirtualStick(int stickY)
{
    if (sVirtualJoystick)
        SDL_JoystickSetVirtualAxis(sVirtualJoystick, SDL_CONTROLLER_AXIS_LEFTY, Sint16(stickY));
}

void PlatPadVirtualDetach()
{
    if (sVirtualJoystick) SDL_JoystickClose(sVirtualJoystick);
    sVirtualJoystick = nullptr;
    if (sVirtualPad >= 0) SDL_JoystickDetachVirtual(sVirtualPad);
    sVirtualPad = -1;
}

// Translates one SDL event; false when it means nothing to the engine.
static bool Translate(const SDL_Event& e, PlatEvent* pEvent)
{
    switch (e.type)
    {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        {
            // Keys pressed with Alt, and F10, are system keys: they never reach the key state.
            if ((e.key.keysym.mod & KMOD_ALT) || e.key.keysym.scancode == SDL_SCANCODE_F10) return false;
            unsigned char vk = PlatScancodeToVk(e.key.keysym.scancode);
            if (!vk) return false;
            KeyEvent(pEvent, e.type == SDL_KEYDOWN ? PLAT_EVENT_KEY_DOWN : PLAT_EVENT_KEY_UP, vk);
            return true;
        }
        case SDL_MOUSEMOTION:
            sLeftHeld  = (e.motion.state & SDL_BUTTON_LMASK) != 0;
            sRightHeld = (e.motion.state & SDL_BUTTON_RMASK) != 0;
            if (sWindow && e.motion.windowID == SDL_GetWindowID(sWindow)) NotePointer(e.motion.x, e.motion.y);
            MouseEvent(pEvent, e.motion.x, e.motion.y);
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        {
            bool down = e.type == SDL_MOUSEBUTTONDOWN;
            if (e.button.button == SDL_BUTTON_LEFT) sLeftHeld = down;
            if (e.button.button == SDL_BUTTON_RIGHT) sRightHeld = down;
            if (sWindow && e.button.windowID == SDL_GetWindowID(sWindow)) NotePointer(e.button.x, e.button.y);
            MouseEvent(pEvent, e.button.x, e.button.y);
            return true;
        }
        case SDL_MOUSEWHEEL:
        {
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            MouseEvent(pEvent, x, y);
            return true;
        }
        case SDL_CONTROLLERDEVICEADDED:
            PadOpen(e.cdevice.which);
            return false;
        case SDL_CONTROLLERDEVICEREMOVED:
            PadClose(e.cdevice.which);
            return TakeOwn(pEvent);
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
        {
            unsigned char vk = PadSlot(e.cbutton.which) >= 0 ? PadButtonVk(e.cbutton.button) : 0;
            if (!vk) return false;
            KeyEvent(pEvent, e.type == SDL_CONTROLLERBUTTONDOWN ? PLAT_EVENT_KEY_DOWN : PLAT_EVENT_KEY_UP,
                     vk);
            return true;
        }
        case SDL_CONTROLLERAXISMOTION:
            if (e.caxis.axis != SDL_CONTROLLER_AXIS_LEFTY) return false;
            PadStick(e.caxis.which, e.caxis.value);
            return TakeOwn(pEvent);
        case SDL_WINDOWEVENT:
            if (!sWindow || e.window.windowID != SDL_GetWindowID(sWindow)) return false;
            // The window shows something else than the last frame, or has another size.
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN ||
                e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || e.window.event == SDL_WINDOWEVENT_RESIZED ||
                e.window.event == SDL_WINDOWEVENT_RESTORED || e.window.event == SDL_WINDOWEVENT_MAXIMIZED)
                PlatFramePictureLost();
            switch (e.window.event)
            {
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    ClearEvent(pEvent, PLAT_EVENT_ACTIVATE);
                    return true;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    ClearEvent(pEvent, PLAT_EVENT_DEACTIVATE);
                    return true;
                case SDL_WINDOWEVENT_MINIMIZED:
                    SizeEvent(pEvent, PLAT_EVENT_MINIMISE);
                    return true;
                case SDL_WINDOWEVENT_MAXIMIZED:
                    SizeEvent(pEvent, PLAT_EVENT_MAXIMISE);
                    return true;
                case SDL_WINDOWEVENT_RESTORED:
                    SizeEvent(pEvent, PLAT_EVENT_RESTORE);
                    return true;
                case SDL_WINDOWEVENT_RESIZED:
                case SDL_WINDOWEVENT_MOVED:
                    // A drag sends many of these; the engine hears of the end once, after the queue is
                    // drained.
                    sSizeEndPending = true;
                    return false;
                case SDL_WINDOWEVENT_CLOSE:
                    ClearEvent(pEvent, PLAT_EVENT_CLOSE);
                    return true;
                default:
                    return false;
            }
        case SDL_QUIT:
            ClearEvent(pEvent, PLAT_EVENT_CLOSE);
            return true;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET:
            ClearEvent(pEvent, PLAT_EVENT_DEVICE_RESET);
            return true;
        default:
            return false;
    }
}

bool PlatPollEvent(PlatEvent* pEvent)
{
    if (sInjectedNum > 0)
    {
        *pEvent       = sInjected[sInjectedHead];
        sInjectedHead = (sInjectedHead + 1) % PLAT_INJECT_MAX;
        --sInjectedNum;
        return true;
    }
    if (!sInitDone) return false;
    if (TakeOwn(pEvent)) return true;
    SDL_Event e;
    while (SDL_PollEvent(&e))
    {
        if (Translate(e, pEvent)) return true;
        if (TakeOwn(pEvent)) return true;
    }
    if (sSizeEndPending)
    {
        sSizeEndPending = false;
        SizeEvent(pEvent, PLAT_EVENT_SIZE_END);
        return true;
    }
    PadRepeat();
    if (TakeOwn(pEvent)) return true;
    ++sPumpNumber; // the pump is over: a repeat's press comes with the next one
    return false;
}

void PlatGetCursorClientPos(int* pX, int* pY)
{
    if (sVirtualCursor || !sInitDone || !sWindow)
    {
        *pX = sVirtualX;
        *pY = sVirtualY;
        return;
    }
    // The window's own mouse state (its last motion, button or wheel position) follows every move on any
    // X server; the global pointer does not on servers without raw input events, and the window position
    // is not reliable under every compositor.
    if (SDL_GetMouseFocus() == sWindow)
    {
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        NotePointer(x, y);
    }
    // Window pixels to the back buffer's, which is stretched over the whole window.
    int winW = 0, winH = 0, backW = 0, backH = 0;
    PlatWindowGetClientSize(&winW, &winH);
    PlatRendererGetBackBufferSize(&backW, &backH);
    bool scale = winW > 0 && winH > 0 && backW > 0 && backH > 0;
    *pX        = scale ? (int)((sPointerX + 0.5) * backW / winW) : sPointerX;
    *pY        = scale ? (int)((sPointerY + 0.5) * backH / winH) : sPointerY;
}

int PlatShowCursor(bool show)
{
    sCursorCounter += show ? 1 : -1;
    if (sInitDone) SDL_ShowCursor(sCursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return sCursorCounter;
}

int PlatGetMouseButtonCount()
{
    // SDL offers no count of buttons; a desktop session always has a pointer (the dummy driver included).
    return 3;
}

// ---------------------------------------------------------------------------------------------------------
// Clock and message box

uint64_t PlatGetTicks()
{
    return SDL_GetPerformanceCounter();
}
uint64_t PlatGetTickFrequency()
{
    return SDL_GetPerformanceFrequency();
}
void PlatSleep(unsigned int ms)
{
#ifdef __EMSCRIPTEN__
    // A web page cannot sleep (SDL would spin); the browser paces the frames.
    (void)ms;
#else
    SDL_Delay(ms);
#endif
}

void PlatShowMessageBox(const char* pCaption, const char* pText)
{
    fprintf(stderr, "%s: %s\n", pCaption, pText);
    if (!sHeadless) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, pCaption, pText, nullptr);
}
