#include "states/EditorHelp.h"

#include <cstdio>

#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "framework/GameStateMgr.h"

namespace
{
const unsigned int TEXT_COLOUR   = 0xFFFFF0C0;
const unsigned int STATUS_OK     = 0xFFA0F0A0;
const unsigned int STATUS_FAILED = 0xFFFF9080;
const unsigned int SHADOW        = 0xFF000000;
const float MARGIN               = 12.0f; // pixels from the window's edges, at the 800 x 600 layout's scale

KoGfxFont* sFont;
const char* sEditor = "";
const char* sLegend = "";
float sLegendTime; // seconds the legend still shows; below 0 when hidden
std::string sStatus;
bool sStatusFailed;
float sStatusTime;

// Layout pixels to window pixels: the legend grows with the window as the menus' texts do, but keeps to
// the window's corners.
int Scaled(float pixels)
{
    return int(pixels * KoGfxLayoutScale());
}

// A dark copy a pixel (at the layout's scale) down and right keeps the text readable over grid lines and
// objects.
void PrintShadowed(int x, int y, unsigned int colour, const char* pText)
{
    const int shadow = Scaled(1.0f) > 1 ? Scaled(1.0f) : 1;
    KoGfxPrint(x + shadow, y + shadow, SHADOW, pText, sFont);
    KoGfxPrint(x, y, colour, pText, sFont);
}
} // namespace

namespace EditorHelp
{
void Load()
{
    sFont = KoGfxCreateLayoutFont(18, 0, 600, false, "Terminal");
}

void Unload()
{
    KoGfxFreeFont(sFont);
    sFont = nullptr;
}

void Init(const char* pEditor, const char* pLegend)
{
    sEditor     = pEditor;
    sLegend     = pLegend;
    sLegendTime = LEGEND_SECONDS;
    sStatus.clear();
    sStatusTime = 0.0f;
}

void Update()
{
    if (KoInputCheckTriggered(VK_H)) sLegendTime = sLegendTime > 0.0f ? -1.0f : 1e30f;
    if (sLegendTime > 0.0f) sLegendTime -= gFrameTime;
    sStatusTime -= gFrameTime;
    if (sStatusTime <= 0.0f) sStatus.clear();
}

void SaveResult(const char* pPath, const std::string& why)
{
    sStatusFailed = !why.empty();
    sStatus = sStatusFailed ? "Not saved: " + std::string(pPath) + ": " + why : "Saved " + std::string(pPath);
    sStatusTime = STATUS_SECONDS;
    if (sStatusFailed) fprintf(stderr, "%s: could not save %s: %s\n", sEditor, pPath, why.c_str());
}

void Draw()
{
    if (!sFont) return;
    const int margin = Scaled(MARGIN);
    if (sLegendTime > 0.0f) PrintShadowed(margin, margin, TEXT_COLOUR, sLegend);
    if (!sStatus.empty())
    {
        int y = KoGfxGetWindowHeight() - margin - KoGfxGetFontLineHeight(sFont);
        PrintShadowed(margin, y, sStatusFailed ? STATUS_FAILED : STATUS_OK, sStatus.c_str());
    }
}

bool LegendShown()
{
    return sLegendTime > 0.0f;
}

const std::string& Status()
{
    return sStatus;
}
} // namespace EditorHelp
