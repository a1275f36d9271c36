#include "framework/HighScore.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "framework/GameMain.h"
#include "framework/TextFile.h"
#include "platform/PlatFiles.h"

std::vector<HighScoreEntry> gHighScores;
std::string gSaveFolder;

static const char* const HIGH_SCORE_FILE = "highscore.txt";

// Why there is no save folder (empty while there is one).
static std::string sSaveFolderProblem;
// The save folder's file as last loaded, when it held tokens that made no entry: kept beside it as
// "highscore.txt.damaged" before the first save replaces it.
static bool sLoadedDamaged;
static std::string sDamagedText;
// After a failed save the table of the session lives here, and loads give it back instead of the file.
static bool sKeptInMemory;
static std::vector<HighScoreEntry> sSessionTable;
static bool sFailureReported;

void BuildSaveFolder()
{
    gSaveFolder.clear();
    sSaveFolderProblem.clear();
    sLoadedDamaged = sKeptInMemory = sFailureReported = false;
    sSessionTable.clear();
    if (!gSaveDirOverride.empty())
    {
        // The folder named on the command line is used even when it cannot be created: saving then fails
        // (and says so) instead of writing anywhere else.
        std::string dir = gSaveDirOverride;
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        PlatMakeDirs(dir);
        gSaveFolder = dir == "/" ? dir : dir + "/";
        return;
    }

    std::string base = PlatUserDataDir();
    if (base.empty())
    {
        sSaveFolderProblem = "there is no per-user data folder (neither XDG_DATA_HOME nor HOME is set)";
        return;
    }
    std::string folder = base + "/Oxmire/Skarnhold";
    if (int err = PlatMakeDirs(folder))
    {
        sSaveFolderProblem = "cannot make the folder " + folder + ": " + PlatErrorText(err);
        return;
    }
    gSaveFolder = folder + "/";
}

std::string HighScorePath()
{
    return gSaveFolder + HIGH_SCORE_FILE;
}

std::string UserFileReadPath(const char* pRel)
{
    std::string user = gSaveFolder + pRel;
    return !gSaveFolder.empty() && PlatExists(user) ? user : std::string(pRel);
}

std::string UserFileWritePath(const char* pRel, std::string* pWhy)
{
    pWhy->clear();
    if (gSaveFolder.empty())
    {
        *pWhy = sSaveFolderProblem.empty() ? "there is no save folder" : sSaveFolderProblem;
        return std::string();
    }
    std::string path = gSaveFolder + pRel;
    std::string dir  = path.substr(0, path.rfind('/'));
    if (int err = PlatMakeDirs(dir))
    {
        *pWhy = "cannot make the folder " + dir + ": " + PlatErrorText(err);
        return std::string();
    }
    return path;
}

static void SortTable()
{
    std::stable_sort(gHighScores.begin(), gHighScores.end(),
                     [](const HighScoreEntry& a, const HighScoreEntry& b) { return a.score > b.score; });
}

// Appends the entries of text: name and score tokens in turn, a score clamped to 32 bits. A token where a
// score belongs that is no number becomes the next entry's name, so the entries after a damaged one are
// read too. True when a token made no entry (the text is damaged).
static bool ReadTable(const std::string& text, std::vector<HighScoreEntry>* pTable)
{
    size_t pos = 0;
    const char *nameBegin, *nameEnd, *b, *e;
    bool damaged = false;
    bool more    = TextNextToken(text, &pos, &nameBegin, &nameEnd);
    while (more)
    {
        if (!TextNextToken(text, &pos, &b, &e)) return true; // a name with no score
        int32_t score;
        if (TextParseIntClamped(b, e, &score))
        {
            pTable->push_back(HighScoreEntry{std::string(nameBegin, nameEnd), score});
            more = TextNextToken(text, &pos, &nameBegin, &nameEnd);
            continue;
        }
        damaged   = true;
        nameBegin = b;
        nameEnd   = e;
    }
    return damaged;
}

static bool SameEntry(const HighScoreEntry& a, const HighScoreEntry& b)
{
    return a.name == b.name && a.score == b.score;
}

void LoadHighScores()
{
    if (sKeptInMemory)
    {
        gHighScores.insert(gHighScores.end(), sSessionTable.begin(), sSessionTable.end());
        SortTable();
        return;
    }
    std::vector<HighScoreEntry> defaults;
    std::string text;
    if (TextFileRead(HIGH_SCORE_FILE, &text)) ReadTable(text, &defaults);
    text.clear();
    sLoadedDamaged = false;
    if (gSaveFolder.empty() || !TextFileRead(HighScorePath().c_str(), &text))
    {
        gHighScores.insert(gHighScores.end(), defaults.begin(), defaults.end());
        SortTable();
        return;
    }
    size_t first   = gHighScores.size();
    sLoadedDamaged = ReadTable(text, &gHighScores);
    if (sLoadedDamaged) sDamagedText = text;
    // A short table is topped up with the default entries it lacks (then with any), so that it keeps the
    // default file's length and a new score can still enter it.
    for (int pass = 0; pass < 2; ++pass)
        for (const HighScoreEntry& d : defaults)
        {
            if (gHighScores.size() - first >= defaults.size()) break;
            if (pass == 0 && std::any_of(gHighScores.begin() + long(first), gHighScores.end(),
                                         [&](const HighScoreEntry& h) { return SameEntry(h, d); }))
                continue;
            gHighScores.push_back(d);
        }
    SortTable();
}

// Writes the table over the save folder's file; before a damaged file is replaced, its bytes are kept
// beside it. Empty on success, otherwise what could not be written and why.
static std::string WriteTable()
{
    if (gSaveFolder.empty())
        return sSaveFolderProblem.empty() ? "there is no save folder" : sSaveFolderProblem;
    std::string path = HighScorePath();
    if (sLoadedDamaged)
    {
        std::string kept = path + ".damaged";
        std::string why  = PlatReplaceFile(kept, sDamagedText.data(), sDamagedText.size());
        if (!why.empty()) return "cannot write " + kept + ": " + why;
        fprintf(stderr, "high scores: %s was damaged; it is kept as %s\n", path.c_str(), kept.c_str());
        sLoadedDamaged = false;
    }
    std::string text;
    for (const HighScoreEntry& entry : gHighScores)
        text += entry.name + "\n" + std::to_string(entry.score) + "\n";
    std::string why = PlatReplaceFile(path, text.data(), text.size());
    return why.empty() ? why : "cannot write " + path + ": " + why;
}

std::string SaveHighScores()
{
    SortTable();
    if (!gHighScores.empty()) gHighScores.pop_back();
    std::string why = WriteTable();
    sKeptInMemory   = !why.empty();
    sSessionTable   = sKeptInMemory ? gHighScores : std::vector<HighScoreEntry>();
    if (sKeptInMemory && !sFailureReported)
        fprintf(stderr, "high scores: not saved: %s; the table is kept until the game ends\n", why.c_str());
    sFailureReported = sKeptInMemory;
    return why;
}

int HighScoreRowsAbove(int firstY, int step, int rowHeight, int bottomY)
{
    int rows = bottomY - rowHeight < firstY ? 0 : (bottomY - rowHeight - firstY) / step + 1;
    return rows < int(gHighScores.size()) ? rows : int(gHighScores.size());
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
