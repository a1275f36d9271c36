#include "engine/KoFrameRateController.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>

namespace
{
// A hand-driven clock: 1 MHz, advanced by the test.
uint64_t sNow;
uint64_t sFreq;
uint64_t Now()
{
    return sNow;
}
uint64_t Freq()
{
    return sFreq;
}

struct FrameRateController : ::testing::Test
{
    void SetUp() override
    {
        sNow  = 5000000;
        sFreq = 1000000;
        KoFrameRateControllerSetClock(Now, Freq);
        KoFrameRateControllerSetFixed(0.0);
        KoFrameRateControllerInit();
        KoFrameRateControllerReset();
    }
    void TearDown() override
    {
        KoFrameRateControllerSetClock(nullptr, nullptr);
        KoFrameRateControllerSetFixed(0.0);
    }
    // One frame: Start, usec of work, End.
    static void Frame(uint64_t usec)
    {
        KoFrameRateControllerStart();
        sNow += usec;
        KoFrameRateControllerEnd();
    }
};
} // namespace

TEST_F(FrameRateController, PublishesTheSpanBetweenFrameStartsAndNeverWaits)
{
    // The first End measures from Init to this frame's Start.
    sNow += 7000;
    Frame(2000);
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.007);
    // From then on each End publishes Start-to-Start: the 2 ms of the previous frame's work.
    Frame(2000);
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.002);
    EXPECT_NEAR(gKoFrameRate, 500.0, 1e-6);
    EXPECT_EQ(gKoFrameCounter, 2u);
    Frame(16);
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.002);
    Frame(0);
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.000016);
    EXPECT_EQ(gKoFrameCounter, 4u);
}

TEST_F(FrameRateController, ResetRestoresTheStartValuesButKeepsMeasuring)
{
    EXPECT_EQ(gKoFrameTime, 1.0 / 60.0); // straight after init
    EXPECT_EQ(gKoFrameRateMax, 60.0);
    Frame(3000);
    Frame(3000);
    ASSERT_EQ(gKoFrameCounter, 2u);
    sNow += 40000; // a state change takes 40 ms
    KoFrameRateControllerReset();
    EXPECT_EQ(gKoFrameTime, 1.0 / 60.0);
    EXPECT_EQ(gKoFrameRate, 60.0);
    EXPECT_EQ(gKoFrameCounter, 0u);
    Frame(1000);
    // Since the Start of the last frame before the reset: its 3 ms plus the 40 ms of the change.
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.043);
    EXPECT_EQ(gKoFrameCounter, 1u);
}

TEST_F(FrameRateController, FixedClockPublishesExactlyTheGivenTime)
{
    KoFrameRateControllerSetFixed(1.0 / 60.0);
    for (uint64_t work : {0u, 100u, 250000u, 3u})
    {
        Frame(work);
        EXPECT_EQ(gKoFrameTime, 1.0 / 60.0);
    }
    // Float accumulation as the game does it: 3 seconds are reached in frame 180 or 181.
    float timer = 0.0f;
    int frame   = 0;
    while (timer < 3.0f)
    {
        ++frame;
        timer += float(gKoFrameTime);
        Frame(5);
    }
    EXPECT_TRUE(frame == 180 || frame == 181) << frame;
    // Back to the measured clock.
    KoFrameRateControllerSetFixed(0.0);
    Frame(1000);
    Frame(1000);
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.001);
}

TEST_F(FrameRateController, ZeroFrequencyWarnsEveryFrameAndKeepsTheLastTime)
{
    Frame(4000);
    Frame(4000);
    ASSERT_DOUBLE_EQ(gKoFrameTime, 0.004);
    sFreq = 0;
    testing::internal::CaptureStdout();
    Frame(9000);
    Frame(9000);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.004);
    const std::string warning =
        "KO_WARNING_MESG: cntsPerSec\nLine: N\nFunc: KoFrameRateControllerStart\n"
        "File: src\\KoFrameRateController\nMesg: QueryPerformanceFrequency is Zero!!!\n";
    EXPECT_EQ(WithoutLineNumbers(out), warning + warning);
    // A working clock again measures from the last Start.
    sFreq = 1000000;
    Frame(0);
    EXPECT_DOUBLE_EQ(gKoFrameTime, 0.009);
}

TEST_F(FrameRateController, ResetStopsOnANonPositiveMaximum)
{
    for (double bad : {0.0, -60.0})
    {
        ChildResult r = RunInChild(
            [bad]
            {
                gKoFrameRateMax = bad;
                KoFrameRateControllerReset();
            });
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(WithoutLineNumbers(r.out),
                  "KO_ASSERT_MESG: gKoFrameRateMax > 0.0\nLine: N\nFunc: KoFrameRateControllerReset\n"
                  "File: src\\KoFrameRateController\nMesg: maximum frame rate MUST be greater than 0\n");
    }
}
