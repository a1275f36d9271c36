// The runner level: its six state callbacks, the run reset and the flags every level module shares.
#pragma once

#include "engine/KoMath.h"

// How the last troglin of a run died.
enum DeathCause
{
    DEATH_NONE       = 0, // the run goes on
    DEATH_FELL       = 1, // fell off the platforms
    DEATH_BY_MONSTER = 2, // beaten by a monster stronger than the party
    DEATH_WALL       = 3, // stopped by a wall until the camera left it behind
    DEATH_LEFT       = 4, // left behind by the camera elsewhere
};
// The cause's word in the run: line ("none", "fell", "monster", "wall", "left").
const char* DeathCauseName(DeathCause cause);

constexpr float LEVEL_INVULN_SECONDS = 10.0f; // how long a diamond's invulnerability lasts

// Run state: LevelResetRun (Init) gives every one of these its start value; the overlays, the party and
// the monster pass read and write them.
extern bool gPaused;           // the pause menu is up; the world stands still
extern bool gInvulnerable;     // a diamond's invulnerability is running
extern float gInvulnTime;      // seconds of invulnerability left; LEVEL_INVULN_SECONDS when idle
extern bool gGameOver;         // the last troglin has died
extern bool gRunFrozen;        // the shake after the last death has ended; only the overlays run
extern DeathCause gDeathCause; // set with gGameOver
extern float gDistance;        // meters run: leader body x minus gStartX
extern float gStartX;          // leader body x at Init
extern int gKillCount;         // monsters beaten by contact
extern float gRunSpeed;        // forward push each party member adds per frame
extern Vec2 gCamVel;           // camera velocity
extern bool gShaking;          // the camera shakes, or has just stopped and goes back to gShakeRest
extern float gShakeTime;       // seconds of camera shake left while gShaking
extern Vec2 gShakeRest;        // camera position to return to after the shake (while gShaking)

// Tutorial pages: a request for page p sets gTutorialPage = p and inverts gTutorialShowing,
// only while gTutorialEnabled is set.
extern bool gTutorialShowing;
extern bool gTutorialEnabled;
extern int gTutorialPage;

// Game seconds of the current run (frames in which the world moved).
extern float gRunSeconds;
// --runs N: the program ends when the Nth run of the level is over (0: it never does).
extern int gRunsToPlay;

void GameStateLevelLoad();
void GameStateLevelInit();
void GameStateLevelUpdate();
void GameStateLevelDraw();
void GameStateLevelFree();
void GameStateLevelUnload();

// Starts the camera shake that follows a troglin's death (0.3 s around the current camera position).
void LevelStartShake();
// The run reset of Init: empty pool, monster list, party and axe slots; every run global above, the
// tutorial flags and the party's counters back to their start values.
void LevelResetRun();
