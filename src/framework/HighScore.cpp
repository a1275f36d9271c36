#include "framework/HighScore.h"

#include <algorithm>
#include <cerrno>
#include <climits>

#include "framework/GameMain.h"
#include "framework/TextFile.h"
#include "platform/PlatFiles.h"

std::vector<HighScoreEntry> gHighScores;
std::string gSaveFolder;

static const char* const HIGH_SCORE_FILE = "highscore.txt";

// Creates one level of the save folder: it may exist already.
static bool MakeLevel(const std::string& path)
{
    int err = PlatMakeDir(path.c_str());
    return err == 0 || err == EEXIST;
}

void BuildSaveFolder()
{
    gSaveFolder.clear();
    if (!gSaveDirOverride.empty())
    {
        // The folder named on the command line is used even when it cannot be created: saving then fails
        // quietly instead of writing over the default file in the working directory.
        std::string dir = gSaveDirOverride;
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        PlatMakeDirs(dir);
        gSaveFolder = dir == "/" ? dir : dir + "/";
        return;
    }

    std::string base = PlatUserDataDir();
    if (base.empty() || PlatMakeDirs(base) != 0) return;
    std::string folder = base + "/Oxmire/";
    if (!MakeLevel(folder)) return;
    folder += "Skarnhold/";
    if (!MakeLevel(folder)) return;
    gSaveFolder = folder;
}

std::string HighScorePath()
{
    return gSaveFolder + HIGH_SCORE_FILE;
}

static void SortTable()
{
    std::stable_sort(gHighScores.begin(), gHighScores.end(),
                     [](const HighScoreEntry& a, const HighScoreEntry& b) { return a.score > b.score; });
}

void LoadHighScores()
{
    std::string text;
    if (!TextFileRead(HighScorePath().c_str(), &text) && !TextFileRead(HIGH_SCORE_FILE, &text)) return;

    // Name and score tokens in turn; the first missing or malformed score ends the reading.
    size_t pos = 0;
    const char *nameBegin, *nameEnd, *scoreBegin, *scoreEnd;
    int32_t score;
    while (TextNextToken(text, &pos, &nameBegin, &nameEnd) &&
           TextNextToken(text, &pos, &scoreBegin, &scoreEnd) && TextParseInt(scoreBegin, scoreEnd, &score))
        gHighScores.push_back(HighScoreEntry{std::string(nameBegin, nameEnd), score});
    SortTable();
}

bool SaveHighScores()
{
    SortTable();
    if (!gHighScores.empty()) gHighScores.pop_back();
    std::string text;
    for (const HighScoreEntry& entry : gHighScores)
        text += entry.name + "\n" + std::to_string(entry.score) + "\n";
    return PlatReplaceFile(HighScorePath(), text.data(), text.size()).empty();
}

void RecordHighScore(const std::string& name, float distance)
{
    int32_t score = 0;
    if (distance >= 2147483647.0f)
        score = INT32_MAX;
    else if (distance <= -2147483648.0f)
        score = INT32_MIN;
    else if (distance == distance)
        score = int32_t(distance); // toward zero
    gHighScores.push_back(HighScoreEntry{name, score});
    SaveHighScores();
}
