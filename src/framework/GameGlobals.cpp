// The state ids and the globals the main loop keeps for the whole game. They live apart from the state
// table, so code that only reads them links without every state.
#include "framework/GameMain.h"
#include "framework/GameStateMgr.h"

int gGameStateCurr;
int gGameStatePrev;
int gGameStateNext;

GameStateFn GameStateLoad;
GameStateFn GameStateInit;
GameStateFn GameStateUpdate;
GameStateFn GameStateDraw;
GameStateFn GameStateFree;
GameStateFn GameStateUnload;

float gFrameTime;
double gTotalTime;
bool gSoundOn            = true;
bool gVsync              = false;
std::string gWindowTitle = "Skarnhold!";

long gFrameNumber;
long gStepNumber;
std::string gSaveDirOverride;
bool gWatchOnly;
void (*gStepInputHook)()  = nullptr;
void (*gFrameInputHook)() = nullptr;
