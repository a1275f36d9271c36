// The settings file: read at start, hand-edited and damaged files, what a change writes, and where the file
// lives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include "Scenario.h"
#include "engine/KoGraphics.h"
#include "framework/GameMain.h"
#include "framework/GameStateMgr.h"
#include "framework/Settings.h"

TEST(Settings, ReadsHandEditedFilesLineByLineAndAChangeRewritesOnlyItsLine)
{
    Scenario::TempDir dir;
    gConfigDirOverride     = dir.path;
    const std::string file = dir / "settings.ini";
    // The file (nullptr: none); the sound, screen mode and vsync read; the lines warned of.
    const std::tuple<const char*, bool, bool, bool, int> cases[] = {
        {nullptr, true, true, false, 0},
        {"sound = off\nfullscreen = off\nvsync = on\n", false, false, true, 0},
        {"\xEF\xBB\xBF# mine\n\n  Sound=OFF  \r\n; note\nVSYNC = Yes", false, true, true, 0},
        {"fullscreen = no\nsound = maybe\nvsync = 1\n", true, false, true, 1},
        {"vsync = TRUE\nvolume = 30\nsound = 0\n", false, true, true, 1},
        {"sound off\n=\n\x7f\x45\x4c\x46\x02\nfullscreen = false", true, false, false, 3},
    };
    for (const auto& [text, sound, fullScreen, vsync, warned] : cases)
    {
        std::remove(file.c_str());
        if (text) Scenario::WriteFile(file, text);
        gSoundOn = gKoGfxFullScreen = false;
        gVsync                      = !vsync;
        testing::internal::CaptureStderr();
        Settings::Load();
        std::string err   = testing::internal::GetCapturedStderr();
        const char* shown = text ? text : "(none)";
        EXPECT_TRUE(gSoundOn == sound && gKoGfxFullScreen == fullScreen && gVsync == vsync) << shown;
        // one line each, naming the file and the line
        EXPECT_TRUE(std::count(err.begin(), err.end(), '\n') == warned &&
                    (!warned || err.rfind("skarnhold: " + file + ": line ", 0) == 0))
            << shown << err;
    }

    // The file says sound off and window; this run is in full screen by the command line; the player turns
    // sound on, then vsync: the sound's line changes, vsync's is added, everything else stays.
    const std::string mine = "# mine\nSound = OFF\nvolume = 30\nfullscreen=off\r\n";
    Scenario::WriteFile(file, mine);
    Settings::Load();
    gKoGfxFullScreen = true;
    Settings::Remember();
    gSoundOn = true;
    Settings::SaveChanged();
    gVsync = true;
    Settings::SaveChanged();
    EXPECT_EQ(Scenario::ReadFile(file), "# mine\nSound = on\nvolume = 30\nfullscreen=off\r\nvsync = on\n");

    // Written through a link; never by a replay, into a read-only file or a folder that cannot be made.
    ASSERT_EQ(rename(file.c_str(), (dir / "mine.ini").c_str()) | symlink("mine.ini", file.c_str()), 0);
    gSoundOn = false;
    Settings::SaveChanged();
    gWatchOnly = gSoundOn = true;
    Settings::SaveChanged();
    gWatchOnly = false;
    chmod((dir / "mine.ini").c_str(), 0444);
    testing::internal::CaptureStderr();
    gVsync = false;
    Settings::SaveChanged();
    gKoGfxFullScreen = false;
    Settings::SaveChanged();
    gConfigDirOverride = dir / "mine.ini/under"; // a folder that cannot be made
    gSoundOn           = false;
    Settings::SaveChanged();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::count(err.begin(), err.end(), '\n') == 2 &&
                err.find("/under: Not a directory") != err.npos &&
                err.find(file + ": it is read-only; the change holds for this run\n") != err.npos)
        << err;
    EXPECT_EQ(Scenario::ReadFile(dir / "mine.ini"),
              "# mine\nSound = off\nvolume = 30\nfullscreen=off\r\nvsync = on\n");

    // Without --config-dir the file lies in $XDG_CONFIG_HOME or ~/.config, below skarnhold/, when absolute.
    gConfigDirOverride.clear();
    Scenario::EnvGuard xdg("XDG_CONFIG_HOME"), home("HOME");
    setenv("HOME", "/home/troglin", 1);
    setenv("XDG_CONFIG_HOME", "/cfg/", 1);
    EXPECT_EQ(Settings::FilePath(), "/cfg/skarnhold/settings.ini");
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(Settings::FilePath(), "/home/troglin/.config/skarnhold/settings.ini");
}
