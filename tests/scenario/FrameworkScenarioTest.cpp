// The whole program's sound start-up and shut-down and its save folder, in a run without any sound file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "Play.h"

TEST(FrameworkScenario, WithoutSoundFilesEveryLoadPrintsItsErrorTheGameGoesOnAndTheSaveFolderIsBuilt)
{
    Scenario::GameData data("", {"Sounds"});
    Scenario::TempDir xdg;
    const char* old     = getenv("XDG_DATA_HOME");
    std::string oldText = old ? old : "";
    setenv("XDG_DATA_HOME", xdg.path.c_str(), 1);
    Scenario::Play p;
    p.opt.dataDir    = data.dir.path;
    p.opt.saveDirArg = false;
    p.Go(600);
    if (old)
        setenv("XDG_DATA_HOME", oldText.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");

    EXPECT_EQ(p.res.exitCode, 0) << p.res.err;
    const std::string& out = p.res.out;
    EXPECT_EQ(out.rfind("FMOD Load Complete\nFMOD Init Complete\n", 0), 0u) << out;
    const std::string end = "FMOD Unload Complete\n";
    EXPECT_TRUE(out.size() >= end.size() && out.compare(out.size() - end.size(), end.size(), end) == 0)
        << out;
    EXPECT_NE(out.find("FMOD error! (7) The sound file could not be opened.\n"), std::string::npos) << out;
    struct stat st;
    EXPECT_TRUE(stat((xdg / "Oxmire/Skarnhold").c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

// A replay of the bot's play prints the same run at every draw rate and ends where the recording ended; a
// replay of another version or other data files is refused with exit code 2.
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
    EXPECT_NE(std::string::npos, text.find(" down ")) << text; // the bot's keys
    EXPECT_NE(std::string::npos, text.find("\nend ")) << text;

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

    const std::string other = text.substr(text.find('\n'));
    for (const std::string& bad :
         {"skarnhold-replay 9" + other, std::string("skarnhold-replay 1\ndata 0123456789abcdef\n")})
    {
        ASSERT_TRUE(Scenario::WriteFile(replay, bad));
        const Scenario::Result r = Scenario::Run({"--replay", replay});
        EXPECT_EQ(2, r.exitCode) << r.err;
        EXPECT_NE(std::string::npos,
                  r.err.find(bad[17] == '9' ? "not a replay of this version" : "other data"))
            << r.err;
    }
}
