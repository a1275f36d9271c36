// The entry function: start-up, the state loop with its frame order, and shut-down.
#pragma once
#include <string>
#include <vector>

struct GameScreenshot
{
    long frame; // 1 = the program's first frame
    std::string path;
};

struct GameRunOptions
{
    int fullScreen = -1;  // 0 the 800 x 600 window, 1 full screen, -1 as the settings file says
    int sound      = -1;  // 0 off, 1 on, -1 as the settings file says
    int windowW    = 800; // client size of the window (at least 640 x 480)
    int windowH    = 600;
    bool headless  = false; // dummy video and audio drivers, software renderer
    double fixedDt = 0.0;   // > 0: every frame lasts exactly this many seconds
    long frames    = 0;     // > 0: after this many frames the window counts as closed
    std::string scriptPath; // scripted input events, empty for none
    std::vector<GameScreenshot> screenshots;
    bool memoryReport = false; // a "memory:" line on standard error every 10 s of game time
};

// One frame of the state loop, in the frame order: full-screen key, system frame start, scripted and hooked
// input, input update, the state's Update and Draw, the sound pass, screenshots, system frame end, the end
// test (window closed, --frames) and the frame time.
void GameFrame(const GameRunOptions& options);

// Runs the game; returns the process exit code (0 for a normal end).
int GameMain(const GameRunOptions& options);

// The program's frame number: 1 in the first frame, counted over every state.
extern long gFrameNumber;

// Called once per frame right before the input update, so what it queues as window events arrives in that
// frame's input (the bot player presses its keys here). Null for none.
extern void (*gFrameInputHook)();

// Save folder chosen on the command line (--save-dir); empty means the per-user folder.
extern std::string gSaveDirOverride;
