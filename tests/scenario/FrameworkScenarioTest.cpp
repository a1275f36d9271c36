// The whole program's sound start-up and shut-down and its save folder, in a run without any sound file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>

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
