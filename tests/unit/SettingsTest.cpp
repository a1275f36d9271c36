// The settings file: read at start, damaged files, what a change writes, and where the file lives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "Scenario.h"
#include "engine/KoGraphics.h"
#include "framework/GameStateMgr.h"
#include "framework/Settings.h"

TEST(Settings, ReadsTheFileGivesDefaultsForADamagedOneAndWritesOnlyWhatChanged)
{
    Scenario::TempDir dir;
    gConfigDirOverride     = dir.path;
    const std::string file = dir / "settings.ini";
    // The file (nullptr: none); the sound, screen mode and vsync read; whether a line is warned of.
    const std::tuple<const char*, bool, bool, bool, bool> cases[] = {
        {nullptr, true, true, false, false},
        {"sound = off\nfullscreen = off\nvsync = on\n", false, false, true, false},
        {"# mine\n\n  sound=off  \r\n", false, true, false, false},
        {"fullscreen = off\nsound = maybe\n", true, true, false, true},
        {"vsync = on\nvolume = 3\n", true, true, false, true},
        {"sound off\n", true, true, false, true},
        {"\x7f\x45\x4c\x46\x02", true, true, false, true},
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
        // one line that names the file and the line
        EXPECT_TRUE(warned ? err.rfind("skarnhold: " + file + ": line ", 0) == 0 &&
                                 err.find('\n') == err.size() - 1
                           : err.empty())
            << shown << err;
    }

    // The file says sound off and window; this run is in full screen by the command line; the player turns
    // sound on: the file takes the sound and keeps its own screen mode.
    Scenario::WriteFile(file, "sound = off\nfullscreen = off\n");
    Settings::Load();
    gKoGfxFullScreen = true;
    Settings::Remember();
    Settings::SaveChanged();
    EXPECT_EQ(Scenario::ReadFile(file), "sound = off\nfullscreen = off\n");
    gSoundOn = true;
    Settings::SaveChanged();
    EXPECT_EQ(Scenario::ReadFile(file), "sound = on\nfullscreen = off\nvsync = off\n");
    std::remove(file.c_str());
    Settings::SaveChanged(); // nothing changed since: nothing written
    EXPECT_FALSE(Scenario::FileExists(file));

    // A folder that cannot be made: one line, and the game goes on.
    gConfigDirOverride = file + "/under/a/file";
    Scenario::WriteFile(file, "");
    gSoundOn = false;
    testing::internal::CaptureStderr();
    Settings::SaveChanged();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("could not be saved"), std::string::npos) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;

    // Without --config-dir the file lies in $XDG_CONFIG_HOME (when absolute) or ~/.config, below skarnhold/.
    gConfigDirOverride.clear();
    Scenario::EnvGuard xdg("XDG_CONFIG_HOME"), home("HOME");
    setenv("HOME", "/home/troglin", 1);
    setenv("XDG_CONFIG_HOME", "/cfg/", 1);
    EXPECT_EQ(Settings::FilePath(), "/cfg/skarnhold/settings.ini");
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(Settings::FilePath(), "/home/troglin/.config/skarnhold/settings.ini");
}
