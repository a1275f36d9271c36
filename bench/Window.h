// The windowed figures of the benchmark: the game full screen on an X server without a GPU (Xvfb), the bot
// playing the level, beside the reference scene drawn in a window of the same size by the same renderer.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct SDL_Renderer;

struct WindowSettings
{
    std::string game, hook, data, saves;
    double seconds = 10.0; // measured of each game run (the reference scene: half of it)
};

struct WindowFigure
{
    int w, h;
    bool software;           // SDL_RENDER_DRIVER=software; otherwise the renderer the game picks
    bool vsync;              // --vsync
    double fps, gameMs, xMs; // frames a second; CPU ms a frame of the game and of the X server
    double core;             // CPU of the game and the X server, in cores
    double refFps, refMs;    // the reference scene (none for the vsync run)
    std::string used;        // the renderer the game said it uses
};

// The reference scene of a w x h picture: a quad over all of it, then 800 quads of a 32 x 24 grid (25 x 25
// pixels at 800 x 600), one geometry call each, and the present.
void DrawReference(SDL_Renderer* pRenderer, int w, int h);

// Measures every size and renderer; false when there is no Xvfb (said on standard error).
bool WindowMeasure(const WindowSettings& s, std::vector<WindowFigure>* pFigures);

// The table, with the targets; appends the summary's fields to *pSummary. False when a target is missed.
bool WindowPrint(FILE* pOut, const std::vector<WindowFigure>& figures, std::string* pSummary);
