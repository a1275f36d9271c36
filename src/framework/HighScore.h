// The high-score table ("Hall Of Fame") and the save folder that holds its file.
//
// The table is kept sorted from the highest score down (a stable sort, so equal scores keep their order).
// The file "highscore.txt" holds two lines per entry, name then score. It is read from the save folder, or
// from the default file in the working directory while the save folder has none. Recording a score appends
// it and saves, and saving drops the last entry, so the table keeps the length it was loaded with. The
// game's data folder is never written: when there is no save folder, or a save fails, standard error says
// why once and the table of the session is kept in memory until the game ends.
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
// folder ($XDG_DATA_HOME, default ~/.local/share) + "Oxmire/" + "Skarnhold/", each level created when
// missing. Any failure leaves gSaveFolder empty: the default file is read and nothing is saved. It also
// starts the table's session afresh (nothing kept in memory, nothing reported yet).
void BuildSaveFolder();
// gSaveFolder + "highscore.txt".
std::string HighScorePath();
// The editors' files (relative paths such as "Tilemaps/map_out.txt") live in the save folder, the user's
// data folder: a file there wins over the game's own. The path to read pRel from: gSaveFolder + pRel when
// anything stands there, otherwise pRel itself (the game's data folder is the working directory).
std::string UserFileReadPath(const char* pRel);
// The path to write pRel to: gSaveFolder + pRel, the folders on its way created. Empty when there is no
// save folder or a folder cannot be made, and *pWhy says why: the game's data folder is never written.
std::string UserFileWritePath(const char* pRel, std::string* pWhy);
// Appends the entries of the save folder's file (or of the default file "highscore.txt" in the working
// directory) and sorts; after a failed save, the session's table instead. A score is a decimal number,
// clamped to 32 bits; a token where a score belongs that is no number starts the next entry, so what
// follows damage is read. A file with fewer entries than the default file is topped up from it.
void LoadHighScores();
// Sorts, drops the last entry, and replaces the file in the save folder (PlatReplaceFile: the file always
// holds either the old or the new table). A damaged file (one whose tokens did not all make entries) is
// first kept beside it as "highscore.txt.damaged", and standard error says so. Returns what could not be
// written and why, empty on success (the table is sorted and trimmed all the same).
std::string SaveHighScores();
// Appends (name, distance truncated toward zero) and saves.
void RecordHighScore(const std::string& name, float distance);

// Hall Of Fame lists (800 x 600 layout): how many rows, the first at firstY and one every step, each
// rowHeight high, end above bottomY; at most the table's length.
int HighScoreRowsAbove(int firstY, int step, int rowHeight, int bottomY);
// A list shows at most this many bytes of a name, and cuts what does not fit before the score column.
constexpr int HIGH_SCORE_NAME_SHOWN = 32;
