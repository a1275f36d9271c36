// The buttons of a menu screen or of an overlay, and the axe pointer over them. The buttons are instances
// of a screen-space pool (positions in the layout's view units); their owner shows and hides them, and the
// panel sizes the ones shown and runs the action of the ones pressed:
// - with the mouse, the shown button under the cursor grows, and a click presses it (where two buttons
//   meet, the first in screen order: one click never presses two buttons);
// - with the keyboard or a game pad, UP and DOWN (the pad's D-pad and left stick) move a focus through the
//   buttons shown, in screen order (top to bottom, then left to right), wrapping; the pointer stands at the
//   focused button as if the mouse were there (it grows), and ENTER (the pad's south button) presses it.
// The focus starts on the first button of each screen and follows the mouse onto a button it hovers; mouse
// motion or a click gives the pointer back to the mouse. One panel is in use at a time (the menu's or the
// level's); the keys are read once per input step however often the panel is updated in it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/CommonLevel.h"

struct KoGfxFont;

namespace ButtonPanel
{
// The pale stone colour of the texts of the menus and the level's overlays.
constexpr uint32_t TEXT_COLOUR = 0xFFE0C5B8;

struct Panel
{
    GameObjInst* pPool; // the owner's screen-space pool
    size_t poolNum;     // records of it that can hold a button
    bool (*isButton)(unsigned type);
    void (*act)(unsigned type); // a button of this type was pressed
    GameObjInst* pPointer;      // the axe; it stands 1.0 right of and 0.7 above the point it hits
    float hitW, hitH;           // the hit rectangle around a button's centre
    float scale, hoverScale;    // a button's scale, and under the pointer
};

// State Init: this panel from now on; the mouse leads, the focus waits on the first button.
void Use(const Panel& panel);
// One update, after the owner has shown its screen's buttons. `screen` names the screen shown (a new value
// puts the focus on its first button); the step's keys and clicks count only when `takeInput` (an owner
// that updates twice in a step takes them once); presses run actions only while `pressesCount` (the owner's
// start-up delay has passed); `enterTaken`: this step's ENTER confirmed a typed text and presses nothing.
// Places the pointer, sizes the shown buttons and runs the actions of the pressed ones. True when the player
// pressed: a click anywhere, or ENTER on a button (whether or not it acted), so the owner swings the pointer.
bool Update(unsigned screen, bool takeInput, bool pressesCount, bool enterTaken);
// The pointer's swing, once per update: a press tips the axe back to upright with `sound`, then it swings
// forward for a while (*pTime counts down) and comes back, a step per update.
void Swing(float* pTime, bool pressed, int sound, float dt);
// True while the keyboard or pad leads (the pointer stands on the focused button).
bool KeyboardLeads();
// The focused button, or null when the screen shows none.
const GameObjInst* Focused();

// Formats into the panel's text buffer (cut to its 1024 characters) and prints at a position of the
// 800 x 600 layout.
void Print(float x, float y, KoGfxFont* pFont, uint32_t colour, const char* pFormat, ...)
    __attribute__((format(printf, 5, 6)));
// The Hall Of Fame's rows from layout y `firstY`, `step` apart, that end above a button centred at view
// height `buttonY` (`buttonH` high): the names at x 210, cut before the score column at 480, the scores at
// 490.
void PrintHallOfFame(int firstY, int step, int rowHeight, float buttonY, float buttonH, KoGfxFont* pFont,
                     uint32_t colour);
} // namespace ButtonPanel
