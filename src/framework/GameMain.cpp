#include "framework/GameMain.h"

#include "engine/KoFrameRateController.h"
#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "engine/KoSystem.h"
#include "framework/GameStateMgr.h"
#include "framework/HighScore.h"
#include "framework/Script.h"
#include "framework/Settings.h"
#include "framework/Sound.h"
#include "platform/Platform.h"

#include <cstdio>

static void TakeScreenshots(const GameRunOptions& options)
{
    for (const GameScreenshot& s : options.screenshots)
        if (s.frame == gFrameNumber) KoGfxRequestScreenshot(s.path.c_str());
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

void GameFrame(const GameRunOptions& options)
{
    ++gFrameNumber;
    if (KoInputCheckTriggered(VK_F11))
    {
        gFullScreen = !gFullScreen;
        KoGfxToggleScreenMode();
    }
    KoSysFrameStart();
    Script::InjectFrame(gFrameNumber); // scripted events arrive with the window's own
    if (gFrameInputHook) gFrameInputHook();
    KoInputUpdate();
    GameStateUpdate();
    GameStateDraw();
    Settings::SaveChanged();
    SoundSetChannelVolumes(gSoundOn);
    SoundUpdate();
    TakeScreenshots(options);
    KoSysFrameEnd();
    if (!gKoSysWindowExists || (options.frames > 0 && gFrameNumber >= options.frames))
        gGameStateNext = GS_QUIT;
    gFrameTime = float(gKoFrameTime);
    gTotalTime += double(gFrameTime);
    if (options.memoryReport) ReportMemory();
}

int GameMain(const GameRunOptions& options)
{
    if (!options.scriptPath.empty())
    {
        std::string error;
        if (!Script::Load(options.scriptPath, &error))
        {
            fprintf(stderr, "skarnhold: %s\n", error.c_str());
            return 2;
        }
    }
    PlatConfigure(options.headless);
    KoFrameRateControllerSetFixed(options.fixedDt);
    gFrameNumber      = 0;
    sNextMemoryReport = gTotalTime + MEMORY_REPORT_EVERY;

    // Start-up.
    BuildSaveFolder();
    KoSysSetWindowTitle(gWindowTitle.c_str());
    KoSysSetWindowSize(options.windowW, options.windowH);
    if (!KoSysInit())
    {
        fprintf(stderr, "skarnhold: the window or its drawing device could not be created\n");
        return 1;
    }
    KoSysReset();
    SoundInit();
    gGameStateNext = gGameStateCurr = gGameStatePrev = GS_SPLASH;
    GameStateMgrUpdate();
    Settings::Load();
    if (options.fullScreen >= 0) gFullScreen = options.fullScreen == 1;
    if (options.sound >= 0) gSoundOn = options.sound == 1;
    Settings::Remember();                     // the command line's choices hold for this run only
    if (gFullScreen) KoGfxToggleScreenMode(); // the first frame switches to full screen

    // The state loop.
    while (gGameStateCurr != GS_QUIT)
    {
        KoSysReset();
        if (gGameStateCurr == GS_RESTART)
            gGameStateCurr = gGameStateNext = gGameStatePrev;
        else
        {
            GameStateMgrUpdate();
            GameStateLoad();
        }
        GameStateInit();

        while (gGameStateCurr == gGameStateNext) GameFrame(options);

        GameStateFree();
        if (gGameStateNext != GS_RESTART) GameStateUnload();
        fprintf(stderr, "frame %ld: state %d -> %d\n", gFrameNumber, gGameStateCurr, gGameStateNext);
        gGameStatePrev = gGameStateCurr;
        gGameStateCurr = gGameStateNext;
        if (gGameStateCurr != GS_QUIT && gGameStateCurr != GS_RESTART &&
            !GameStateMgrHasState(gGameStateCurr))
        {
            fprintf(stderr, "skarnhold: state %d is not part of this build; the program ends\n",
                    gGameStateCurr);
            gGameStateCurr = GS_QUIT;
        }
    }

    // Shut-down.
    SoundRelease(); // ends the process with -1 if the audio system fails to release
    return KoSysExit();
}
