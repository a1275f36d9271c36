#include "framework/GameMain.h"

#include "engine/KoAssert.h"
#include "engine/KoFrameRateController.h"
#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "engine/KoSystem.h"
#include "framework/GameStateMgr.h"
#include "framework/HighScore.h"
#include "framework/Replay.h"
#include "framework/Script.h"
#include "framework/Settings.h"
#include "framework/Sound.h"
#include "platform/Platform.h"

#include <cstdio>
#include <string>

// The window's icon in the data folder: the same troglin as the desktop's icons (tools/icongen).
static const char* const WINDOW_ICON_FILE = "Icons/skarnhold.bmp";

// Requests this frame's screenshots; true if there are any.
static bool TakeScreenshots(const GameRunOptions& options, bool request = true)
{
    bool any = false;
    for (const GameScreenshot& s : options.screenshots)
        if (s.frame == gFrameNumber)
        {
            if (request) KoGfxRequestScreenshot(s.path.c_str());
            any = true;
        }
    return any;
}

const double MEMORY_REPORT_EVERY = 10.0;                // seconds of game time
static double sNextMemoryReport  = MEMORY_REPORT_EVERY; // game time of the next "memory:" line

// Every ten seconds of game time: the game time, the frame and the resident memory.
static void ReportMemory()
{
    if (gTotalTime < sNextMemoryReport) return;
    fprintf(stderr, "memory: seconds=%.0f frame=%ld rss_kb=%ld\n", sNextMemoryReport, gFrameNumber,
            PlatResidentKB());
    sNextMemoryReport += MEMORY_REPORT_EVERY;
}

static bool sScreenToggle; // F11 went down in the first step of the last frame

// One simulation step: the hooked player, the step's input, the state's Update.
static void GameStep()
{
    ++gStepNumber;
    if (gStepInputHook) gStepInputHook();
    Replay::FeedStep(gStepNumber);
    KoInputStep();
    if (!Replay::RecordStep(gStepNumber))
    {
        gGameStateNext = GS_QUIT; // the recording could not be written
        return;
    }
    GameStateUpdate();
}

void GameFrame(const GameRunOptions& options)
{
    ++gFrameNumber;
    if (sScreenToggle)
    {
        KoGfxToggleScreenMode();
        sScreenToggle = false;
    }
    gKoGfxSkipScenes = options.drawShotsOnly && !TakeScreenshots(options, false);
    KoSysFrameStart();
    Script::InjectFrame(gFrameNumber); // scripted events arrive with the window's own
    if (gFrameInputHook) gFrameInputHook();
    KoInputGather();
    // Steady clock: every step lasts one step time; a state change drops the rest of the frame's steps.
    const bool steady = KoFrameRateControllerIsSteady();
    const int steps   = KoFrameRateControllerSteps();
    if (steady) gFrameTime = float(gKoFrameTime);
    for (int i = 0; i < steps && gGameStateCurr == gGameStateNext; ++i)
    {
        if (Replay::Ended(gStepNumber))
        {
            gGameStateNext = GS_QUIT; // where the recording ended
            break;
        }
        GameStep();
        if (i == 0) sScreenToggle = KoInputCheckTriggered(VK_F11);
        if (steady) gTotalTime += double(gFrameTime);
    }
    if (!options.noDraw) GameStateDraw();
    Settings::SaveChanged();
    SoundSetChannelVolumes(gSoundOn);
    SoundUpdate();
    TakeScreenshots(options);
    KoSysFrameEnd();
    if (!gKoSysWindowExists || (options.frames > 0 && gFrameNumber >= options.frames))
        gGameStateNext = GS_QUIT;
    if (!steady)
    {
        gFrameTime = float(gKoFrameTime);
        gTotalTime += double(gFrameTime);
    }
    if (options.memoryReport) ReportMemory();
}

static bool sStateRunning; // the current state is loaded and initialised

// One pass of the state loop: a state that starts is loaded (unless it restarts) and initialised; the
// frame runs while the state stays; a state that ends is freed (and unloaded unless it restarts). False
// once the next state is the end.
static bool GameLoopFrame(void* pOptions)
{
    if (!sStateRunning)
    {
        KoSysReset();
        sScreenToggle = false;
        if (gGameStateCurr == GS_RESTART)
            gGameStateCurr = gGameStateNext = gGameStatePrev;
        else
        {
            GameStateMgrUpdate();
            GameStateLoad();
        }
        GameStateInit();
        sStateRunning = true;
    }
    if (gGameStateCurr == gGameStateNext) GameFrame(*static_cast<const GameRunOptions*>(pOptions));
    if (gGameStateCurr == gGameStateNext) return true;

    GameStateFree();
    if (gGameStateNext != GS_RESTART) GameStateUnload();
    fprintf(stderr, "frame %ld: state %d -> %d\n", gFrameNumber, gGameStateCurr, gGameStateNext);
    gGameStatePrev = gGameStateCurr;
    gGameStateCurr = gGameStateNext;
    sStateRunning  = false;
    return gGameStateCurr != GS_QUIT;
}

// Shut-down; returns the process exit code: 1 when a recording or a screenshot could not be written.
static int GameEnd(void*)
{
    const bool recorded = Replay::RecordEnd(gStepNumber);
    const bool shot     = !KoGfxScreenshotFailed();
    SoundRelease(); // ends the process with 1 if the audio system fails to release
    const int code = KoSysExit();
    return recorded && shot ? code : 1;
}

int GameMain(const GameRunOptions& options)
{
    std::string error;
    if ((!options.scriptPath.empty() && !Script::Load(options.scriptPath, &error)) ||
        (!options.replayPath.empty() && !Replay::Load(options.replayPath, &error)) ||
        (!options.recordPath.empty() && !Replay::Record(options.recordPath, &error)))
    {
        fprintf(stderr, "skarnhold: %s\n", error.c_str());
        return 2;
    }
    gWatchOnly = !options.replayPath.empty();
    PlatConfigure(options.headless);
    KoFrameRateControllerSetFixed(options.fixedDt);
    KoFrameRateControllerSetSteady(!options.lockstep);
    KoInputKeepTaps(!options.lockstep);
    gFrameNumber      = 0;
    gStepNumber       = 0;
    sNextMemoryReport = gTotalTime + MEMORY_REPORT_EVERY;

    // Start-up.
    BuildSaveFolder();
    Settings::Load();
    if (options.fullScreen >= 0) gKoGfxFullScreen = options.fullScreen == 1; // the mode to start in
    if (options.sound >= 0) gSoundOn = options.sound == 1;
    if (options.vsync) gVsync = true;
    Settings::Remember();  // the command line's choices hold for this run only
    KoGfxSetVsync(gVsync); // the renderer is made with it
    KoSysSetWindowTitle(gWindowTitle.c_str());
    KoSysSetWindowSize(options.windowW, options.windowH);
    const std::string why = KoSysInit();
    if (!why.empty()) KoFatal("the window or its drawing device could not be created: %s", why.c_str());
    std::string iconProblem = PlatWindowSetIcon(WINDOW_ICON_FILE);
    if (!iconProblem.empty())
        fprintf(stderr, "skarnhold: window icon %s: %s\n", WINDOW_ICON_FILE, iconProblem.c_str());
    KoSysReset();
    SoundInit();
    gGameStateNext = gGameStateCurr = gGameStatePrev = GS_SPLASH;
    GameStateMgrUpdate();
    sStateRunning = false;
    // The state loop, a frame at a time. In a browser every frame is handed back to the page and main's
    // stack is given up, so the loop keeps its own copy of the options.
    static GameRunOptions sOptions;
    sOptions = options;
    return PlatRunLoop(GameLoopFrame, GameEnd, &sOptions);
}
