// The level played headless on small maps of its own (tests/data/level/*: one map each, meshes and sounds
// shared with the game): recruiting, the two ways of dying by the terrain, the game-over screen and the
// frozen world after the last death, pause and restart. And the bot on the shipped maps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Image.h"
#include "Scenario.h"

namespace
{

// Long frames keep the runs short (the jumps are high and long at this frame time).
const double DT = 0.005;
// The splash hands over to the menu after 3 s; this frame's click on Play starts the level in the next.
const long LEVEL_START = 760;

struct RunLine
{
    int meters = -1, kills = -1, power = -1;
    double seconds = -1.0;
};

// Every "run:" line of standard error, in order.
std::vector<RunLine> RunLines(const std::string& err)
{
    std::vector<RunLine> lines;
    size_t at = 0;
    while ((at = err.find("run: ", at)) != std::string::npos)
    {
        RunLine r;
        if (sscanf(err.c_str() + at, "run: meters=%d kills=%d power=%d seconds=%lf", &r.meters, &r.kills,
                   &r.power, &r.seconds) == 4)
            lines.push_back(r);
        ++at;
    }
    return lines;
}

// A script line: `frame` counts from the level's start.
std::string Key(long frame, const char* what, int vk)
{
    return std::to_string(LEVEL_START + frame) + " " + what + " " + std::to_string(vk) + "\n";
}
std::string Tap(long frame, int vk)
{
    return Key(frame, "down", vk) + Key(frame + 1, "up", vk);
}

const int VK_SPACE = 0x20, VK_ESCAPE = 0x1B, VK_R = 0x52;

struct LevelRun
{
    Scenario::Result result;
    std::vector<RunLine> runs;
    Scenario::TempDir shots;
};

// Plays the map of tests/data/level/<map> for `frames` level frames with the given input. The first
// landing shows the welcome page; the SPACE that closes it (level frame 100) also makes the party jump.
void Play(LevelRun* pRun, const std::string& map, long frames, const std::string& input,
          const std::vector<long>& screenshots = {})
{
    Scenario::Options opt;
    opt.fixedDt = DT;
    opt.dataDir = std::string(SKARN_TEST_DATA_DIR) + "/level/" + map;
    opt.script = std::to_string(LEVEL_START) + " move 400 300\n" + Key(0, "press", 1) + Key(1, "release", 1) +
                 Tap(100, VK_SPACE) + input;
    opt.args = {"--frames", std::to_string(LEVEL_START + frames)};
    for (long f : screenshots)
    {
        opt.args.push_back("--screenshot");
        opt.args.push_back(std::to_string(LEVEL_START + f) + ":" +
                           pRun->shots / (std::to_string(f) + ".png"));
    }
    pRun->result = Scenario::Run(opt);
    pRun->runs   = RunLines(pRun->result.err);
}

TestImage Shot(const LevelRun& run, long frame)
{
    TestImage img;
    EXPECT_TRUE(ImageLoad(run.shots / (std::to_string(frame) + ".png"), &img)) << frame;
    return img;
}

// Pixels that differ between two pictures in the band of rows [y0, y1).
int Differences(const TestImage& a, const TestImage& b, int y0, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < a.w; ++x)
            if (ImagePixel(a, x, y) != ImagePixel(b, x, y)) ++n;
    return n;
}

// The mean red level of the rectangle [x0, x1) x [y0, y1).
int MeanRed(const TestImage& img, int x0, int y0, int x1, int y1)
{
    long sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) sum += (ImagePixel(img, x, y) >> 16) & 0xFF;
    return int(sum / ((x1 - x0) * (y1 - y0)));
}

const uint32_t TEXT_COLOUR = 0xFFE0C5B8;

} // namespace

TEST(LevelScenario, ARecruitJoinsAndRaisesThePower)
{
    // The recruit stands at cell 10. Its page shows as the leader comes near; the SPACE that closes it
    // starts a jump, and the leader takes the recruit in on its way up.
    LevelRun run;
    Play(&run, "recruit", 1040, Tap(500, VK_SPACE));
    ASSERT_EQ(0, run.result.exitCode) << run.result.err;
    ASSERT_EQ(1u, run.runs.size()) << run.result.err; // printed once, at exit
    EXPECT_EQ(2, run.runs[0].power);
    EXPECT_GT(run.runs[0].meters, 10);
}

TEST(LevelScenario, FallingOffTheGroundEndsTheRunAndFreezesTheWorldAfterTheShake)
{
    // The ground ends at cell 15: the leader lands from the welcome jump, runs off the edge and falls
    // below y 0.8 in level frame 844. The shake that follows lasts 0.3 s (60 frames).
    LevelRun run;
    Play(&run, "pit", 1150, "", {835, 850, 870, 1000, 1100});
    ASSERT_EQ(0, run.result.exitCode) << run.result.err;
    ASSERT_EQ(1u, run.runs.size()) << run.result.err; // at the death, not again at exit
    EXPECT_EQ(17, run.runs[0].meters);
    EXPECT_NEAR(3.9, run.runs[0].seconds, 0.1);

    TestImage before = Shot(run, 835), shake1 = Shot(run, 850), shake2 = Shot(run, 870);
    TestImage frozen1 = Shot(run, 1000), frozen2 = Shot(run, 1100);
    // "Rest in peace.." appears at once with the death.
    EXPECT_EQ(0, ImageCountColour(before, 300, 40, 600, 100, TEXT_COLOUR, 4));
    EXPECT_GT(ImageCountColour(shake1, 300, 40, 600, 100, TEXT_COLOUR, 4), 500);
    EXPECT_GT(ImageCountColour(frozen2, 300, 40, 600, 100, TEXT_COLOUR, 4), 500);
    // During the shake the world still moves; afterwards it stands still (the band below the texts).
    EXPECT_GT(Differences(shake1, shake2, 380, 600), 1000);
    EXPECT_EQ(0, Differences(frozen1, frozen2, 380, 600));
}

TEST(LevelScenario, ATroglinLeftBehindByTheCameraDiesOnSolidGround)
{
    // A wall too high to jump stops the leader at x 11.5; the camera runs on until it is 17.5 ahead
    // (level frame 1897). The shake follows with its red frame; then the world is frozen and ESC no longer
    // pauses (the body left behind is not removed again in every frame).
    LevelRun run;
    Play(&run, "wall", 2100, Tap(2000, VK_ESCAPE), {1907, 1990, 2080});
    ASSERT_EQ(0, run.result.exitCode) << run.result.err;
    ASSERT_EQ(1u, run.runs.size()) << run.result.err;
    EXPECT_EQ(7, run.runs[0].meters);
    EXPECT_NEAR(9.2, run.runs[0].seconds, 0.1);
    TestImage shake = Shot(run, 1907), frozen = Shot(run, 1990), afterEsc = Shot(run, 2080);
    EXPECT_GT(MeanRed(shake, 0, 560, 40, 600), MeanRed(frozen, 0, 560, 40, 600) + 30);
    // The same picture but for the blinking cursor of the name entry.
    EXPECT_EQ(0, Differences(frozen, afterEsc, 0, 280) + Differences(frozen, afterEsc, 320, 600));
}

TEST(LevelScenario, AMapWithoutAPartyStartEndsTheRunAtOnce)
{
    // Map 0 holds three terrain cells and then text; the other maps are missing.
    LevelRun run;
    Play(&run, "nostart", 200, "");
    ASSERT_EQ(0, run.result.exitCode) << run.result.err;
    EXPECT_NE(std::string::npos, run.result.err.find("holds no party start")) << run.result.err;
    ASSERT_EQ(1u, run.runs.size()) << run.result.err;
    EXPECT_EQ(0, run.runs[0].meters);
}

TEST(LevelScenario, PauseStopsTheWorldAndRWhilePausedRestarts)
{
    // R while running does nothing; ESC pauses; R while paused restarts (the first run's line comes at
    // the restart); the second run goes on to the exit.
    LevelRun run;
    Play(&run, "flat", 1200, Tap(200, VK_R) + Tap(300, VK_ESCAPE) + Tap(700, VK_R), {400, 600});
    ASSERT_EQ(0, run.result.exitCode) << run.result.err;
    ASSERT_EQ(2u, run.runs.size()) << run.result.err;
    // The first run moved until the pause (the welcome page stood still too), not while paused.
    EXPECT_LT(run.runs[0].seconds, 1.5);
    EXPECT_GT(run.runs[0].seconds, 0.9);
    // After the restart the run starts again at 0 m and goes on for 500 frames.
    EXPECT_NEAR(2.5, run.runs[1].seconds, 0.05);
    EXPECT_LE(run.runs[1].meters, 18);
    // Paused: the pictures 200 frames apart are the same.
    EXPECT_EQ(0, Differences(Shot(run, 400), Shot(run, 600), 0, 600));
}

TEST(LevelScenario, TheBotRunsAThousandMetersOnTheShippedMaps)
{
    // About 190 s of level time; a run that ends early leaves the rest of the time to the next one.
    Scenario::Options opt;
    opt.fixedDt             = 0.001;
    opt.args                = {"--bot", "--frames", "200000"};
    opt.timeoutSeconds      = 1200;
    Scenario::Result result = Scenario::Run(opt);
    ASSERT_EQ(0, result.exitCode) << result.err;
    std::vector<RunLine> runs = RunLines(result.err);
    ASSERT_FALSE(runs.empty()) << result.err;
    int best = 0;
    for (const RunLine& r : runs) best = std::max(best, r.meters);
    EXPECT_GE(best, 1000) << result.err;
}
