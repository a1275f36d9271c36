// The runner level: its six state callbacks, the run reset and the flags every level module shares.
#pragma once

#include "engine/KoMath.h"

// Run state. Init sets all of these; the overlays, the party and the monster pass read and write them.
extern bool gPaused;       // the pause menu is up; the world stands still
extern bool gInvulnerable; // a diamond's invulnerability is running
extern float gInvulnTime;  // seconds of invulnerability left; 10 when idle
extern bool gGameOver;     // the last troglin has died
extern bool gRunFrozen;    // the shake after the last death has ended; only the overlays run
extern int gDeathCause;    // 1 fell or was left behind, 2 beaten by a monster
extern float gDistance;    // meters run: leader body x minus gStartX
extern float gStartX;      // leader body x at Init
extern int gKillCount;     // monsters beaten by contact
extern float gRunSpeed;    // forward push each party member adds per frame
extern Vec2 gCamVel;       // camera velocity
extern float gShakeTime;   // seconds of camera shake left; -11 when idle
extern Vec2 gShakeRest;    // camera position to return to after a shake; (-1, -1) when idle

// Tutorial pages: a request for page p sets gTutorialPage = p and inverts gTutorialShowing,
// only while gTutorialEnabled is set.
extern bool gTutorialShowing;
extern bool gTutorialEnabled;
extern int gTutorialPage;

// Game seconds of the current run (frames in which the world moved).
extern float gRunSeconds;

void GameStateLevelLoad();
void GameStateLevelInit();
void GameStateLevelUpdate();
void GameStateLevelDraw();
void GameStateLevelFree();
void GameStateLevelUnload();

// Starts the camera shake that follows a troglin's death (0.3 s around the current camera position).
void LevelStartShake();
// The run reset of Init: empty pool, monster list, party and axe slots; counters back to their start values.
void LevelResetRun();
