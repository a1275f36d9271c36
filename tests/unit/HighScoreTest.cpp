// The high-score table, its file and the save folder; every test works in temporary folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "Scenario.h"
#include "framework/GameMain.h"
#include "framework/HighScore.h"

namespace
{

bool IsDir(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

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
    Load("ANNA\n300\nBOB\n250\n");
    RecordHighScore("CARL", 260.7f);
    EXPECT_EQ(SavedFile(), "ANNA\n300\nCARL\n260\n");
    EXPECT_FALSE(Scenario::FileExists(save / "highscore.txt.tmp"));

    // A score must beat the lowest entry to stay.
    const std::string five = "A\n500\nB\n400\nC\n300\nD\n200\nE\n100\n";
    Load(five);
    RecordHighScore("TIE", 100.9f);
    EXPECT_EQ(SavedFile(), five);
    RecordHighScore("NEW", 101.0f);
    EXPECT_EQ(SavedFile(), "A\n500\nB\n400\nC\n300\nD\n200\nNEW\n101\n");

    // Equal scores keep their file order, and a new one comes last among them.
    Load("LOW\n5\nX\n50\nY\n50\nZ\n50\nTOP\n90\n");
    EXPECT_EQ(Table(), "TOP 90;X 50;Y 50;Z 50;LOW 5;");
    RecordHighScore("W", 50.0f);
    EXPECT_EQ(SavedFile(), "TOP\n90\nX\n50\nY\n50\nZ\n50\nW\n50\n");

    // Negative distances truncate toward zero as well.
    Load("A\n-1\n");
    RecordHighScore("B", -0.5f);
    EXPECT_EQ(Table(), "B 0;");
}

TEST_F(HighScoreTest, HandEditedFilesKeepTheEntriesBeforeTheFirstBadToken)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"ANNA 300;BOB 250;",
         {"ANNA\n300\nBOB\n250", "ANNA\n300\nBOB\n250\n\n\n", "ANNA\r\n300\r\nBOB\r\n250\r\n",
          "  ANNA 300\tBOB\n\n250  "}},
        {"", {"", "\n\n  \n"}},
        {"ANNA 300;",
         {"ANNA 300 BOB", "ANNA 300 BOB\n", "ANNA 300 BOB abc CARL 100", "ANNA 300 BOB 25x",
          "ANNA 300 BOB 99999999999 CARL 1", "ANNA 300 BOB - CARL 1", "ANNA 300 BOB 2.5",
          std::string("ANNA 300 BOB \0 CARL 100", 23)}},
        {"CARL 2147483647;BOB 7;ANNA -2147483648;", {"ANNA -2147483648 BOB +7 CARL 2147483647"}},
    };
    for (const auto& c : cases)
        for (const std::string& text : c.second)
        {
            Load(text);
            EXPECT_EQ(Table(), c.first) << text;
        }
    // Loading appends to the table and sorts.
    Scenario::WriteFile(save / "highscore.txt", "B 20 A 30\n");
    gHighScores = {HighScoreEntry{"OLD", 25}};
    LoadHighScores();
    EXPECT_EQ(Table(), "A 30;OLD 25;B 20;");
}

TEST_F(HighScoreTest, TheFirstSaveCopiesTheDefaultTableIntoTheSaveFolder)
{
    const std::string defaults = "AA\n50\nBB\n40\nCC\n30\nDD\n20\nEE\n10\n";
    Scenario::WriteFile(work / "highscore.txt", defaults);
    LoadHighScores();
    RecordHighScore("ME", 35.0f);
    EXPECT_EQ(SavedFile(), "AA\n50\nBB\n40\nME\n35\nCC\n30\nDD\n20\n");
    EXPECT_EQ(Scenario::ReadFile(work / "highscore.txt"), defaults);
}

TEST_F(HighScoreTest, NoFileAtAllGivesAnEmptyTableAndRecordsWriteAnEmptyFile)
{
    LoadHighScores();
    EXPECT_TRUE(gHighScores.empty());
    RecordHighScore("SOLO", 999.0f);
    EXPECT_TRUE(gHighScores.empty());
    EXPECT_TRUE(Scenario::FileExists(save / "highscore.txt"));
    EXPECT_EQ(SavedFile(), "");
}

TEST_F(HighScoreTest, ASaveThatFailsHalfWayLeavesTheOldFileWhole)
{
    const std::string old = "ANNA\n300\nBOB\n250\nCARL\n200\n";
    Load(old);
    // The temporary file lands on a full disk: every write fails.
    ASSERT_EQ(symlink("/dev/full", (save / "highscore.txt.tmp").c_str()), 0);
    gHighScores.push_back(HighScoreEntry{"DAVE", 400});
    EXPECT_FALSE(SaveHighScores());
    EXPECT_EQ(SavedFile(), old);
    EXPECT_FALSE(Scenario::FileExists(save / "highscore.txt.tmp"));
    EXPECT_EQ(Table(), "DAVE 400;ANNA 300;BOB 250;"); // sorted and trimmed all the same

    // A temporary file that cannot be created at all changes nothing either.
    ASSERT_EQ(mkdir((save / "highscore.txt.tmp").c_str(), 0700), 0);
    RecordHighScore("EVE", 500.0f);
    EXPECT_EQ(SavedFile(), old);
    ASSERT_EQ(rmdir((save / "highscore.txt.tmp").c_str()), 0);
    EXPECT_TRUE(SaveHighScores());
    EXPECT_EQ(SavedFile(), "EVE\n500\nDAVE\n400\n");
}

TEST(SaveFolder, BuiltUnderTheXdgDataFolderWithTheAlreadyExistsRuleOrAsTheCommandLineNamesIt)
{
    Scenario::EnvGuard xdg("XDG_DATA_HOME"), home("HOME");
    Scenario::TempDir dir, other, blocked;
    gSaveDirOverride.clear();
    setenv("XDG_DATA_HOME", dir.path.c_str(), 1);
    BuildSaveFolder();
    EXPECT_EQ(gSaveFolder, dir.path + "/Oxmire/Skarnhold/");
    EXPECT_TRUE(IsDir(dir / "Oxmire/Skarnhold"));
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
    EXPECT_TRUE(IsDir(other / ".local/share/Oxmire/Skarnhold"));

    // A level that cannot be a folder leaves the save folder empty: the working directory is used.
    Scenario::WriteFile(blocked / "Oxmire", "a file, not a folder");
    setenv("XDG_DATA_HOME", blocked.path.c_str(), 1);
    BuildSaveFolder();
    EXPECT_EQ(HighScorePath(), "highscore.txt");
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    BuildSaveFolder();
    EXPECT_EQ(gSaveFolder, "");

    // The command line's folder is used as it is.
    gSaveDirOverride = dir / "saves/";
    BuildSaveFolder();
    EXPECT_EQ(gSaveFolder, dir.path + "/saves/");
    EXPECT_TRUE(IsDir(dir / "saves"));
    EXPECT_FALSE(IsDir(dir / "saves/Oxmire"));
    gSaveDirOverride.clear();
    gSaveFolder.clear();
}

} // namespace
