// The level played headless on small maps of its own (tests/data/level/*: one map each, meshes and sounds
// shared with the game): the two ways of dying by the terrain, the frozen world after the last death (the
// monster tests recruit). And the bot on the shipped maps.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Play.h"

namespace
{

using Scenario::RunLine;

// A run on the map of tests/data/level/<map>; S is the frame before the level's first. The first landing
// shows the welcome page; the SPACE that closes it (half a second in) also makes the party jump. By default
// the runs pin the literal loop (--lockstep: one Update per frame, the per-frame rules acting once per
// frame) at 5 ms frames, whose jumps are high and long.
struct LevelPlay : Scenario::Play
{
    std::vector<RunLine> runs;
    long S;
    explicit LevelPlay(const std::string& map, double dt = 0.005, bool lockstep = true) : Play(dt)
    {
        opt.dataDir = std::string(SKARN_TEST_DATA_DIR) + "/level/" + map;
        if (lockstep) opt.args.push_back("--lockstep");
        S = ClickPlay() - 1;
        Key(S + std::lround(0.5 / dt), 0x20);
    }
    // Runs to that frame of the level, with pictures of the given ones.
    void Go(long frames, std::initializer_list<long> shots = {})
    {
        for (long f : shots) Shot(S + f);
        Play::Go(S + frames);
        EXPECT_EQ(0, res.exitCode) << res.err;
        runs = Scenario::RunLines(res.err);
    }
    // Pixels that differ between the pictures of two level frames in the rows [y0, y1).
    int Differences(long a, long b, int y0, int y1) const
    {
        return Scenario::ImageDiffer(Image(S + a), Image(S + b), 0, y0, 800, y1);
    }
};

} // namespace

TEST(LevelScenario, FallingOffTheGroundEndsTheRunAndFreezesTheWorldAfterTheShake)
{
    // The ground ends at cell 15: the leader runs off the edge and falls below y 0.8 in level frame 844.
    // The shake that follows lasts 0.3 s (60 frames).
    LevelPlay run("pit");
    run.Go(1150, {835, 850, 870, 1000, 1100});
    ASSERT_EQ(1u, run.runs.size()) << run.res.err; // at the death, not again at exit
    EXPECT_EQ(17, run.runs[0].meters);
    EXPECT_NEAR(3.9, run.runs[0].seconds, 0.1);
    // "Rest in peace.." appears at once with the death.
    for (long f : {835, 850, 1100})
        EXPECT_EQ(Scenario::TextPixels(run.Image(run.S + f), 300, 40, 600, 100, 4) > 500, f != 835) << f;
    // During the shake the world still moves; afterwards it stands still (the band below the texts).
    EXPECT_GT(run.Differences(850, 870, 380, 600), 1000);
    EXPECT_EQ(0, run.Differences(1000, 1100, 380, 600));
}

TEST(LevelScenario, ATroglinLeftBehindByTheCameraDiesOnSolidGround)
{
    // On the steady clock at 20 ms frames: a wall too high to jump stops the leader at x 11.5; the camera
    // runs on until it is 17.5 ahead (level frame 474). The shake follows with its red frame; then the world
    // is frozen and ESC no longer pauses (the body left behind is not removed again in every frame).
    LevelPlay run("wall", 0.02, false);
    run.Key(run.S + 500, 0x1B);
    run.Go(525, {477, 495, 520});
    ASSERT_EQ(1u, run.runs.size()) << run.res.err;
    EXPECT_EQ(std::string::npos, run.res.err.find("memory:")) << "no memory line without its option";
    EXPECT_EQ(7, run.runs[0].meters);
    EXPECT_NEAR(9.1, run.runs[0].seconds, 0.05);
    // The mean red level of the bottom-left corner, where the shake's red frame shows.
    auto red = [&](long f)
    { return ImageCount(run.Image(run.S + f), 0, 560, 40, 600, [](int r, int, int) { return r; }) / 1600; };
    EXPECT_GT(red(477), red(495) + 30);
    // The same picture but for the blinking cursor of the name entry.
    EXPECT_EQ(0, run.Differences(495, 520, 0, 280) + run.Differences(495, 520, 320, 600));
}

// The steady clock: the bot plays in 1 ms steps at any draw rate (the replay test plays the same run at
// several). 150 s of game time (the splash, the menu and about 145 s of running); the level is freed at the
// end, which prints the run so far.
TEST(LevelScenario, TheBotRunsAThousandMeters)
{
    Scenario::Play p(1.0 / 60.0);
    p.opt.args           = {"--bot"};
    p.opt.timeoutSeconds = 1200;
    ASSERT_EQ(0, p.Go(150 * 60).exitCode) << p.res.err;
    std::vector<RunLine> runs = Scenario::RunLines(p.res.err);
    ASSERT_FALSE(runs.empty()) << p.res.err;
    int best = 0;
    for (const RunLine& r : runs) best = std::max(best, r.meters);
    EXPECT_GE(best, 1000) << p.res.err;
}
