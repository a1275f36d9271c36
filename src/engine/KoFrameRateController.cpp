#include "engine/KoFrameRateController.h"

#include "engine/KoAssert.h"
#include "platform/Platform.h"

#include <algorithm>

double gKoFrameRateMax;
double gKoFrameRate;
double gKoFrameTime;
uint32_t gKoFrameCounter;

static KoClockFn sTicks          = PlatGetTicks;
static KoClockFn sTicksPerSecond = PlatGetTickFrequency;
static double sFixedFrameTime;   // > 0: the fixed clock is on
static uint64_t sCntsPerSec;     // counter frequency read at the latest Start
static double sSecPerCnt;        // 1 / sCntsPerSec
static uint64_t sFrameStartMark; // counter value that begins the frame being measured
static uint64_t sCurrentCounter; // counter value read at the latest Start
static double sElapsed;          // seconds from the frame-start mark to the current counter

// The steady clock: the measured time is gathered in whole nanoseconds and paid out in 1 ms steps.
static bool sSteady;            // on: every step lasts KO_STEP_TIME and frames run whole steps
static bool sFreshStart = true; // no frame started since the last Init or Reset
static int64_t sAccumulated;    // nanoseconds measured and not yet run as steps
static int sSteps = 1;          // steps of the frame under way

void KoFrameRateControllerSetFixed(double seconds)
{
    sFixedFrameTime = seconds > 0.0 ? seconds : 0.0;
}

void KoFrameRateControllerSetSteady(bool on)
{
    sSteady = on;
}

bool KoFrameRateControllerIsSteady()
{
    return sSteady;
}

int KoFrameRateControllerSteps()
{
    return sSteps;
}

void KoFrameRateControllerSetClock(KoClockFn ticks, KoClockFn ticksPerSecond)
{
    sTicks          = ticks ? ticks : PlatGetTicks;
    sTicksPerSecond = ticksPerSecond ? ticksPerSecond : PlatGetTickFrequency;
}

bool KoFrameRateControllerInit()
{
    gKoFrameRateMax = 60.0;
    gKoFrameRate    = 60.0;
    gKoFrameCounter = 0;
    gKoFrameTime    = sSteady ? KO_STEP_TIME : 0.016666666666666666;
    sFrameStartMark = sTicks();
    sFreshStart     = true;
    sAccumulated    = 0;
    return true;
}

void KoFrameRateControllerReset()
{
    KO_ASSERT_MESG(gKoFrameRateMax > 0.0, "maximum frame rate MUST be greater than 0");
    gKoFrameRate    = gKoFrameRateMax;
    gKoFrameCounter = 0;
    gKoFrameTime    = 1.0 / gKoFrameRateMax;
    sFreshStart     = true;
    sAccumulated    = 0;
    if (sSteady)
    {
        gKoFrameTime = KO_STEP_TIME;
        gKoFrameRate = 1.0 / KO_STEP_TIME;
    }
}

void KoFrameRateControllerStart()
{
    uint64_t cntsPerSec = sTicksPerSecond();
    KO_WARNING_MESG(cntsPerSec, "the system clock gives no tick rate; the last frame time stays");
    sCntsPerSec     = cntsPerSec;
    sCurrentCounter = sTicks();
    if (sFixedFrameTime > 0.0)
        sElapsed = sFixedFrameTime;
    else if (sCntsPerSec == 0)
        sElapsed = gKoFrameTime; // no usable clock: keep the last valid frame time
    else
    {
        sSecPerCnt = 1.0 / double(sCntsPerSec);
        sElapsed   = double(uint64_t(sCurrentCounter - sFrameStartMark)) * sSecPerCnt;
    }
    if (!sSteady)
    {
        sSteps = 1;
        return;
    }
    // The time before the first frame after a reset went into loading the state: only a fixed frame
    // counts then. Beyond KO_STEPS_MAX steps the game slows down rather than leaping.
    const int64_t step = int64_t(KO_STEP_TIME * 1e9 + 0.5);
    if (!sFreshStart || sFixedFrameTime > 0.0) sAccumulated += int64_t(sElapsed * 1e9 + 0.5);
    sFreshStart = false;
    sSteps      = int(std::min<int64_t>(sAccumulated / step, KO_STEPS_MAX));
    sAccumulated -= int64_t(sSteps) * step;
    if (sAccumulated >= step) sAccumulated %= step;
}

void KoFrameRateControllerEnd()
{
    ++gKoFrameCounter;
    sFrameStartMark = sCurrentCounter;
    if (sSteady) return; // the published time stays one step
    gKoFrameTime = sElapsed;
    gKoFrameRate = 1.0 / gKoFrameTime;
}
