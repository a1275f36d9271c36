#include "framework/HighScore.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "framework/GameMain.h"
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
    if (base.empty() || !PlatMakeDirs(base)) return;
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

static bool ReadWholeFile(const std::string& path, std::string* pText)
{
    FILE* pFile = fopen(path.c_str(), "rb");
    if (!pFile) return false;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), pFile)) > 0) pText->append(buf, n);
    fclose(pFile);
    return true;
}

// The next whitespace-separated token from *pPos on; false at the end of the text.
static bool NextToken(const std::string& text, size_t* pPos, std::string* pToken)
{
    size_t i = *pPos;
    while (i < text.size() && isspace(static_cast<unsigned char>(text[i]))) ++i;
    size_t start = i;
    while (i < text.size() && !isspace(static_cast<unsigned char>(text[i]))) ++i;
    *pPos = i;
    if (i == start) return false;
    pToken->assign(text, start, i - start);
    return true;
}

// A whole decimal number of 32 bits: optional sign, digits, nothing else.
static bool ParseScore(const std::string& token, int32_t* pScore)
{
    size_t i = (token[0] == '-' || token[0] == '+') ? 1 : 0;
    if (i == token.size()) return false;
    for (size_t k = i; k < token.size(); ++k)
        if (!isdigit(static_cast<unsigned char>(token[k]))) return false;
    errno           = 0;
    long long value = strtoll(token.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return false;
    *pScore = int32_t(value);
    return true;
}

void LoadHighScores()
{
    std::string text;
    if (!ReadWholeFile(HighScorePath(), &text) && !ReadWholeFile(HIGH_SCORE_FILE, &text)) return;

    // Name and score tokens in turn; the first missing or malformed score ends the reading.
    size_t pos = 0;
    std::string name, scoreToken;
    int32_t score;
    while (NextToken(text, &pos, &name) && NextToken(text, &pos, &scoreToken) &&
           ParseScore(scoreToken, &score))
        gHighScores.push_back(HighScoreEntry{name, score});
    SortTable();
}

bool SaveHighScores()
{
    SortTable();
    if (!gHighScores.empty()) gHighScores.pop_back();
    std::string text;
    for (const HighScoreEntry& entry : gHighScores)
        text += entry.name + "\n" + std::to_string(entry.score) + "\n";
    return PlatReplaceFile(HighScorePath(), text.data(), text.size());
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
