// The high-score table ("Hall Of Fame") and the save folder that holds its file.
//
// The table is kept sorted from the highest score down (a stable sort, so equal scores keep their order).
// The file "highscore.txt" holds two lines per entry, name then score. It is read from the save folder, or
// from the default file in the working directory while the save folder has none. Recording a score appends
// it and saves, and saving drops the last entry, so the table keeps the length it was loaded with. Problems
// with the files are silent.
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
// missing. Any failure leaves gSaveFolder empty.
void BuildSaveFolder();
// gSaveFolder + "highscore.txt".
std::string HighScorePath();
// Appends the entries of the save folder's file (or of the default file) and sorts. Reading stops at the
// first token that is not of the expected kind; the entries before it are kept.
void LoadHighScores();
// Sorts, drops the last entry, and replaces the file in the save folder. The file is written whole to a
// temporary file beside it and renamed over it, so it always holds either the old or the new table.
// Returns false when the file could not be written (the table is sorted and trimmed all the same).
bool SaveHighScores();
// Appends (name, distance truncated toward zero) and saves.
void RecordHighScore(const std::string& name, float distance);
