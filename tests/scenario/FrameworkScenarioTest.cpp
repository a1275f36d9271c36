// The whole program's sound start-up and shut-down, its save folder, and a run without any sound file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "Scenario.h"

namespace
{

bool StartsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}
bool EndsWith(const std::string& s, const std::string& suffix)
{
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool IsDir(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TEST(FrameworkScenario, SoundStartsAndEndsWithItsMessagesAndTheSaveFolderIsBuiltUnderXdg)
{
    Scenario::TempDir xdg;
    const char* old     = getenv("XDG_DATA_HOME");
    std::string oldText = old ? old : "";
    setenv("XDG_DATA_HOME", xdg.path.c_str(), 1);
    Scenario::Options opt;
    opt.saveDirArg     = false;
    opt.args           = {"--frames", "20"};
    Scenario::Result r = Scenario::Run(opt);
    if (old)
        setenv("XDG_DATA_HOME", oldText.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");

    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(StartsWith(r.out, "FMOD Load Complete\nFMOD Init Complete\n")) << r.out;
    EXPECT_TRUE(EndsWith(r.out, "FMOD Unload Complete\n")) << r.out;
    EXPECT_TRUE(IsDir(xdg / "Oxmire/Skarnhold"));
}

TEST(FrameworkScenario, WithoutSoundFilesEveryLoadAndPlayPrintsItsErrorAndTheGameGoesOn)
{
    // A data folder with everything but the sounds.
    Scenario::TempDir data;
    for (const char* entry : {"Meshes", "Tilemaps", "highscore.txt"})
        ASSERT_EQ(symlink((std::string(SKARN_DATA_DIR) + "/" + entry).c_str(), (data / entry).c_str()), 0);
    Scenario::Options opt;
    opt.dataDir        = data.path;
    opt.args           = {"--frames", "600"};
    Scenario::Result r = Scenario::Run(opt);

    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(StartsWith(r.out, "FMOD Load Complete\nFMOD Init Complete\n")) << r.out;
    EXPECT_TRUE(EndsWith(r.out, "FMOD Unload Complete\n")) << r.out;
    EXPECT_NE(r.out.find("FMOD error! (7) The sound file could not be opened.\n"), std::string::npos)
        << r.out;
}

} // namespace
