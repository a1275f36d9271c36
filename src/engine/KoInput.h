// Keyboard and mouse state. Keys are Windows-style virtual-key codes (0-255); mouse buttons are 1 (left)
// and 2 (right). The window events are gathered once per frame (KoInputGather); each simulation step then
// takes the gathered state as its current one (KoInputStep), the state the step before saw becoming the
// previous one. Held, triggered and released follow from the two. With taps kept, a key that went down
// since the last step reads as held in the next step even if it is up again, so a press and release
// inside one frame still counts (once); a frame without a step keeps its presses for the next one.
#pragma once
#include "engine/KoMath.h"

// The key codes the game uses.
constexpr unsigned char VK_LBUTTON   = 0x01;
constexpr unsigned char VK_RBUTTON   = 0x02;
constexpr unsigned char VK_BACK      = 0x08;
constexpr unsigned char VK_TAB       = 0x09;
constexpr unsigned char VK_RETURN    = 0x0D;
constexpr unsigned char VK_SHIFT     = 0x10;
constexpr unsigned char VK_CONTROL   = 0x11;
constexpr unsigned char VK_ESCAPE    = 0x1B;
constexpr unsigned char VK_SPACE     = 0x20;
constexpr unsigned char VK_LEFT      = 0x25;
constexpr unsigned char VK_UP        = 0x26;
constexpr unsigned char VK_RIGHT     = 0x27;
constexpr unsigned char VK_DOWN      = 0x28;
constexpr unsigned char VK_DELETE    = 0x2E;
constexpr unsigned char VK_0         = 0x30; // digits '0'..'9' are 0x30..0x39
constexpr unsigned char VK_A         = 0x41; // letters 'A'..'Z' are 0x41..0x5A
constexpr unsigned char VK_H         = 0x48;
constexpr unsigned char VK_J         = 0x4A;
constexpr unsigned char VK_L         = 0x4C;
constexpr unsigned char VK_R         = 0x52;
constexpr unsigned char VK_Z         = 0x5A;
constexpr unsigned char VK_F1        = 0x70;
constexpr unsigned char VK_F2        = 0x71;
constexpr unsigned char VK_F3        = 0x72;
constexpr unsigned char VK_F4        = 0x73;
constexpr unsigned char VK_F5        = 0x74;
constexpr unsigned char VK_F6        = 0x75;
constexpr unsigned char VK_F7        = 0x76;
constexpr unsigned char VK_F8        = 0x77;
constexpr unsigned char VK_F9        = 0x78;
constexpr unsigned char VK_F10       = 0x79;
constexpr unsigned char VK_F11       = 0x7A;
constexpr unsigned char VK_F12       = 0x7B;
constexpr unsigned char VK_OEM_PLUS  = 0xBB; // '=' / '+'
constexpr unsigned char VK_OEM_MINUS = 0xBD; // '-'
// A game pad's controls (any connected controller; scripts press them by these codes too). Its Start
// button is VK_ESCAPE.
constexpr unsigned char VK_PAD_A    = 0xC3; // south button
constexpr unsigned char VK_PAD_B    = 0xC4; // east button
constexpr unsigned char VK_PAD_UP   = 0xCB; // D-pad up, or the left stick pushed up (repeating while held)
constexpr unsigned char VK_PAD_DOWN = 0xCC; // D-pad down, or the left stick pushed down

bool KoInputInit();
void KoInputReset();
// Pumps the pending window events into the gathered state and reads the cursor.
void KoInputGather();
// The next step's input: the current state becomes the previous one, the gathered one the current one.
void KoInputStep();
// One step per frame: KoInputGather, then KoInputStep.
void KoInputUpdate();
// Taps kept (the steady clock's many steps per frame): off by default.
void KoInputKeepTaps(bool on);
// Live input ignored (a replay plays): the window's keys, buttons and cursor and KoInputOn* change nothing;
// only KoInputSet* do.
void KoInputIgnoreLive(bool on);
// The gathered state, set directly (a replay). Once the cursor is set it is no longer read from the system.
void KoInputSetKey(unsigned char vk, bool down);
void KoInputSetButton(unsigned char button, bool down);
void KoInputSetCursor(int x, int y);
// The cursor the current step sees, in client pixels.
void KoInputGetCursorClientPos(int* pX, int* pY);

bool KoInputCheckCurr(unsigned char key);
bool KoInputCheckTriggered(unsigned char key);
bool KoInputCheckReleased(unsigned char key);
bool KoInputMouseCheckCurr(unsigned char button);
bool KoInputMouseCheckTriggered(unsigned char button);
// Cursor position in world coordinates (the plane z = 0 seen through the camera).
void KoInputGetCursorPosition(Vec2* pPos);
// Cursor position in the screen layout's view units (KoGraphics.h): where menus and overlays hit-test.
void KoInputGetLayoutCursorPosition(Vec2* pPos);
void KoInputShowCursor(bool show);

// Live input: the window procedure calls these while the window events are pumped. KoInputOnCursor moves
// the cursor for good (it is no longer read from the system).
void KoInputOnKeyDown(unsigned char vk);
void KoInputOnKeyUp(unsigned char vk);
void KoInputOnMouse(bool left, bool right);
void KoInputOnCursor(int x, int y);
// Input played by code arrives here, where the window's own does, so it counts like a player's (a replay
// records it): the bot before each step, the script player and the tests before a frame's input. A key goes
// down or up; the pointer stands at client pixel (x, y) with these buttons held (KoInputOnCursor, then
// KoInputOnMouse).
void KoInputOnKey(unsigned char vk, bool down);
void KoInputOnPointer(int x, int y, bool left, bool right);

// World position of client pixel (px, py) for a viewport of width x height, seen through the given
// projection and view matrices. KoInputGetCursorPosition uses it with the device's camera.
void KoInputClientToWorld(Vec2* pPos, int px, int py, float width, float height, const Mtx44* pProj,
                          const Mtx44* pView);
