// The level played headless on small maps of its own (tests/data/level/*: one map each, meshes and sounds
// shared with the game): recruiting, the two ways of dying by the terrain, the frozen world after the last
// death. And the bot on the shipped maps.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Play.h"

namespace
{

const int VK_SPACE = 0x20;
using Scenario::RunLine;

// A run on the map of tests/data/level/<map>, frames counted from the level's start. The first landing
// shows the welcome page; the SPACE that closes it (half a second in) also makes the party jump. By
// default the runs pin the literal loop (--lockstep: one Update per frame, the per-frame rules acting once
// per frame) at 5 ms frames, whose jumps are high and long.
struct LevelPlay : Scenario::Play
{
    std::vector<RunLine> runs;
    long S; // the frame before the level's first
    explicit LevelPlay(const std::string& map, double dt = 0.005, bool lockstep = true) : Play(dt)
    {
        opt.dataDir = std::string(SKARN_TEST_DATA_DIR) + "/level/" + map;
        if (lockstep) opt.args.push_back("--lockstep");
        S = ClickPlay() - 1;
        Key(S + std::lround(0.5 / dt), VK_SPACE);
    }
    void Tap(long frame, int vk) { Key(S + frame, vk); }
    void Shots(std::initializer_list<long> frames)
    {
        for (long f : frames) Shot(S + f);
    }
    TestImage At(long frame) const { return Image(S + frame); }
    void Go(long frames)
    {
        Play::Go(S + frames);
        EXPECT_EQ(0, res.exitCode) << res.err;
        runs = Scenario::RunLines(res.err);
    }
};

int Differences(const TestImage& a, const TestImage& b, int y0, int y1)
{
    return Scenario::ImageDiffer(a, b, 0, y0, a.w, y1);
}

// The mean red level of the bottom-left corner, where the shake's red frame shows.
int MeanRed(const TestImage& img)
{
    return ImageCount(img, 0, 560, 40, 600, [](int r, int, int) { return r; }) / (40 * 40);
}

} // namespace

TEST(LevelScenario, ARecruitJoinsAndRaisesThePower)
{
    // The recruit stands at cell 10. Its page shows as the leader comes near; the SPACE that closes it
    // starts a jump, and the leader takes the recruit in on its way up.
    LevelPlay run("recruit");
    run.Tap(500, VK_SPACE);
    run.Go(1040);
    ASSERT_EQ(1u, run.runs.size()) << run.res.err; // printed once, at exit
    EXPECT_EQ(2, run.runs[0].power);
    EXPECT_GT(run.runs[0].meters, 10);
}

TEST(LevelScenario, FallingOffTheGroundEndsTheRunAndFreezesTheWorldAfterTheShake)
{
    // The ground ends at cell 15: the leader runs off the edge and falls below y 0.8 in level frame 844.
    // The shake that follows lasts 0.3 s (60 frames).
    LevelPlay run("pit");
    run.Shots({835, 850, 870, 1000, 1100});
    run.Go(1150);
    ASSERT_EQ(1u, run.runs.size()) << run.res.err; // at the death, not again at exit
    EXPECT_EQ(17, run.runs[0].meters);
    EXPECT_NEAR(3.9, run.runs[0].seconds, 0.1);

    TestImage shake1 = run.At(850), shake2 = run.At(870), frozen1 = run.At(1000), frozen2 = run.At(1100);
    // "Rest in peace.." appears at once with the death.
    EXPECT_EQ(0, Scenario::TextPixels(run.At(835), 300, 40, 600, 100, 4));
    EXPECT_GT(Scenario::TextPixels(shake1, 300, 40, 600, 100, 4), 500);
    EXPECT_GT(Scenario::TextPixels(frozen2, 300, 40, 600, 100, 4), 500);
    // During the shake the world still moves; afterwards it stands still (the band below the texts).
    EXPECT_GT(Differences(shake1, shake2, 380, 600), 1000);
    EXPECT_EQ(0, Differences(frozen1, frozen2, 380, 600));
}

TEST(LevelScenario, ATroglinLeftBehindByTheCameraDiesOnSolidGround)
{
    // On the steady clock at 20 ms frames: a wall too high to jump stops the leader at x 11.5; the camera
    // runs on until it is 17.5 ahead (level frame 474). The shake follows with its red frame; then the world
    // is frozen and ESC no longer pauses (the body left behind is not removed again in every frame).
    LevelPlay run("wall", 0.02, false);
    run.Tap(500, 0x1B);
    run.Shots({477, 495, 520});
    run.Go(525);
    ASSERT_EQ(1u, run.runs.size()) << run.res.err;
    EXPECT_EQ(std::string::npos, run.res.err.find("memory:")) << "no memory line without its option";
    EXPECT_EQ(7, run.runs[0].meters);
    EXPECT_NEAR(9.1, run.runs[0].seconds, 0.05);
    TestImage frozen = run.At(495), afterEsc = run.At(520);
    EXPECT_GT(MeanRed(run.At(477)), MeanRed(frozen) + 30);
    // The same picture but for the blinking cursor of the name entry.
    EXPECT_EQ(0, Differences(frozen, afterEsc, 0, 280) + Differences(frozen, afterEsc, 320, 600));
}

// The steady clock: the bot plays in 1 ms steps at any draw rate. 150 s of game time (the splash, the menu
// and about 145 s of running); the level is freed at the end, which prints the run so far.
static void ExpectTheBotToRunAThousandMeters(double dt)
{
    Scenario::Play p(dt);
    p.opt.args           = {"--bot"};
    p.opt.timeoutSeconds = 1200;
    ASSERT_EQ(0, p.Go(long(150.0 / dt)).exitCode) << p.res.err;
    std::vector<RunLine> runs = Scenario::RunLines(p.res.err);
    ASSERT_FALSE(runs.empty()) << p.res.err;
    int best = 0;
    for (const RunLine& r : runs) best = std::max(best, r.meters);
    EXPECT_GE(best, 1000) << p.res.err;
}

TEST(LevelScenario, TheBotRunsAThousandMetersAtSixtyFramesASecond)
{
    ExpectTheBotToRunAThousandMeters(0.0166667);
}

TEST(LevelScenario, TheBotRunsAThousandMetersAtThreeThousandFramesASecond)
{
    ExpectTheBotToRunAThousandMeters(0.0003);
}
