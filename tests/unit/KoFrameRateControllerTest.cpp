// The frame-rate controller on a hand-driven clock. The fixed clock (--fixed-dt) is what every scenario
// runs on: their reproducible runs show it.
#include "engine/KoFrameRateController.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>
#include <tuple>

namespace
{
uint64_t sNow, sFreq; // a hand-driven clock

struct FrameRateController : ::testing::Test
{
    void SetUp() override
    {
        sNow  = 5000000;
        sFreq = 1000000;
        KoFrameRateControllerSetClock([] { return sNow; }, [] { return sFreq; });
        KoFrameRateControllerSetFixed(0.0);
        KoFrameRateControllerInit();
        KoFrameRateControllerReset();
    }
    void TearDown() override { KoFrameRateControllerSetClock(nullptr, nullptr); }
    // One frame: Start, usec of work, End.
    static void Frame(uint64_t usec)
    {
        KoFrameRateControllerStart();
        sNow += usec;
        KoFrameRateControllerEnd();
    }
};
} // namespace

TEST_F(FrameRateController, PublishesTheSpanBetweenFrameStartsNeverWaitsAndResetKeepsMeasuring)
{
    EXPECT_EQ(gKoFrameTime, 1.0 / 60.0); // straight after init
    sNow += 7000;
    Frame(2000);
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.007); // the first End measures from Init to this frame's Start
    Frame(16);
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.002); // from then on Start to Start: the previous frame's work
    Frame(3000);
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.000016);

    sNow += 40000; // a state change takes 40 ms
    KoFrameRateControllerReset();
    EXPECT_EQ(gKoFrameTime, 1.0 / 60.0);
    Frame(1000);
    // Since the Start of the last frame before the reset: its 3 ms plus the 40 ms of the change.
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.043);
}

TEST_F(FrameRateController, ResetStopsOnANonPositiveMaximum)
{
    ChildResult r = RunInChild([] { gKoFrameRateMax = 0.0, KoFrameRateControllerReset(); });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(
        WithoutLineNumbers(r.out),
        "KO_ASSERT_MESG: gKoFrameRateMax > 0.0\nLine: N\nFunc: KoFrameRateControllerReset\n"
        "File: src/engine/KoFrameRateController.cpp\nMesg: maximum frame rate MUST be greater than 0\n");
}

// The steady clock pays the frame times out in whole 1 ms steps: exact for whole numbers of steps, with the
// rest carried (no drift), at most 250 a frame and nothing of what lies beyond (a long frame is not made
// up for later), nothing of the load before the first frame after a reset.
TEST_F(FrameRateController, TheSteadyClockRunsWholeStepsOfTheFrameTimes)
{
    KoFrameRateControllerSetSteady(true);
    // The fixed frame time (0: the measured clock), the first frame's work and the others', the steps of six
    // frames.
    const std::tuple<double, uint64_t, uint64_t, const char*> cases[] = {
        {0.005, 0, 0, "5 5 5 5 5 5"},     {0.0166667, 0, 0, "16 17 17 16 17 17"},
        {0.0003, 0, 0, "0 0 0 1 0 0"},    {10.0, 0, 0, "250 250 250 250 250 250"},
        {0.0, 2500, 2500, "0 2 3 2 3 2"}, {0.0, 10000000, 5000, "0 250 5 5 5 5"}};
    for (const auto& [fixed, first, usec, want] : cases)
    {
        KoFrameRateControllerSetFixed(fixed);
        sNow += 40000; // the state's Load
        KoFrameRateControllerReset();
        EXPECT_EQ(gKoFrameTime, 0.001);
        std::string steps;
        for (int f = 0; f < 6; ++f)
        {
            Frame(f ? usec : first);
            steps += (f ? " " : "") + std::to_string(KoFrameRateControllerSteps());
            EXPECT_EQ(gKoFrameTime, 0.001);
        }
        EXPECT_EQ(steps, want) << fixed;
    }
    KoFrameRateControllerSetSteady(false);
}
