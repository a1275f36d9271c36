// Game state ids, the state manager and the globals the main loop keeps for the whole game.
#pragma once
#include <string>

enum
{
    GS_SPLASH      = 0,
    GS_MENU        = 1,
    GS_LEVEL       = 2,
    GS_TILE_EDITOR = 3,
    GS_MESH_EDITOR = 4,
    GS_RESTART     = 5, // run the state just left again, without unloading and reloading it
    GS_QUIT        = 6, // leave the main loop
};

// Only the main loop and GameStateMgrUpdate write Curr and Prev; states only write Next.
extern int gGameStateCurr;
extern int gGameStatePrev;
extern int gGameStateNext;

typedef void (*GameStateFn)();
extern GameStateFn GameStateLoad;
extern GameStateFn GameStateInit;
extern GameStateFn GameStateUpdate;
extern GameStateFn GameStateDraw;
extern GameStateFn GameStateFree;
extern GameStateFn GameStateUnload;

constexpr int GS_STATE_NUM = GS_RESTART; // the states with callbacks: GS_SPLASH to GS_MESH_EDITOR

// The six callbacks of one state.
struct GameStateCallbacks
{
    GameStateFn load, init, update, draw, free, unload;
};

// The callbacks of every state, by id. The program hands them over before the state loop starts
// (app/States.cpp); the framework itself knows no state.
void GameStateMgrSetStates(const GameStateCallbacks (&states)[GS_STATE_NUM]);
// Points the six callbacks at the state named by gGameStateCurr. A state id without callbacks (none handed
// over) stops the program with a check.
void GameStateMgrUpdate();

extern float gFrameTime;         // seconds of the last completed frame
extern double gTotalTime;        // sum of every frame time, never reset
extern bool gSoundOn;            // starts true
extern bool gVsync;              // presents in step with the display's refresh; starts false
extern std::string gWindowTitle; // "Skarnhold!"
