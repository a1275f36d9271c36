// The high-score table, its file and the save folder; every test works in temporary folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "Scenario.h"
#include "framework/GameMain.h"
#include "framework/HighScore.h"

namespace
{

std::string Table()
{
    std::string s;
    for (const HighScoreEntry& e : gHighScores) s += e.name + " " + std::to_string(e.score) + ";";
    return s;
}

// A working directory (where the default file lies) and a save folder named on the command line.
class HighScoreTest : public ::testing::Test
{
  protected:
    Scenario::TempDir work, save;
    std::string oldCwd;

    void SetUp() override
    {
        char buf[4096];
        ASSERT_NE(getcwd(buf, sizeof(buf)), nullptr);
        oldCwd = buf;
        ASSERT_EQ(chdir(work.path.c_str()), 0);
        gSaveDirOverride = save.path;
        BuildSaveFolder();
        gHighScores.clear();
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir(oldCwd.c_str()), 0);
        gSaveDirOverride.clear();
        gSaveFolder.clear();
        gHighScores.clear();
    }
    std::string SavedFile() { return Scenario::ReadFile(save / "highscore.txt"); }
    void Load(const std::string& text)
    {
        Scenario::WriteFile(save / "highscore.txt", text);
        gHighScores.clear();
        LoadHighScores();
    }
};

TEST_F(HighScoreTest, RecordingKeepsTheTableLengthAndTheOrder)
{
    // (table, name, distance, the file afterwards)
    const std::string five = "A\n500\nB\n400\nC\n300\nD\n200\nE\n100\n";
    const std::tuple<std::string, const char*, float, std::string> cases[] = {
        {"ANNA\n300\nBOB\n250\n", "CARL", 260.7f, "ANNA\n300\nCARL\n260\n"},
        {five, "TIE", 100.9f, five}, // a score must beat the lowest entry to stay
        {five, "NEW", 101.0f, "A\n500\nB\n400\nC\n300\nD\n200\nNEW\n101\n"},
        // Equal scores keep their file order, and a new one comes last among them.
        {"LOW\n5\nX\n50\nY\n50\nZ\n50\nTOP\n90\n", "W", 50.0f, "TOP\n90\nX\n50\nY\n50\nZ\n50\nW\n50\n"},
        {"A\n-1\n", "B", -0.5f, "B\n0\n"}, // negative distances truncate toward zero as well
    };
    for (const auto& c : cases)
    {
        Load(std::get<0>(c));
        RecordHighScore(std::get<1>(c), std::get<2>(c));
        EXPECT_EQ(SavedFile(), std::get<3>(c)) << std::get<1>(c);
    }
}

TEST_F(HighScoreTest, HandEditedFilesKeepEveryEntryThatCanBeRead)
{
    // (file, table, damaged: kept beside the file at the first save, each under a name of its own)
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"ANNA\n300\nBOB\n250", "ANNA 300;BOB 250;", false},
        {"ANNA\r\n300\r\nBOB\r\n250\r\n\n\n", "ANNA 300;BOB 250;", false},
        {"  ANNA 300\tBOB\n\n250  ", "ANNA 300;BOB 250;", false},
        {"\n\n  \n", "", false},
        {"LOW\n5\nX\n50\nY\n50\nTOP\n90\n", "TOP 90;X 50;Y 50;LOW 5;", false},
        {"ANNA 300 BOB", "ANNA 300;", true},
        {"ANNA 300 BOB 2.5 CARL 1", "ANNA 300;CARL 1;", true},
        {"ANNA 300 BOB abc CARL 100", "ANNA 300;CARL 100;", true},
        {std::string("ANNA 300 BOB \0 CARL 100", 23), "ANNA 300;CARL 100;", true},
        {"A 00000000250 B 2147483648 C -99999999999 D +7", "B 2147483647;A 250;D 7;C -2147483648;", false},
        {"ANNA -2147483648 BOB 99999999999999999999999 CARL 2147483647",
         "BOB 2147483647;CARL 2147483647;ANNA -2147483648;", false},
    };
    int copies = 0;
    for (const auto& [file, table, damaged] : cases)
    {
        Load(file);
        EXPECT_EQ(Table(), table) << file;
        EXPECT_EQ(SaveHighScores(), "");
        const std::string copy = copies ? ".damaged." + std::to_string(copies + 1) : ".damaged";
        EXPECT_EQ(Scenario::ReadFile(save / ("highscore.txt" + copy)), damaged ? file : "") << file;
        copies += damaged;
    }
}

// The default table lies in the working directory: the first save copies it into the save folder, a short
// or empty file is topped up from it, and a damaged file is kept once beside the new one.
TEST_F(HighScoreTest, TheDefaultTableFillsTheFirstSaveAndAShortOrDamagedFile)
{
    const std::string defaults = "AA\n50\nBB\n40\nCC\n30\nDD\n20\nEE\n10\n";
    Scenario::WriteFile(work / "highscore.txt", defaults);
    LoadHighScores();
    RecordHighScore("ME", 35.0f);
    EXPECT_EQ(SavedFile(), "AA\n50\nBB\n40\nME\n35\nCC\n30\nDD\n20\n");
    Load("");
    EXPECT_EQ(Table(), "AA 50;BB 40;CC 30;DD 20;EE 10;");
    Load("BB 40 ME 35");
    EXPECT_EQ(Table(), "AA 50;BB 40;ME 35;CC 30;DD 20;");
    EXPECT_FALSE(Scenario::FileExists(save / "highscore.txt.damaged"));

    // A damaged file is kept byte for byte before the first save replaces it, and only then.
    const std::string damaged = "GROK\n250\nBIG UGGA\n180\n\x01\x02";
    Load(damaged);
    EXPECT_EQ(Table(), "GROK 250;UGGA 180;AA 50;BB 40;CC 30;");
    testing::internal::CaptureStderr();
    RecordHighScore("ME", 60.0f);
    RecordHighScore("YOU", 70.0f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "high scores: " + save.path +
                                                          "/highscore.txt was damaged; it is kept as " +
                                                          save.path + "/highscore.txt.damaged\n");
    EXPECT_EQ(Scenario::ReadFile(save / "highscore.txt.damaged"), damaged);
    EXPECT_EQ(SavedFile(), "GROK\n250\nUGGA\n180\nYOU\n70\nME\n60\nAA\n50\n");

    // Temporary files of games that died go at the next save; a live game's stays.
    pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string deadTmp = save / ("highscore.txt." + std::to_string(dead) + ".0.tmp");
    Scenario::WriteFile(deadTmp, "half a table");
    Scenario::WriteFile(save / "highscore.txt.1.0.tmp", "a live game's");
    RecordHighScore("ME", 1.0f);
    EXPECT_TRUE(!Scenario::FileExists(deadTmp) && Scenario::FileExists(save / "highscore.txt.1.0.tmp"));
}

// Ten games saving five runs each at the same time: every save merges into the file as it is then.
TEST_F(HighScoreTest, GamesSavingAtOnceKeepEveryRun)
{
    std::string table, want;
    for (int i = 0; i < 60; ++i) table += "OLD\n0\n";
    Load(table);
    for (int g = 0; g < 10; ++g)
        if (fork() == 0)
        {
            for (int run = 1; run <= 5; ++run) RecordHighScore("G" + std::to_string(g), float(run * 10 + g));
            _exit(0);
        }
    for (int status = 0, g = 0; g < 10; ++g) EXPECT_TRUE(wait(&status) > 0 && status == 0);
    for (int score = 59; score >= 10; --score)
        want += "G" + std::to_string(score % 10) + "\n" + std::to_string(score) + "\n";
    EXPECT_EQ(SavedFile(), want + table.substr(0, 60));
}

// No save folder, or a file that cannot be read or written: no file changes, the runs stay in memory.
TEST_F(HighScoreTest, WhatCannotBeSavedStaysInMemoryAndNoFileIsReplaced)
{
    const std::string file = save / "highscore.txt", defaults = "AA\n1\nBB\n1\nCC\n1\n";
    Scenario::WriteFile(work / "highscore.txt", defaults);
    Scenario::EnvGuard xdg("XDG_DATA_HOME"), home("HOME", "home");
    const std::tuple<std::string, std::function<void()>> cases[] = {
        {"cannot make the folder " + file + "/Oxmire/Skarnhold: " + strerror(ENOTDIR),
         [&] {
             Scenario::WriteFile(file, "AA 1"), setenv("XDG_DATA_HOME", file.c_str(), 1),
                 gSaveDirOverride.clear();
         }},
        {"there is no per-user data folder: HOME is not an absolute path ('home')",
         [&] { setenv("XDG_DATA_HOME", "data", 1), gSaveDirOverride.clear(); }},
        {"is larger than 16 MiB",
         [&] { Scenario::WriteFile(file, "BIG 1\n"), truncate(file.c_str(), off_t(17) << 20); }},
        {"it is read-only", [&] { Scenario::WriteFile(file, "RO 1\n"), chmod(file.c_str(), 0444); }},
    };
    for (const auto& [said, make] : cases)
    {
        gSaveDirOverride = save.path;
        make();
        BuildSaveFolder();
        const std::string before = Scenario::ReadFile(file);
        testing::internal::CaptureStderr();
        RecordHighScore("ME", 5.0f);
        RecordHighScore("YOU", 6.0f);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(err.find(said) != std::string::npos && err.find('\n') == err.size() - 1) << err;
        EXPECT_EQ(Scenario::ReadFile(file), before) << said;
        gHighScores.clear();
        LoadHighScores(); // the next screen
        EXPECT_EQ(Table().substr(0, 11), "YOU 6;ME 5;") << said;
        std::filesystem::remove_all(file);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(work.path), {}), 1);
    EXPECT_EQ(Scenario::ReadFile(work / "highscore.txt"), defaults);

    BuildSaveFolder();
    gWatchOnly = true; // a replay's run is shown, never saved, without a word
    Load("AA 1");
    RecordHighScore("SEEN", 9.0f);
    gWatchOnly = false;
    EXPECT_EQ(SavedFile() + Table(), "AA 1SEEN 9;AA 1;BB 1;");

    // A failure is said once until a save works; one after that is said again.
    BuildSaveFolder();
    testing::internal::CaptureStderr();
    for (mode_t mode : {0444, 0644, 0444, 0444}) chmod(file.c_str(), mode), RecordHighScore("ME", 5.0f);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
}

TEST(SaveFolder, BuiltUnderTheXdgDataFolderWithTheAlreadyExistsRuleOrUnderHome)
{
    Scenario::EnvGuard xdg("XDG_DATA_HOME"), home("HOME");
    Scenario::TempDir dir, other;
    gSaveDirOverride.clear();
    setenv("XDG_DATA_HOME", dir.path.c_str(), 1);
    BuildSaveFolder();
    BuildSaveFolder(); // both levels exist now
    EXPECT_EQ(gSaveFolder, dir.path + "/Oxmire/Skarnhold/");
    ASSERT_EQ(mkdir((other / "Oxmire").c_str(), 0700), 0); // only the first level exists
    setenv("XDG_DATA_HOME", other.path.c_str(), 1);
    BuildSaveFolder();
    EXPECT_EQ(gSaveFolder, other.path + "/Oxmire/Skarnhold/");

    // A relative XDG_DATA_HOME is ignored; the data folder under HOME is created when missing.
    setenv("XDG_DATA_HOME", "relative/path", 1);
    setenv("HOME", other.path.c_str(), 1);
    BuildSaveFolder();
    EXPECT_EQ(gSaveFolder, other.path + "/.local/share/Oxmire/Skarnhold/");
    EXPECT_TRUE(Scenario::FileExists(other / ".local/share/Oxmire/Skarnhold/"));

    // Without either the save folder stays empty (one that cannot be made or a relative HOME: the test
    // above).
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    BuildSaveFolder();
    EXPECT_EQ(gSaveFolder, "");
    setenv("HOME", "home", 1);
    BuildSaveFolder();
    testing::internal::CaptureStderr();
    RecordHighScore("ME", 1.0f);
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "high scores: not saved: there is no per-user data folder: HOME is not an absolute path ('home'); "
        "the table is kept until the game ends\n");
    EXPECT_FALSE(Scenario::FileExists("home"));
    // The command line's folder (--save-dir) is where every scenario saves.
}

} // namespace
