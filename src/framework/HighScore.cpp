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
// The table as last read from the file (topped up from the default file), and this session's runs that
// the file does not hold yet: the table shown is the two merged. A save merges the runs into the file as it
// is then, so a run saved by another game meanwhile is kept.
static std::vector<HighScoreEntry> sBase;
static std::vector<HighScoreEntry> sUnsaved;
// A problem with the file has been reported, and no save has worked since.
static bool sProblemReported;

// How long a save waits for another game's save to finish.
static const int HIGH_SCORE_LOCK_WAIT_MS = 5000;

void BuildSaveFolder()
{
    gSaveFolder.clear();
    sSaveFolderProblem.clear();
    sBase.clear();
    sUnsaved.clear();
    sProblemReported = false;
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

    std::string base, why = PlatUserDataDir(&base);
    if (!why.empty())
    {
        sSaveFolderProblem = "there is no per-user data folder: " + why;
        return;
    }
    std::string folder = base + "/Oxmire/Skarnhold";
    sSaveFolderProblem = PlatMakeDirs(folder);
    if (sSaveFolderProblem.empty()) gSaveFolder = folder + "/";
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
    if (gWatchOnly)
    {
        *pWhy = "a replay only watches";
        return std::string();
    }
    if (gSaveFolder.empty())
    {
        *pWhy = sSaveFolderProblem.empty() ? "there is no save folder" : sSaveFolderProblem;
        return std::string();
    }
    std::string path = gSaveFolder + pRel;
    *pWhy            = PlatMakeDirs(path.substr(0, path.rfind('/')));
    return pWhy->empty() ? path : std::string();
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

// The table of the file in the save folder into *pTable, topped up with the default entries it lacks; the
// default file alone when there is no save folder or no file in it. TEXT_FILE_REFUSED (and *pWhy) for a
// file that is there but cannot be read: *pTable then holds the default table. *pDamaged tells whether a
// token of the file made no entry, *pText holds its bytes.
static TextFileResult ReadBase(std::vector<HighScoreEntry>* pTable, std::string* pText, bool* pDamaged,
                               std::string* pWhy)
{
    std::vector<HighScoreEntry> defaults;
    std::string text;
    if (TextFileRead(HIGH_SCORE_FILE, &text)) ReadTable(text, &defaults);
    *pTable   = defaults;
    *pDamaged = false;
    pText->clear();
    TextFileResult result =
        gSaveFolder.empty() ? TEXT_FILE_MISSING : TextFileCheck(HighScorePath().c_str(), pText, pWhy);
    if (result != TEXT_FILE_READ) return result;
    pTable->clear();
    *pDamaged = ReadTable(*pText, pTable);
    // A short table is topped up with the default entries it lacks (then with any), so that it keeps the
    // default file's length and a new score can still enter it.
    const size_t own = pTable->size();
    for (int pass = 0; pass < 2; ++pass)
        for (const HighScoreEntry& d : defaults)
        {
            if (pTable->size() >= defaults.size()) break;
            if (pass == 0 && std::any_of(pTable->begin(), pTable->begin() + long(own),
                                         [&](const HighScoreEntry& h) { return SameEntry(h, d); }))
                continue;
            pTable->push_back(d);
        }
    return result;
}

// The table with this session's unsaved runs: sorted (a run stands behind the entries of its score) and
// as long as the table was.
static std::vector<HighScoreEntry> Merged(const std::vector<HighScoreEntry>& table)
{
    std::vector<HighScoreEntry> merged = table;
    merged.insert(merged.end(), sUnsaved.begin(), sUnsaved.end());
    std::stable_sort(merged.begin(), merged.end(),
                     [](const HighScoreEntry& a, const HighScoreEntry& b) { return a.score > b.score; });
    merged.resize(table.size());
    return merged;
}

// One line on standard error for the first problem since the last save that worked.
static void Report(const std::string& line)
{
    if (!sProblemReported) fprintf(stderr, "high scores: %s\n", line.c_str());
    sProblemReported = true;
}

void LoadHighScores()
{
    std::string text, why;
    bool damaged;
    if (ReadBase(&sBase, &text, &damaged, &why) == TEXT_FILE_REFUSED)
        Report(HighScorePath() + " " + why +
               "; it is left as it is, and the table is kept until the game ends");
    std::vector<HighScoreEntry> shown = Merged(sBase);
    gHighScores.insert(gHighScores.end(), shown.begin(), shown.end());
}

// Keeps the bytes of a damaged file beside it before they are replaced, under a name no older copy has:
// "highscore.txt.damaged", then ".damaged.2", ".damaged.3", ... Empty on success, otherwise why not.
static std::string KeepDamaged(const std::string& path, const std::string& text)
{
    std::string kept = path + ".damaged";
    for (int n = 2; PlatExists(kept); ++n) kept = path + ".damaged." + std::to_string(n);
    std::string why = PlatReplaceFile(kept, text.data(), text.size());
    if (!why.empty()) return "cannot write " + kept + ": " + why;
    fprintf(stderr, "high scores: %s was damaged; it is kept as %s\n", path.c_str(), kept.c_str());
    return why;
}

// With the save folder's lock held: the file as it is now, with this session's runs merged in, replaces
// it. Empty on success, otherwise what could not be written and why.
static std::string MergeIntoFile()
{
    const std::string path = HighScorePath();
    std::string text, why;
    bool damaged;
    if (ReadBase(&sBase, &text, &damaged, &why) == TEXT_FILE_REFUSED)
        return path + " " + why + "; it is left as it is";
    if (damaged && !(why = KeepDamaged(path, text)).empty()) return why;
    std::vector<HighScoreEntry> table = Merged(sBase);
    text.clear();
    for (const HighScoreEntry& entry : table) text += entry.name + "\n" + std::to_string(entry.score) + "\n";
    why = PlatReplaceFile(path, text.data(), text.size());
    if (!why.empty()) return "cannot write " + path + ": " + why;
    sBase = table;
    sUnsaved.clear();
    return why;
}

// Merges the unsaved runs into the save folder's file under its lock. Empty on success, otherwise why not.
static std::string SaveUnderLock()
{
    if (gSaveFolder.empty())
        return sSaveFolderProblem.empty() ? "there is no save folder" : sSaveFolderProblem;
    const std::string lockPath = HighScorePath() + ".lock";
    int lock                   = -1;
    std::string why            = PlatLockFile(lockPath, HIGH_SCORE_LOCK_WAIT_MS, &lock);
    if (!why.empty()) return "cannot lock " + lockPath + ": " + why;
    why = MergeIntoFile();
    PlatUnlockFile(lock);
    return why;
}

std::string SaveHighScores()
{
    // A replay only shows its runs: they stay unsaved, in memory.
    std::string why = gWatchOnly ? std::string() : SaveUnderLock();
    gHighScores     = Merged(sBase);
    if (!why.empty()) Report("not saved: " + why + "; the table is kept until the game ends");
    if (why.empty() && !gWatchOnly) sProblemReported = false;
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
    sUnsaved.push_back(HighScoreEntry{name, score});
    SaveHighScores();
}
