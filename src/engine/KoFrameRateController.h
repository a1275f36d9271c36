// Measures how long each frame takes and publishes it as gKoFrameTime (seconds). It never waits.
// The time published at a frame's End is the span between the Start of the previous frame and the Start
// of this one.
#pragma once
#include <cstdint>

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
