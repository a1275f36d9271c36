// The run's record: pause, invulnerability, game over and freeze, what ended the run, distance, kills, the
// largest party, the run push, the run's seconds, the camera's speed and shake. The level state resets it
// at Init, begins it once the party stands and drives its clocks; the party, the monsters and pickups, the
// overlays and the bot read it through Run::Get and change it only through the functions here. A run ends
// in one place, Run::End, which keeps the first cause.
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

// The run's tuning. The push acts once per update: the party's speed settles at push / HERO_SPEED_LOST,
// 6.4 tiles a second at the start.
constexpr float RUN_SPEED_START       = 0.032f;   // the run push at the start of a run
constexpr float RUN_SPEED_GROWTH      = 0.00012f; // what the push gains per second of running
constexpr float RUN_SPEED_GROWS_BELOW = 10.0f;    // it grows only while the front troglin runs slower
constexpr float RUN_INVULN_SECONDS    = 10.0f;    // how long a diamond's invulnerability lasts
constexpr float RUN_SHAKE_SECONDS     = 0.3f;     // the camera shake after a troglin's death

struct LevelRun
{
    bool paused;           // the pause menu is up; the world stands still
    bool invulnerable;     // a diamond's invulnerability is running
    float invulnTime;      // seconds of invulnerability left; RUN_INVULN_SECONDS when idle
    bool gameOver;         // the last troglin has died
    bool frozen;           // the shake after the last death has ended (or nobody ran): only overlays run
    DeathCause deathCause; // what ended the run: the first cause given to Run::End
    float distance;        // meters run: the front troglin's x minus startX
    float startX;          // the front troglin's x when the run began
    int kills;             // monsters beaten by contact
    int powerPeak;         // the largest party of the run
    float speed;           // the run push each party member adds per update
    float seconds;         // game seconds of the run (updates in which the world moved)
    Vec2 camVel;           // the camera's velocity
    bool shaking;          // the camera shakes, or has just stopped and goes back to shakeRest
    float shakeTime;       // seconds of shake left while shaking
    Vec2 shakeRest;        // the camera position to return to after the shake
    bool reported;         // the run: line has been printed
};

// What a camera step did to the shake: the red frame shows while it shakes and goes when it stops.
enum RunShake
{
    RUN_SHAKE_NONE, // no shake
    RUN_SHAKE_ON,   // shaking
    RUN_SHAKE_OVER  // stopped in this step: the camera is back where it was
};

// The record, read-only: Run::Get. Only the functions below change it.
extern const LevelRun& gLevelRun;

namespace Run
{
inline const LevelRun& Get()
{
    return gLevelRun;
}

// Level Init: every field to its start value (not paused, nothing run, the start push).
void Reset();
// The party stands at x with this power: the distance counts from there.
void Begin(float startX, int power);
// The last troglin is gone: the run is over with this cause. Later calls of the same run change nothing.
void End(DeathCause cause);
// Only the overlays run from now on (the last death's shake is over, or nobody could run).
void Freeze();
void SetPaused(bool paused);
void AddKill();
// The party has this many troglins now: the run's peak follows.
void NotePower(int power);
// A diamond: RUN_INVULN_SECONDS of invulnerability from now.
void StartInvulnerability();
// A troglin died: RUN_SHAKE_SECONDS of shake around the camera's place (kept from the first death).
void StartShake();

// One update of the running world, before the party moves: the run's seconds, its distance (the front
// troglin at leaderX) and the invulnerability's clock. True when the invulnerability ended in it.
bool Step(float dt, float leaderX);
// The camera chases the front troglin (at pos with velocity vel): it eases back when the leader falls
// behind it, speeds up when the leader runs faster, and shakes after a death.
RunShake StepCamera(Vec2 pos, Vec2 vel, float dt);
// The run push grows while the front troglin runs slower than RUN_SPEED_GROWS_BELOW.
void StepSpeed(float leaderVelX, float dt);

// Prints the run: line on standard error, once per run. True when it printed now.
bool Report();
} // namespace Run
