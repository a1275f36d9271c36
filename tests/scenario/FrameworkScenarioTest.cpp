// Replays of the bot's play in the whole program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Play.h"

// A replay of the bot's play prints the same run at every draw rate and ends where the recording ended.
TEST(FrameworkScenario, AReplayPlaysTheSameRunAtEveryDrawRate)
{
    Scenario::TempDir dir;
    const std::string replay = dir / "bot.replay";
    Scenario::Play rec(0.004);
    rec.opt.args           = {"--bot", "--record", replay};
    rec.opt.timeoutSeconds = 600;
    ASSERT_EQ(0, rec.Go(1500).exitCode) << rec.res.err; // 6 s: the level starts after 4.2 s
    const std::vector<Scenario::RunLine> recorded = Scenario::RunLines(rec.res.err);
    const std::string text                        = Scenario::ReadFile(replay);
    ASSERT_EQ(1u, recorded.size()) << rec.res.err;
    EXPECT_EQ(0u, text.find("skarnhold-replay 1\ndata ")) << text;

    for (double dt : {0.0005, 0.004, 0.016})
    {
        Scenario::Play p(dt);
        p.opt.args           = {"--replay", replay};
        p.opt.timeoutSeconds = 600;
        ASSERT_EQ(0, p.Go(100000).exitCode) << p.res.err;
        const std::vector<Scenario::RunLine> runs = Scenario::RunLines(p.res.err);
        ASSERT_EQ(1u, runs.size()) << dt << p.res.err;
        EXPECT_EQ(recorded[0].meters, runs[0].meters) << dt;
        EXPECT_EQ(recorded[0].kills, runs[0].kills) << dt;
        EXPECT_EQ(recorded[0].seconds, runs[0].seconds) << dt;
        EXPECT_NE(std::string::npos, p.res.err.find(": state 2 -> 6\n")) << p.res.err; // quit in the level
    }
}
