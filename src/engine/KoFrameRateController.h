// Measures how long each frame takes and publishes it as gKoFrameTime (seconds). It never waits.
// The time published at a frame's End is the span between the Start of the previous frame and the Start
// of this one.
//
// The steady clock (off until turned on): the measured time of each frame goes into an accumulator of whole
// nanoseconds, and each Start takes from it the whole steps of KO_STEP_TIME the frame is to run (at most
// KO_STEPS_MAX; what lies beyond is dropped). gKoFrameTime is then always one step. A reset empties the
// accumulator, and the first frame after it counts no measured time (it went into the state's Load), only
// a fixed frame time.
#pragma once
#include <cstdint>

constexpr double KO_STEP_TIME = 0.001; // seconds of one step of the steady clock
constexpr int KO_STEPS_MAX    = 250;   // steps of one frame at most

extern double gKoFrameRateMax;   // 60.0 from init on
extern double gKoFrameRate;      // 1 / gKoFrameTime
extern double gKoFrameTime;      // seconds of the last measured frame
extern uint32_t gKoFrameCounter; // frames ended since the last reset

bool KoFrameRateControllerInit();
void KoFrameRateControllerReset();
void KoFrameRateControllerStart();
void KoFrameRateControllerEnd();

// The fixed clock for reproducible runs: with seconds > 0 every End publishes exactly that frame time;
// 0 returns to the measured clock.
void KoFrameRateControllerSetFixed(double seconds);

// The clock source: a tick counter and its ticks per second. Null restores the platform clock.
typedef uint64_t (*KoClockFn)();
void KoFrameRateControllerSetClock(KoClockFn ticks, KoClockFn ticksPerSecond);

void KoFrameRateControllerSetSteady(bool on);
bool KoFrameRateControllerIsSteady();
// Steps the frame under way runs, fixed by its Start: always 1 without the steady clock.
int KoFrameRateControllerSteps();
