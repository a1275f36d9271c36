#include "framework/ButtonPanel.h"

#include <cstdarg>
#include <cstdio>

#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "engine/KoMath.h"
#include "framework/HighScore.h"
#include "framework/Sound.h"

namespace
{
const int BUTTONS_MAX         = 32; // buttons shown at once, at most
const int TEXT_MAX            = 1024;
const float POINTER_DX        = 1.0f;
const float POINTER_DY        = 0.7f;
const float FOCUS_AT          = 0.35f; // of a button's width right of its centre: where the focus points
const float SWING_TIME        = 0.3f;  // seconds the axe swings forward after a press
const float SWING_MAX         = 0.4f * KO_PI;   // how far it tips
const float SWING_STEP        = KO_PI / 300.0f; // per update
const int LAYOUT_VIEW_PIXELS  = 5;              // layout pixels per view unit (800 x 600 over 160 x 120)
const float LAYOUT_VIEW_TOP_Y = 300.0f;         // layout y of view y 0

ButtonPanel::Panel sPanel;
GameObjInst* sShown[BUTTONS_MAX]; // the buttons shown this update, in screen order
int sShownNum;
int sFocus;                         // index into sShown
unsigned sScreen;                   // the screen the focus belongs to
bool sKeyboard;                     // the keyboard or pad leads: the pointer stands on the focus
int sLastX, sLastY, sLastW, sLastH; // the cursor and the viewport the last update saw
char sText[TEXT_MAX];

bool Hit(const Vec2& at, const GameObjInst& button)
{
    return KoTestPointToRect(&at, &button.posCurr, sPanel.hitW, sPanel.hitH);
}

// Above comes first, then left.
bool Before(const GameObjInst* a, const GameObjInst* b)
{
    if (a->posCurr.y != b->posCurr.y) return a->posCurr.y > b->posCurr.y;
    return a->posCurr.x < b->posCurr.x;
}

void GatherShown()
{
    sShownNum = 0;
    for (size_t i = 0; i < sPanel.poolNum && sShownNum < BUTTONS_MAX; ++i)
    {
        GameObjInst* pInst = &sPanel.pPool[i];
        if (!(pInst->flag & FLAG_ACTIVE) || !sPanel.isButton(pInst->pObject->type)) continue;
        int at = sShownNum++;
        for (; at > 0 && Before(pInst, sShown[at - 1]); --at) sShown[at] = sShown[at - 1];
        sShown[at] = pInst;
    }
}

// Mouse motion since the last update (not a cursor that moved because the window changed size).
bool MouseMoved()
{
    int x = 0, y = 0;
    KoInputGetCursorClientPos(&x, &y);
    const int w = KoGfxGetViewportWidth(), h = KoGfxGetViewportHeight();
    const bool moved = (x != sLastX || y != sLastY) && w == sLastW && h == sLastH;
    sLastX = x, sLastY = y, sLastW = w, sLastH = h;
    return moved;
}
} // namespace

namespace ButtonPanel
{
void Use(const Panel& panel)
{
    sPanel    = panel;
    sShownNum = 0;
    sFocus    = 0;
    sScreen   = ~0u;
    sKeyboard = false;
    KoInputGetCursorClientPos(&sLastX, &sLastY);
    sLastW = KoGfxGetViewportWidth();
    sLastH = KoGfxGetViewportHeight();
}

bool Update(unsigned screen, bool takeInput, bool pressesCount, bool enterTaken)
{
    Vec2 cursor;
    KoInputGetLayoutCursorPosition(&cursor);
    const bool click = takeInput && KoInputMouseCheckTriggered(1);
    const bool up    = takeInput && (KoInputCheckTriggered(VK_UP) || KoInputCheckTriggered(VK_PAD_UP));
    const bool down  = takeInput && (KoInputCheckTriggered(VK_DOWN) || KoInputCheckTriggered(VK_PAD_DOWN));
    const bool press =
        takeInput && !enterTaken && (KoInputCheckTriggered(VK_RETURN) || KoInputCheckTriggered(VK_PAD_A));
    if (MouseMoved() || click) sKeyboard = false;

    GatherShown();
    if (screen != sScreen)
    {
        sScreen = screen;
        sFocus  = 0;
    }
    if (sFocus >= sShownNum) sFocus = sShownNum > 0 ? sShownNum - 1 : 0;
    if (sShownNum == 0)
    {
        Vec2Set(&sPanel.pPointer->posCurr, cursor.x + POINTER_DX, cursor.y + POINTER_DY);
        return click;
    }

    if (!sKeyboard)
        for (int i = 0; i < sShownNum; ++i)
            if (Hit(cursor, *sShown[i]))
            {
                sFocus = i;
                break;
            }
    if (up) sFocus = (sFocus + sShownNum - 1) % sShownNum;
    if (down) sFocus = (sFocus + 1) % sShownNum;
    if (up || down || press) sKeyboard = true;

    // The focused button is pointed at near its right end, so the axe leaves its label readable.
    GameObjInst* pFocused = sShown[sFocus];
    Vec2 at               = cursor;
    if (sKeyboard) Vec2Set(&at, pFocused->posCurr.x + sPanel.hitW * FOCUS_AT, pFocused->posCurr.y);
    Vec2Set(&sPanel.pPointer->posCurr, at.x + POINTER_DX, at.y + POINTER_DY);

    // Only the focused button grows and is pressed: on the common edge of two buttons the upper one.
    const bool hover = sKeyboard || Hit(cursor, *pFocused);
    for (int i = 0; i < sShownNum; ++i)
        sShown[i]->scale = hover && sShown[i] == pFocused ? sPanel.hoverScale : sPanel.scale;
    if (pressesCount && ((hover && click) || press)) sPanel.act(pFocused->pObject->type);
    return click || press;
}

void Swing(float* pTime, bool pressed, int sound, float dt)
{
    GameObjInst* pPointer = sPanel.pPointer;
    if (pressed)
    {
        *pTime            = SWING_TIME;
        pPointer->dirCurr = 0.0f;
        SoundPlay(sound, 0.0f);
    }
    *pTime -= dt;
    if (*pTime >= 0.0f && pPointer->dirCurr < SWING_MAX)
        pPointer->dirCurr += SWING_STEP;
    else if (*pTime < 0.0f && pPointer->dirCurr > 0.0f)
        pPointer->dirCurr -= SWING_STEP;
}

bool KeyboardLeads()
{
    return sKeyboard;
}

const GameObjInst* Focused()
{
    return sShownNum > 0 ? sShown[sFocus] : nullptr;
}

void Print(float x, float y, KoGfxFont* pFont, uint32_t colour, const char* pFormat, ...)
{
    va_list args;
    va_start(args, pFormat);
    vsnprintf(sText, sizeof sText, pFormat, args);
    va_end(args);
    KoGfxLayoutPrint(x, y, colour, sText, pFont);
}

void PrintHallOfFame(int firstY, int step, int rowHeight, float buttonY, float buttonH, KoGfxFont* pFont,
                     uint32_t colour)
{
    const int bottom = int(LAYOUT_VIEW_TOP_Y - (buttonY + buttonH * 0.5f) * float(LAYOUT_VIEW_PIXELS));
    const int rows   = HighScoreRowsAbove(firstY, step, rowHeight, bottom);
    int clipX = 0, clipY = 0;
    KoGfxLayoutToPixel(480.0f, 0.0f, &clipX, &clipY);
    for (int i = 0; i < rows; ++i)
    {
        const float y = float(firstY + step * i);
        KoGfxSetTextClipRight(clipX);
        Print(210, y, pFont, colour, "%.*s", HIGH_SCORE_NAME_SHOWN, gHighScores[size_t(i)].name.c_str());
        KoGfxSetTextClipRight(0);
        Print(490, y, pFont, colour, "%dm", gHighScores[size_t(i)].score);
    }
}
} // namespace ButtonPanel
