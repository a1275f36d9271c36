// The platform layer over SDL2: window, events, clock, message box, the drawing device and the font
// rasteriser. This header never includes SDL, so the engine can include it. The platform layer never calls
// up into the engine: the engine pulls events and services from it.
//
// An operation that can fail returns why as a text, empty meaning success ("SDL could not make the window:
// ..."); its caller prints the reason or passes it on. What answers yes or no is a bool. The layer itself
// prints only notices of what goes on in a lesser way (no game controllers, silent output, a text that
// cannot be drawn).
#pragma once

#include <cstdint>
#include <string>

// ---------------------------------------------------------------------------------------------------------
// Start-up and shut-down

// Chooses the drivers before the window exists. Headless: SDL's dummy video and audio drivers and the
// software renderer, so nothing is shown or heard while everything runs and draws. Call before KoSysInit.
void PlatConfigure(bool headless);
bool PlatIsHeadless();

// Brings up SDL's video, events and game-controller subsystems (idempotent). Empty, or why video failed.
std::string PlatInit();
// Destroys the renderer, fonts and window and shuts SDL's video side down.
void PlatShutdown();

// The program's frame loop: calls frame(arg) until it returns false, then returns end(arg). On the desktop a
// plain loop. In a browser each call is one animation frame and control goes back to the page between
// them; the caller's stack is given up (this never returns) and the process exits with end's result.
int PlatRunLoop(bool (*pFrame)(void*), int (*pEnd)(void*), void* pArg);

// ---------------------------------------------------------------------------------------------------------
// The window

// Creates the single game window with the given client size at the given position, hidden; the user cannot
// make its client area smaller than minW x minH. Empty, or why there is no window.
std::string PlatWindowCreate(const char* pTitle, int x, int y, int clientW, int clientH, int minW, int minH);
void PlatWindowShow();
void PlatWindowHide();
void PlatWindowDestroy();
bool PlatWindowExists();
void PlatWindowSetTitle(const char* pTitle);
// The window's icon from a BMP file with an alpha channel. Empty when it is set or when there is no such
// file (the window keeps the system's icon); otherwise why the file could not be used.
std::string PlatWindowSetIcon(const char* pPath);
// Current client-area size in pixels (0 x 0 without a window).
void PlatWindowGetClientSize(int* pW, int* pH);
// Borderless window covering the whole screen (the desktop's resolution).
void PlatWindowSetFullScreen();
// Framed, resizable window with the given client size at the given position.
void PlatWindowSetWindowed(int x, int y, int clientW, int clientH);
// The desktop's resolution of the display the window is on.
void PlatGetScreenSize(int* pW, int* pH);

// ---------------------------------------------------------------------------------------------------------
// Events

enum PlatEventType
{
    PLAT_EVENT_NONE = 0,
    PLAT_EVENT_KEY_DOWN,    // vk: the engine's (Windows virtual-key) code; repeats arrive as further downs
    PLAT_EVENT_KEY_UP,      // vk
    PLAT_EVENT_MOUSE,       // any mouse move, button or wheel: x, y (client pixels), left, right (held)
    PLAT_EVENT_ACTIVATE,    // the window became the active window
    PLAT_EVENT_DEACTIVATE,  // the window lost the focus
    PLAT_EVENT_MINIMISE,    // w, h: client size
    PLAT_EVENT_MAXIMISE,    // w, h
    PLAT_EVENT_RESTORE,     // w, h
    PLAT_EVENT_SIZE_END,    // the user finished resizing or moving the window: w, h the new client size
    PLAT_EVENT_CLOSE,       // the window was closed (destroyed)
    PLAT_EVENT_DEVICE_RESET // the drawing device lost its resources and must be reset
};

struct PlatEvent
{
    int type;         // PlatEventType
    unsigned char vk; // key events
    bool left;        // mouse events: left button held
    bool right;       // mouse events: right button held
    int x, y;         // mouse events: cursor in client pixels
    int w, h;         // size events: client size
};

// Takes the next pending event; injected events come first, then the system's. False when none is left.
bool PlatPollEvent(PlatEvent* pEvent);
// Queues an event for the next poll (scripted input). An injected mouse event also moves a virtual cursor
// that PlatGetCursorClientPos returns from then on, so scripted mouse input works without a real pointer.
void PlatPushEvent(const PlatEvent& event);
// The cursor in client pixels (origin top-left, y down): the virtual cursor once scripts moved it,
// otherwise the pointer's last position over the window (from the window's own mouse events, so it stays
// where it left the window), mapped from window pixels to the back buffer's.
void PlatGetCursorClientPos(int* pX, int* pY);
// Steps the cursor display counter up (show) or down (hide); the cursor is visible while it is >= 0.
// Returns the new counter.
int PlatShowCursor(bool show);
// Number of mouse buttons the system offers (0 = no mouse).
int PlatGetMouseButtonCount();
// The engine's key code for an SDL scancode (0 when the key has none).
unsigned char PlatScancodeToVk(int scancode);

// Game pads: every SDL game controller is opened when it is plugged in (those present at start included)
// and closed when it is pulled out, which also releases its keys. Its controls arrive as key events: the
// south and east buttons, the D-pad's up and down, and Start as ESCAPE (0x1B). The left stick pushed up or
// down past its dead zone acts as the D-pad and repeats while held (a release, then a press at the next
// pump, so every repeat is a new press).
enum
{
    PLAT_VK_PAD_A    = 0xC3,
    PLAT_VK_PAD_B    = 0xC4,
    PLAT_VK_PAD_UP   = 0xCB,
    PLAT_VK_PAD_DOWN = 0xCC
};
// Tests: a virtual game pad plugged in (SDL's virtual joystick driver); empty, or why not. The
// buttons and the stick are then set with PlatPadVirtualSet (button: 0 south, 1 east, 11 D-pad up,
// 12 D-pad down, 6 start; stickY: -32768 up .. 32767 down), and PlatPadVirtualDetach pulls it out.
std::string PlatPadVirtualAttach();
void PlatPadVirtualSet(int button, bool down);
void PlatPadVirtualStick(int stickY);
void PlatPadVirtualDetach();
// The number of game pads open.
int PlatPadCount();

// ---------------------------------------------------------------------------------------------------------
// Clock

uint64_t PlatGetTicks();
uint64_t PlatGetTickFrequency();
void PlatSleep(unsigned int ms);

// ---------------------------------------------------------------------------------------------------------
// Message box (no owner window, one OK button)

void PlatShowMessageBox(const char* pCaption, const char* pText);

// ---------------------------------------------------------------------------------------------------------
// The drawing device: the renderer of the game window

// Vertex of the geometry submit: pixel position, colour bytes, texture coordinates (unused).
struct PlatVertex
{
    float x, y;
    uint8_t r, g, b, a;
    float u, v;
};

enum PlatBlendMode
{
    PLAT_BLEND_NONE = 0,
    PLAT_BLEND_BLEND,
    PLAT_BLEND_ADD
};

// Creates the renderer for the window (accelerated where there is a GPU, software headless) and names it
// on standard error ("renderer: software"). Empty, or why there is none.
std::string PlatRendererCreate();
// Presents in step with the display's refresh (vsync) or at once (the default). May be set before or after
// the renderer is created.
void PlatRendererSetVsync(bool on);
bool PlatRendererGetVsync();
void PlatRendererDestroy();
bool PlatRendererExists();
// The renderer's real output size in pixels.
void PlatRendererGetOutputSize(int* pW, int* pH);
// The size of the picture the engine draws (its back buffer); it is stretched over the whole output.
void PlatRendererSetBackBufferSize(int w, int h);
void PlatRendererGetBackBufferSize(int* pW, int* pH);
// Clears the back buffer to transparent black.
void PlatRendererClear();
void PlatRendererSetBlendMode(int mode);
// Triangles, three vertices each, in back-buffer pixels.
void PlatRendererDrawTriangles(const PlatVertex* pVtx, int vtxNum);
// One line segment in back-buffer pixels, its colour blending from one end to the other.
void PlatRendererDrawLine(float x0, float y0, uint32_t c0, float x1, float y1, uint32_t c1);
void PlatRendererPresent();
// Reads the output as 0xAARRGGBB pixels, row by row from the top; pPixels holds w x h values of the
// output size (PlatRendererGetOutputSize). Empty, or why the picture could not be read.
std::string PlatRendererReadPixels(uint32_t* pPixels, int w, int h);

// ---------------------------------------------------------------------------------------------------------
// Font rasteriser

struct PlatFont;

// Opens the best installed face for the name (through fontconfig, falling back to any installed face) into
// *ppFont. height: cell height in pixels (negative: character height without the internal leading);
// width: average character width in pixels (0 = the face's natural width); weight: 100..900 (400 normal,
// 700 bold). Empty, or why no font at all could be opened (*ppFont is then null).
std::string PlatFontOpen(const char* pFace, int height, int width, int weight, bool italic,
                         PlatFont** ppFont);
void PlatFontClose(PlatFont* pFont);
// Height in pixels of one line of text.
int PlatFontLineHeight(const PlatFont* pFont);
// Size in pixels of the text as PlatFontDrawText draws it (its widest line, its lines' height).
void PlatFontMeasureText(PlatFont* pFont, const char* pText, int* pW, int* pH);
// Draws the text with its top-left corner at (x, y) in back-buffer pixels, in the 0xAARRGGBB colour,
// left-aligned, breaking lines only at '\n', clipped to the rectangle from (x, y) to (clipX1, clipY1)
// (exclusive). A text is composed once into a texture of the text cache and then only copied, so drawing
// allocates nothing once the cache is warm. Returns the height of the text (lines x line height; 0 for an
// empty text). Characters outside printable ASCII draw as '?'.
int PlatFontDrawText(PlatFont* pFont, const char* pText, int x, int y, uint32_t colour, int clipX1,
                     int clipY1);
// The texts' textures live on the device: given up before a device reset; each is made again when its text
// is drawn next.
void PlatFontOnLostDevice(PlatFont* pFont);

// ---------------------------------------------------------------------------------------------------------
// Images

// Writes 0xAARRGGBB pixels (row by row from the top) as an 8-bit RGB PNG (the picture on screen is opaque,
// so alpha is dropped). Empty on success, otherwise why the file could not be written ("No space left on
// device"); a regular file left half written is removed.
std::string PlatWritePng(const char* pPath, const uint32_t* pPixels, int w, int h);

// ---------------------------------------------------------------------------------------------------------
// The process

// The program's resident memory in kilobytes (VmRSS of /proc/self/status); 0 where it cannot be read.
long PlatResidentKB();
