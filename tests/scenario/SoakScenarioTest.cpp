// What the soak run relies on: the bot's ways of leaving a run, and the memory line every 10 s of game time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Play.h"

// On a map where every run ends at a wall too high to jump (the leader is left behind after about 9 s), the
// bot leaves in turn by Restart and by Menu from the game-over screen, then by the pause menu's Restart and
// Menu a few seconds into the run. The name it types makes the Hall Of Fame when the run beats an entry.
TEST(SoakScenario, LeavesRunsByRestartAndByMenuFromTheGameOverScreenAndThePauseMenu)
{
    Scenario::TempDir save;
    // A table with two entries the 7 m runs beat.
    ASSERT_TRUE(
        Scenario::WriteFile(save / "highscore.txt", "GROK\n250\nUGGA\n100\nTHAG\n50\nMOOK\n3\nZUG\n1\n"));
    Scenario::Play p(0.005);
    p.opt.dataDir          = std::string(SKARN_TEST_DATA_DIR) + "/level/wall";
    p.opt.saveDir          = save.path;
    p.opt.args             = {"--bot", "--memory-report"};
    const std::string& err = p.Go(8500).err;
    ASSERT_EQ(0, p.res.exitCode) << err;

    // Four runs, each left its own way, the fifth under way at the end.
    for (const char* way : {"1 left by Restart from the game-over", "2 left by Menu from the game-over",
                            "3 left by Restart from the pause", "4 left by Menu from the pause"})
        EXPECT_NE(std::string::npos, err.find(std::string("bot: run ") + way)) << err;
    // The level restarted in place twice and was left for the menu twice; Play was clicked three times.
    EXPECT_EQ(2, Scenario::Count(err, ": state 2 -> 5\n")) << err;
    EXPECT_EQ(2, Scenario::Count(err, ": state 2 -> 1\n")) << err;
    EXPECT_EQ(3, Scenario::Count(err, ": state 1 -> 2\n")) << err;

    // The first two runs went on until the wall; the pause menu took the other two at 5 s.
    std::vector<Scenario::RunLine> runs = Scenario::RunLines(err);
    ASSERT_EQ(5u, runs.size()) << err;
    EXPECT_GT(runs[0].seconds, 8.0);
    EXPECT_GT(runs[1].seconds, 8.0);
    EXPECT_NEAR(5.0, runs[2].seconds, 0.05);
    EXPECT_NEAR(5.0, runs[3].seconds, 0.05);

    // The two game-over runs entered the name and beat the two lowest entries; the runs left from the
    // pause menu recorded nothing.
    EXPECT_EQ("GROK\n250\nUGGA\n100\nTHAG\n50\nBOT\n7\nBOT\n7\n", Scenario::ReadFile(save / "highscore.txt"));

    // The memory line every 10 s of game time (2000 frames, less the steps dropped at state changes), on
    // standard error only.
    int n = 0;
    for (size_t at = err.find("memory: "); at != std::string::npos; at = err.find("memory: ", at + 1), ++n)
    {
        int seconds = 0;
        long frame = 0, kb = 0;
        ASSERT_EQ(3,
                  sscanf(err.c_str() + at, "memory: seconds=%d frame=%ld rss_kb=%ld", &seconds, &frame, &kb));
        EXPECT_EQ(10 * (n + 1), seconds);
        EXPECT_NEAR(2000.0 * (n + 1), double(frame), 10.0);
        EXPECT_GT(kb, 1000); // the program with its fonts and meshes loaded
    }
    EXPECT_EQ(4, n) << err;
    EXPECT_EQ(std::string::npos, p.res.out.find("memory:"));
}
