#define KO_MODULE "src\\KoFrameRateController"
#include "engine/KoFrameRateController.h"

#include "engine/KoAssert.h"
#include "platform/Platform.h"

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

void KoFrameRateControllerSetFixed(double seconds)
{
    sFixedFrameTime = seconds > 0.0 ? seconds : 0.0;
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
    gKoFrameTime    = 0.016666666666666666;
    sFrameStartMark = sTicks();
    return true;
}

void KoFrameRateControllerReset()
{
    KO_ASSERT_MESG(gKoFrameRateMax > 0.0, "maximum frame rate MUST be greater than 0");
    gKoFrameRate    = gKoFrameRateMax;
    gKoFrameCounter = 0;
    gKoFrameTime    = 1.0 / gKoFrameRateMax;
}

void KoFrameRateControllerStart()
{
    uint64_t cntsPerSec = sTicksPerSecond();
    KO_WARNING_MESG(cntsPerSec, "QueryPerformanceFrequency is Zero!!!");
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
}

void KoFrameRateControllerEnd()
{
    gKoFrameTime = sElapsed;
    ++gKoFrameCounter;
    sFrameStartMark = sCurrentCounter;
    gKoFrameRate    = 1.0 / gKoFrameTime;
}
