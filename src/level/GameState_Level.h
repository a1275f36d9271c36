// The runner level: its six state callbacks, the run reset and the number of runs to play.
#pragma once

// --runs N: the program ends when the Nth run of the level is over (0: it never does).
extern int gRunsToPlay;

void GameStateLevelLoad();
void GameStateLevelInit();
void GameStateLevelUpdate();
void GameStateLevelDraw();
void GameStateLevelFree();
void GameStateLevelUnload();

// The run reset of Init: empty pool, monster list, party and axe slots; the run's record (Run::Reset), the
// tutorial flags and the party's counters back to their start values.
void LevelResetRun();
