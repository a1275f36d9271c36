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

// These runs pin the literal loop (--lockstep: one Update per frame, the per-frame rules acting once per
// frame); its long frames keep the runs short (the jumps are high and long at this frame time).
const double DT = 0.005;
// The splash hands over to the menu after 3 s; this frame's click on Play starts the level in the next.
const long S        = 760;
const int VK_SPACE  = 0x20;
const uint32_t TEXT = 0xFFE0C5B8;
using Scenario::RunLine;

// A run on the map of tests/data/level/<map>, frames counted from the level's start. The first landing
// shows the welcome page; the SPACE that closes it (level frame 100) also makes the party jump.
struct LevelPlay : Scenario::Play
{
    std::vector<RunLine> runs;
    explicit LevelPlay(const std::string& map) : Play(DT)
    {
        opt.dataDir = std::string(SKARN_TEST_DATA_DIR) + "/level/" + map;
        opt.args.push_back("--lockstep");
        Click(S, 400, 300);
        Key(S + 100, VK_SPACE);
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

// The mean red level of the rectangle [x0, x1) x [y0, y1).
int MeanRed(const TestImage& img, int x0, int y0, int x1, int y1)
{
    long sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) sum += (ImagePixel(img, x, y) >> 16) & 0xFF;
    return int(sum / ((x1 - x0) * (y1 - y0)));
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
    EXPECT_EQ(0, ImageCountColour(run.At(835), 300, 40, 600, 100, TEXT, 4));
    EXPECT_GT(ImageCountColour(shake1, 300, 40, 600, 100, TEXT, 4), 500);
    EXPECT_GT(ImageCountColour(frozen2, 300, 40, 600, 100, TEXT, 4), 500);
    // During the shake the world still moves; afterwards it stands still (the band below the texts).
    EXPECT_GT(Differences(shake1, shake2, 380, 600), 1000);
    EXPECT_EQ(0, Differences(frozen1, frozen2, 380, 600));
}

TEST(LevelScenario, ATroglinLeftBehindByTheCameraDiesOnSolidGround)
{
    // A wall too high to jump stops the leader at x 11.5; the camera runs on until it is 17.5 ahead
    // (level frame 1897). The shake follows with its red frame; then the world is frozen and ESC no longer
    // pauses (the body left behind is not removed again in every frame).
    LevelPlay run("wall");
    run.Tap(2000, 0x1B);
    run.Shots({1907, 1990, 2080});
    run.Go(2100);
    ASSERT_EQ(1u, run.runs.size()) << run.res.err;
    EXPECT_EQ(7, run.runs[0].meters);
    EXPECT_NEAR(9.2, run.runs[0].seconds, 0.1);
    TestImage frozen = run.At(1990), afterEsc = run.At(2080);
    EXPECT_GT(MeanRed(run.At(1907), 0, 560, 40, 600), MeanRed(frozen, 0, 560, 40, 600) + 30);
    // The same picture but for the blinking cursor of the name entry.
    EXPECT_EQ(0, Differences(frozen, afterEsc, 0, 280) + Differences(frozen, afterEsc, 320, 600));
}

TEST(LevelScenario, AMapWithoutAPartyStartEndsTheRunAtOnce)
{
    // Map 0 holds three terrain cells and then text; the other maps are missing.
    LevelPlay run("nostart");
    run.Go(200);
    EXPECT_NE(std::string::npos, run.res.err.find("holds no party start")) << run.res.err;
    ASSERT_EQ(1u, run.runs.size()) << run.res.err;
    EXPECT_EQ(0, run.runs[0].meters);
}

TEST(LevelScenario, TheBotRunsAThousandMetersOnTheShippedMapsAtSixtyAndAtThreeThousandFramesASecond)
{
    // The steady clock: the bot plays in 1 ms steps at any draw rate. 150 s of game time (the splash, the
    // menu and about 145 s of running); the level is freed at the end, which prints the run so far.
    for (double dt : {0.0166667, 0.0003})
    {
        Scenario::Play p(dt);
        p.opt.args           = {"--bot"};
        p.opt.timeoutSeconds = 1200;
        ASSERT_EQ(0, p.Go(long(150.0 / dt)).exitCode) << p.res.err;
        std::vector<RunLine> runs = Scenario::RunLines(p.res.err);
        ASSERT_FALSE(runs.empty()) << p.res.err;
        int best = 0;
        for (const RunLine& r : runs) best = std::max(best, r.meters);
        EXPECT_GE(best, 1000) << dt << p.res.err;
    }
}
