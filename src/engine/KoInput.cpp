#define KO_MODULE "src\\KoInput"
#include "engine/KoInput.h"

#include "engine/KoGraphics.h"
#include "engine/KoSystem.h"
#include "platform/Platform.h"

#include <cstring>

static unsigned char sKeyCurr[256];
static unsigned char sKeyPrev[256];
static unsigned char sMouseCurr[3]; // index 1 left, 2 right
static unsigned char sMousePrev[3];

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
    memset(sKeyCurr, 0, sizeof sKeyCurr);
    memset(sKeyPrev, 0, sizeof sKeyPrev);
    memset(sMouseCurr, 0, sizeof sMouseCurr);
    memset(sMousePrev, 0, sizeof sMousePrev);
}

void KoInputUpdate()
{
    memcpy(sKeyPrev, sKeyCurr, sizeof sKeyCurr);
    memcpy(sMousePrev, sMouseCurr, sizeof sMouseCurr);
    KoSysPumpMessages();
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

void KoInputOnKeyDown(unsigned char vk)
{
    sKeyCurr[vk] = 1;
}
void KoInputOnKeyUp(unsigned char vk)
{
    sKeyCurr[vk] = 0;
}

void KoInputOnMouse(bool left, bool right)
{
    sMouseCurr[1] = left ? 1 : 0;
    sMouseCurr[2] = right ? 1 : 0;
}

void KoInputClientToWorld(Vec2* pPos, int px, int py, float width, float height, const KoGfxMatrix* pProj,
                          const KoGfxMatrix* pView)
{
    // Direction of the ray through the pixel in view space.
    float vx = (2.0f * float(px) / width - 1.0f) / pProj->m[0][0];
    float vy = -(2.0f * float(py) / height - 1.0f) / pProj->m[1][1];

    // Into world space through the inverse view; a right-handed camera looks down its -z.
    KoGfxMatrix m = *pView;
    KoGfxMatrixInverse(&m, pView);
    float o[3] = {m.m[3][0], m.m[3][1], m.m[3][2]};
    float d[3];
    for (int i = 0; i < 3; ++i) d[i] = vx * m.m[0][i] + vy * m.m[1][i] - m.m[2][i];

    // Where the ray meets the plane z = 0.
    float t = (0.0f - o[2]) / d[2];
    Vec2Set(pPos, o[0] + t * d[0], o[1] + t * d[1]);
}

// The cursor through the camera of the given projection.
static void CursorThrough(Vec2* pPos, const KoGfxMatrix* pProj)
{
    int px = 0, py = 0;
    KoSysGetCursorClientPos(&px, &py);
    KoGfxMatrix view;
    KoGfxGetViewMatrix(&view);
    KoInputClientToWorld(pPos, px, py, float(KoGfxGetViewportWidth()), float(KoGfxGetViewportHeight()), pProj,
                         &view);
}

void KoInputGetCursorPosition(Vec2* pPos)
{
    KoGfxMatrix proj;
    KoGfxGetProjectionMatrix(&proj);
    CursorThrough(pPos, &proj);
}

void KoInputGetLayoutCursorPosition(Vec2* pPos)
{
    KoGfxMatrix proj;
    KoGfxGetLayoutProjectionMatrix(&proj);
    CursorThrough(pPos, &proj);
}

void KoInputShowCursor(bool show)
{
    PlatShowCursor(show);
}
