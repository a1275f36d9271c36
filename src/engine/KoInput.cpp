#include "engine/KoInput.h"

#include "engine/KoGraphics.h"
#include "engine/KoSystem.h"
#include "platform/Platform.h"

#include <cstring>

// What the window events say now (gathered), what went down since the last step took its input, and what
// the current and the previous step see.
static unsigned char sKeyGathered[256];
static unsigned char sKeyWentDown[256];
static unsigned char sKeyCurr[256];
static unsigned char sKeyPrev[256];
static unsigned char sMouseGathered[3]; // index 1 left, 2 right
static unsigned char sMouseWentDown[3];
static unsigned char sMouseCurr[3];
static unsigned char sMousePrev[3];
static int sCursorGatheredX, sCursorGatheredY; // client pixels
static int sCursorX, sCursorY;                 // the cursor the current step sees
static bool sCursorSet;   // the cursor is set by code (a bot, a replay), no longer read from the system
static bool sKeepTaps;    // a press inside one gathering still reaches the next step
static bool sLiveIgnored; // the window's keys and mouse, and KoInputOn*, change nothing

static_assert(VK_PAD_A == PLAT_VK_PAD_A && VK_PAD_B == PLAT_VK_PAD_B && VK_PAD_UP == PLAT_VK_PAD_UP &&
                  VK_PAD_DOWN == PLAT_VK_PAD_DOWN,
              "the platform's game-pad codes are the engine's");

bool KoInputInit()
{
    if (PlatGetMouseButtonCount() == 0)
    {
        PlatShowMessageBox("KoInputInit", "Failed to Initialize the mouse");
        return false;
    }
    return true;
}

void KoInputReset()
{
    memset(sKeyGathered, 0, sizeof sKeyGathered);
    memset(sKeyWentDown, 0, sizeof sKeyWentDown);
    memset(sKeyCurr, 0, sizeof sKeyCurr);
    memset(sKeyPrev, 0, sizeof sKeyPrev);
    memset(sMouseGathered, 0, sizeof sMouseGathered);
    memset(sMouseWentDown, 0, sizeof sMouseWentDown);
    memset(sMouseCurr, 0, sizeof sMouseCurr);
    memset(sMousePrev, 0, sizeof sMousePrev);
}

void KoInputGather()
{
    KoSysPumpMessages();
    if (!sCursorSet && !sLiveIgnored) KoSysGetCursorClientPos(&sCursorGatheredX, &sCursorGatheredY);
}

void KoInputStep()
{
    memcpy(sKeyPrev, sKeyCurr, sizeof sKeyCurr);
    memcpy(sMousePrev, sMouseCurr, sizeof sMouseCurr);
    for (int k = 0; k < 256; ++k) sKeyCurr[k] = sKeyGathered[k] | (sKeepTaps ? sKeyWentDown[k] : 0);
    for (int b = 0; b < 3; ++b) sMouseCurr[b] = sMouseGathered[b] | (sKeepTaps ? sMouseWentDown[b] : 0);
    memset(sKeyWentDown, 0, sizeof sKeyWentDown);
    memset(sMouseWentDown, 0, sizeof sMouseWentDown);
    sCursorX = sCursorGatheredX;
    sCursorY = sCursorGatheredY;
}

void KoInputUpdate()
{
    KoInputGather();
    KoInputStep();
}

void KoInputKeepTaps(bool on)
{
    sKeepTaps = on;
}

void KoInputIgnoreLive(bool on)
{
    sLiveIgnored = on;
}

bool KoInputCheckCurr(unsigned char key)
{
    return sKeyCurr[key] != 0;
}
bool KoInputCheckTriggered(unsigned char key)
{
    return sKeyCurr[key] && !sKeyPrev[key];
}
bool KoInputCheckReleased(unsigned char key)
{
    return sKeyPrev[key] && !sKeyCurr[key];
}

bool KoInputMouseCheckCurr(unsigned char button)
{
    return button < 3 && sMouseCurr[button] != 0;
}
bool KoInputMouseCheckTriggered(unsigned char button)
{
    return button < 3 && sMouseCurr[button] && !sMousePrev[button];
}

void KoInputSetKey(unsigned char vk, bool down)
{
    sKeyWentDown[vk] |= down && !sKeyGathered[vk];
    sKeyGathered[vk] = down ? 1 : 0;
}

void KoInputSetButton(unsigned char button, bool down)
{
    if (button >= 3) return;
    sMouseWentDown[button] |= down && !sMouseGathered[button];
    sMouseGathered[button] = down ? 1 : 0;
}

void KoInputSetCursor(int x, int y)
{
    sCursorSet       = true;
    sCursorGatheredX = x;
    sCursorGatheredY = y;
}

void KoInputOnKeyDown(unsigned char vk)
{
    if (!sLiveIgnored) KoInputSetKey(vk, true);
}
void KoInputOnKeyUp(unsigned char vk)
{
    if (!sLiveIgnored) KoInputSetKey(vk, false);
}

void KoInputOnMouse(bool left, bool right)
{
    if (sLiveIgnored) return;
    KoInputSetButton(1, left);
    KoInputSetButton(2, right);
}

void KoInputOnCursor(int x, int y)
{
    if (!sLiveIgnored) KoInputSetCursor(x, y);
}

void KoInputOnKey(unsigned char vk, bool down)
{
    if (down)
        KoInputOnKeyDown(vk);
    else
        KoInputOnKeyUp(vk);
}

void KoInputOnPointer(int x, int y, bool left, bool right)
{
    KoInputOnCursor(x, y);
    KoInputOnMouse(left, right);
}

void KoInputGetCursorClientPos(int* pX, int* pY)
{
    *pX = sCursorX;
    *pY = sCursorY;
}

void KoInputClientToWorld(Vec2* pPos, int px, int py, float width, float height, const Mtx44* pProj,
                          const Mtx44* pView)
{
    // Direction of the ray through the pixel in view space.
    float vx = (2.0f * float(px) / width - 1.0f) / pProj->m[0][0];
    float vy = -(2.0f * float(py) / height - 1.0f) / pProj->m[1][1];

    // Into world space through the inverse view; a right-handed camera looks down its -z.
    Mtx44 m = *pView;
    Mtx44Inverse(&m, pView);
    float o[3] = {m.m[3][0], m.m[3][1], m.m[3][2]};
    float d[3];
    for (int i = 0; i < 3; ++i) d[i] = vx * m.m[0][i] + vy * m.m[1][i] - m.m[2][i];

    // Where the ray meets the plane z = 0.
    float t = (0.0f - o[2]) / d[2];
    Vec2Set(pPos, o[0] + t * d[0], o[1] + t * d[1]);
}

// The cursor through the camera of the given projection.
static void CursorThrough(Vec2* pPos, const Mtx44* pProj)
{
    Mtx44 view;
    KoGfxGetViewMatrix(&view);
    KoInputClientToWorld(pPos, sCursorX, sCursorY, float(KoGfxGetViewportWidth()),
                         float(KoGfxGetViewportHeight()), pProj, &view);
}

void KoInputGetCursorPosition(Vec2* pPos)
{
    Mtx44 proj;
    KoGfxGetProjectionMatrix(&proj);
    CursorThrough(pPos, &proj);
}

void KoInputGetLayoutCursorPosition(Vec2* pPos)
{
    Mtx44 proj;
    KoGfxGetLayoutProjectionMatrix(&proj);
    CursorThrough(pPos, &proj);
}

void KoInputShowCursor(bool show)
{
    PlatShowCursor(show);
}
