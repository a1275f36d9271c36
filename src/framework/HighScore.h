// The high-score table ("Hall Of Fame") and the save folder that holds its file.
//
// The table is kept sorted from the highest score down (a stable sort, so equal scores keep their order).
// The file "highscore.txt" holds two lines per entry, name then score. It is read from the save folder, or
// from the default file in the working directory while the save folder has none. A recorded run is merged
// into the file as it is at that moment (under a lock, so games that end together all keep their runs), and
// the table keeps its length: the lowest entries make room. The game's data folder is never written: when
// there is no save folder, the file cannot be read, or a save fails, the file is left as it is, standard
// error says why once and the session's runs are kept in memory until the game ends. While a replay plays
// (gWatchOnly) nothing is written at all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HighScoreEntry
{
    std::string name; // one word: upper-case letters A to Z
    int32_t score;    // whole meters
};

extern std::vector<HighScoreEntry> gHighScores; // index 0 is the best run

// The folder of the high-score file, ending in '/', or empty for the working directory. Set once at
// start-up by BuildSaveFolder.
extern std::string gSaveFolder;

// Start-up: gSaveFolder becomes gSaveDirOverride (--save-dir) when it is set, otherwise the per-user data
// folder ($XDG_DATA_HOME, default ~/.local/share; only absolute paths count) + "Oxmire/" + "Skarnhold/",
// each level created when missing. Any failure leaves gSaveFolder empty: the default file is read and
// nothing is saved. It also starts the table's session afresh (no unsaved runs, nothing reported yet).
void BuildSaveFolder();
// gSaveFolder + "highscore.txt".
std::string HighScorePath();
// The editors' files (relative paths such as "Tilemaps/map_out.txt") live in the save folder, the user's
// data folder: a file there wins over the game's own. The path to read pRel from: gSaveFolder + pRel when
// anything stands there, otherwise pRel itself (the game's data folder is the working directory).
std::string UserFileReadPath(const char* pRel);
// The path to write pRel to: gSaveFolder + pRel, the folders on its way created. Empty when there is no
// save folder, a folder cannot be made or a replay plays, and *pWhy says why: the game's data folder is
// never written.
std::string UserFileWritePath(const char* pRel, std::string* pWhy);
// Appends the entries of the save folder's file (or of the default file "highscore.txt" in the working
// directory) with the session's unsaved runs merged in, sorted. A score is a decimal number, clamped to 32
// bits; a token where a score belongs that is no number starts the next entry, so what follows damage is
// read. A file with fewer entries than the default file is topped up from it.
void LoadHighScores();
// Merges the session's unsaved runs into the file: with the lock file "highscore.txt.lock" held, the file
// is read again, the runs are added, the lowest entries beyond its length dropped, and the file replaced
// (PlatReplaceFile: it always holds either the old or the new table). A damaged file (one whose tokens did
// not all make entries) is first kept beside it as "highscore.txt.damaged" (".damaged.2", ... when that
// name is taken), and standard error says so; a file that cannot be read is never replaced. gHighScores
// becomes the merged table. Returns what could not be written and why, empty on success.
std::string SaveHighScores();
// Adds the run (name, distance truncated toward zero) to the session's unsaved runs and saves.
void RecordHighScore(const std::string& name, float distance);

// Hall Of Fame lists (800 x 600 layout): how many rows, the first at firstY and one every step, each
// rowHeight high, end above bottomY; at most the table's length.
int HighScoreRowsAbove(int firstY, int step, int rowHeight, int bottomY);
// A list shows at most this many bytes of a name, and cuts what does not fit before the score column.
constexpr int HIGH_SCORE_NAME_SHOWN = 32;
