// What the soak run relies on. The bot's ways of leaving a run, on a map where every run ends at a wall too
// high to jump (the leader is left behind after about 9 s): in turn Restart after the game over, Menu after
// the game over and Play again, then the pause menu's Restart and its Menu a few seconds into the run. The
// name it types makes the Hall Of Fame when the run beats an entry. And the memory line every 10 s of game
// time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Scenario.h"

namespace
{

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::vector<double> RunSeconds(const std::string& err)
{
    std::vector<double> seconds;
    for (size_t at = err.find("run: "); at != std::string::npos; at = err.find("run: ", at + 1))
    {
        int meters = 0, kills = 0, power = 0;
        double s = 0.0;
        if (sscanf(err.c_str() + at, "run: meters=%d kills=%d power=%d seconds=%lf", &meters, &kills, &power,
                   &s) == 4)
            seconds.push_back(s);
    }
    return seconds;
}

} // namespace

TEST(SoakScenario, LeavesRunsByRestartAndByMenuFromTheGameOverScreenAndThePauseMenu)
{
    Scenario::TempDir save;
    // A table with two entries the 7 m runs beat.
    ASSERT_TRUE(
        Scenario::WriteFile(save / "highscore.txt", "GROK\n250\nUGGA\n100\nTHAG\n50\nMOOK\n3\nZUG\n1\n"));
    Scenario::Options opt;
    opt.fixedDt        = 0.005;
    opt.dataDir        = std::string(SKARN_TEST_DATA_DIR) + "/level/wall";
    opt.saveDir        = save.path;
    opt.args           = {"--bot", "--frames", "8500"};
    Scenario::Result r = Scenario::Run(opt);
    ASSERT_EQ(0, r.exitCode) << r.err;

    // Four runs, each left its own way, the fifth under way at the end.
    EXPECT_NE(std::string::npos, r.err.find("bot: run 1 left by Restart from the game-over screen")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("bot: run 2 left by Menu from the game-over screen")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("bot: run 3 left by Restart from the pause menu")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("bot: run 4 left by Menu from the pause menu")) << r.err;
    // The level restarted in place twice and was left for the menu twice; Play was clicked three times.
    EXPECT_EQ(2, Count(r.err, ": state 2 -> 5\n")) << r.err;
    EXPECT_EQ(2, Count(r.err, ": state 2 -> 1\n")) << r.err;
    EXPECT_EQ(3, Count(r.err, ": state 1 -> 2\n")) << r.err;

    // The first two runs went on until the wall; the pause menu took the other two at 5 s.
    std::vector<double> seconds = RunSeconds(r.err);
    ASSERT_EQ(5u, seconds.size()) << r.err;
    EXPECT_GT(seconds[0], 8.0);
    EXPECT_GT(seconds[1], 8.0);
    EXPECT_NEAR(5.0, seconds[2], 0.05);
    EXPECT_NEAR(5.0, seconds[3], 0.05);

    // The two game-over runs entered the name and beat the two lowest entries; the runs left from the
    // pause menu recorded nothing.
    EXPECT_EQ("GROK\n250\nUGGA\n100\nTHAG\n50\nBOT\n7\nBOT\n7\n", Scenario::ReadFile(save / "highscore.txt"));
}

TEST(SoakScenario, TheMemoryLineComesEveryTenSecondsOfGameTime)
{
    Scenario::Options opt;
    opt.fixedDt        = 0.02;
    opt.args           = {"--memory-report", "--frames", "1600"};
    Scenario::Result r = Scenario::Run(opt);
    ASSERT_EQ(0, r.exitCode) << r.err;
    std::vector<long> frames;
    for (size_t at = r.err.find("memory: "); at != std::string::npos; at = r.err.find("memory: ", at + 1))
    {
        int seconds = 0;
        long frame = 0, kb = 0;
        ASSERT_EQ(
            3, sscanf(r.err.c_str() + at, "memory: seconds=%d frame=%ld rss_kb=%ld", &seconds, &frame, &kb))
            << r.err;
        EXPECT_EQ(10 * int(frames.size() + 1), seconds);
        EXPECT_GT(kb, 1000); // the program with its fonts and meshes loaded
        frames.push_back(frame);
    }
    ASSERT_EQ(3u, frames.size()) << r.err;
    for (size_t i = 0; i < frames.size(); ++i) EXPECT_NEAR(500.0 * double(i + 1), double(frames[i]), 1.0);
    // Nothing on standard output, and no line without the option.
    EXPECT_EQ(std::string::npos, r.out.find("memory:"));
    Scenario::Result quiet = Scenario::Run({"--frames", "700"});
    EXPECT_EQ(std::string::npos, quiet.err.find("memory:")) << quiet.err;
}
