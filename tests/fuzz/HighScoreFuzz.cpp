// The high-score reader. The table it loads is sorted from the best score down, and saving it (which
// drops the last entry) and loading again gives the same table without that entry.
#include "FuzzFile.h"
#include "framework/HighScore.h"

#include <cstring>

static bool SameTable(const std::vector<HighScoreEntry>& a, const std::vector<HighScoreEntry>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].score != b[i].score) return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = FuzzWriteFile("highscore.txt", data, size);
    gSaveFolder      = path.substr(0, path.size() - strlen("highscore.txt"));

    gHighScores.clear();
    LoadHighScores();
    for (size_t i = 1; i < gHighScores.size(); ++i)
        FUZZ_CHECK(gHighScores[i - 1].score >= gHighScores[i].score);
    for (const HighScoreEntry& e : gHighScores) FUZZ_CHECK(!e.name.empty());

    std::vector<HighScoreEntry> loaded = gHighScores;
    if (!loaded.empty()) loaded.pop_back();
    FUZZ_CHECK(SaveHighScores().empty());
    FUZZ_CHECK(SameTable(gHighScores, loaded));
    gHighScores.clear();
    LoadHighScores();
    FUZZ_CHECK(SameTable(gHighScores, loaded));
    gHighScores.clear();
    return 0;
}
