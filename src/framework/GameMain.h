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
    bool lockstep  = false; // one Update per frame with the frame time instead of the steady 1 ms steps
    bool vsync     = false; // presents in step with the display's refresh for this run (settings.ini: vsync)
    long frames    = 0;     // > 0: after this many frames the window counts as closed
    std::string scriptPath; // scripted input events, empty for none
    std::string recordPath; // the inputs of every step written to this replay file, empty for none
    std::string replayPath; // the inputs of every step read from this replay file, empty for none
    std::vector<GameScreenshot> screenshots;
    bool memoryReport  = false; // a "memory:" line on standard error every 10 s of game time
    bool drawShotsOnly = false; // only the frames that take a screenshot reach the renderer (tests)
    bool noDraw        = false; // the states' Draw is skipped: a headless run nobody looks at goes faster
};

// One frame of the state loop, in the frame order: full-screen key, system frame start, scripted input, the
// input gathered, the frame's steps (the hooked player, the step's input, the state's Update), the state's
// Draw (unless options.noDraw), the sound pass, screenshots, system frame end, the end test (window closed,
// --frames) and the frame time. On the steady clock a frame runs the whole 1 ms steps its time holds, each
// with gFrameTime 0.001; in lockstep it runs one step with the frame time of the frame before.
void GameFrame(const GameRunOptions& options);

// Runs the game; returns the process exit code (0 for a normal end).
int GameMain(const GameRunOptions& options);

// The program's frame number: 1 in the first frame, counted over every state.
extern long gFrameNumber;
// The program's simulation step: 1 in the first step, counted over every state.
extern long gStepNumber;

// Called before each step takes its input, so the keys it presses (KoInputOnKeyDown and its kin) reach that
// step (the bot player presses its keys here). Null for none.
extern void (*gStepInputHook)();

// Called once per frame right before its input is gathered, so what it queues as window events arrives in
// that frame's input (the screens walk checks each drawn frame and moves on here). Null for none.
extern void (*gFrameInputHook)();

// Save folder chosen on the command line (--save-dir); empty means the per-user folder.
extern std::string gSaveDirOverride;
// A replay plays (--replay): the run only watches. Nothing is written into the save or configuration
// folders; scores and settings change in memory only.
extern bool gWatchOnly;
