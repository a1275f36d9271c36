// The system layer: the game window and its device, the window-procedure logic and the five operations that
// bracket a run (init, reset, frame start, frame end, exit).
#pragma once

#include <string>

// True from window creation until the window is destroyed (closed).
extern bool gKoSysWindowExists;
// True while the window is the active window and not minimised.
extern bool gKoSysWindowActive;

// The window title (default "Marl Engine"); the text must live as long as the program. Set before KoSysInit.
void KoSysSetWindowTitle(const char* pTitle);
const char* KoSysGetWindowTitle();

// The client size of the window KoSysInit creates (800 x 600 unless set before it); it is also the size the
// window takes again whenever it leaves full screen. The window cannot be made smaller than
// KO_SYS_WINDOW_MIN_W x KO_SYS_WINDOW_MIN_H.
#define KO_SYS_WINDOW_MIN_W 640
#define KO_SYS_WINDOW_MIN_H 480
void KoSysSetWindowSize(int w, int h);

// Creates the window, the input, the device and the frame-rate controller. Empty, or why not.
std::string KoSysInit();
// Frame-rate controller reset and input reset (before each state's Load or restart).
void KoSysReset();
void KoSysFrameStart();
void KoSysFrameEnd();
// Releases the device and the fonts still open, destroys the window. Returns the program's exit code for a
// normal end: 0.
int KoSysExit();

// Drains the pending window events and applies them: activation, size changes, end of resize, close, keys
// and mouse (KoInputOnKeyDown/Up, KoInputOnMouse). Called by the input update.
void KoSysPumpMessages();
// The cursor in client pixels of the game window (origin top-left, y down).
void KoSysGetCursorClientPos(int* pX, int* pY);
