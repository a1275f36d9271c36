// The level played headless: the death of a troglin left behind by the camera and the frozen world after it,
// on a small map of its own (the overlay and monster tests fall, the monster tests recruit); and the bot on
// the shipped maps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Play.h"

// On the steady clock at 20 ms frames on tests/data/level/wall: the SPACE that closes the welcome page half a
// second in also makes the party jump. A wall too high to jump stops the leader at x 11.5; the camera runs on
// until it is 17.5 ahead (level frame 474), and "Rest in peace.." appears at once. The shake follows with its
// red frame, the world still moving (ESC does not pause it); then the world is frozen and ESC no longer
// pauses (the body left behind is not removed again in every frame).
TEST(LevelScenario, ATroglinLeftBehindByTheCameraDiesOnSolidGround)
{
    Scenario::Play p(0.02);
    p.opt.dataDir = SKARN_TEST_DATA_DIR "/level/wall";
    const long S  = p.ClickPlay() - 1; // the frame before the level's first
    p.Key(S + 25, 0x20);
    p.Key(S + 480, 0x1B);
    p.Key(S + 500, 0x1B);
    for (long f : {472, 477, 485, 495, 520}) p.Shot(S + f);
    ASSERT_EQ(0, p.Go(S + 525).exitCode) << p.res.err;
    const std::vector<Scenario::RunLine> runs = Scenario::RunLines(p.res.err);
    ASSERT_EQ(1u, runs.size()) << p.res.err;
    EXPECT_EQ(std::string::npos, p.res.err.find("memory:")) << "no memory line without its option";
    EXPECT_EQ(7, runs[0].meters);
    EXPECT_NEAR(9.1, runs[0].seconds, 0.05);
    auto at     = [&](long f) { return p.Image(S + f); };
    auto differ = [&](long a, long b, int y0, int y1)
    { return Scenario::ImageDiffer(at(a), at(b), 0, y0, 800, y1); };
    // The mean red level of the bottom-left corner, where the shake's red frame shows.
    auto red = [&](long f)
    { return ImageCount(at(f), 0, 560, 40, 600, [](int r, int, int) { return r; }) / 1600; };
    EXPECT_GT(red(477), red(495) + 30);
    for (long f : {472, 477, 520})
        EXPECT_EQ(Scenario::TextPixels(at(f), 300, 40, 600, 100, 4) > 500, f != 472) << f;
    EXPECT_GT(differ(477, 485, 380, 600), 1000);
    // The same picture but for the blinking cursor of the name entry.
    EXPECT_EQ(0, differ(495, 520, 0, 280) + differ(495, 520, 320, 600));
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
    int best = 0;
    for (const Scenario::RunLine& r : Scenario::RunLines(p.res.err)) best = std::max(best, r.meters);
    EXPECT_GE(best, 1000) << p.res.err;
}

// The human model draws its errors from its seed alone and acts per step: its key presses, recorded by step,
// are the same at 20 and at 5 ms frames (the first 20 s of running), and another seed presses otherwise.
TEST(LevelScenario, TheHumanModelPlaysTheSameRunAtEveryDrawRate)
{
    Scenario::TempDir dir;
    std::vector<std::string> presses;
    for (auto [dt, seed] : {std::pair{0.02, "human:7"}, {0.005, "human:7"}, {0.02, "human:8"}})
    {
        const std::string replay = dir / "human.replay";
        Scenario::Play p(dt);
        p.opt.args           = {"--bot", seed, "--record", replay};
        p.opt.timeoutSeconds = 600;
        ASSERT_EQ(0, p.Go(std::lround(24.2 / dt)).exitCode) << p.res.err;
        std::string text = Scenario::ReadFile(replay), keys;
        for (size_t at = text.find(" 38\n"); at != std::string::npos; at = text.find(" 38\n", at + 1))
            keys += text.substr(text.rfind('\n', at) + 1, at - text.rfind('\n', at) + 3);
        EXPECT_GT(keys.size(), 50u) << text;
        presses.push_back(keys);
    }
    EXPECT_EQ(presses[0], presses[1]);
    EXPECT_NE(presses[0], presses[2]);
}
