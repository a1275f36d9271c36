// The high-score reader. The table it loads is sorted from the best score down, and saving it (which
// drops the last entry) and loading again gives the same table without that entry.
#include "FuzzFile.h"
#include "framework/HighScore.h"

#include <cstring>

static std::string Text(const std::vector<HighScoreEntry>& table)
{
    std::string s;
    for (const HighScoreEntry& e : table) s += e.name + " " + std::to_string(e.score) + "\n";
    return s;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = FuzzWriteFile("highscore.txt", data, size);
    gSaveFolder      = path.substr(0, path.size() - strlen("highscore.txt"));
    gHighScores.clear();
    LoadHighScores();
    for (size_t i = 0; i < gHighScores.size(); ++i)
        FUZZ_CHECK(!gHighScores[i].name.empty() &&
                   (i == 0 || gHighScores[i - 1].score >= gHighScores[i].score));

    std::vector<HighScoreEntry> loaded = gHighScores;
    if (!loaded.empty()) loaded.pop_back();
    FUZZ_CHECK(SaveHighScores().empty() && Text(gHighScores) == Text(loaded));
    gHighScores.clear();
    LoadHighScores();
    FUZZ_CHECK(Text(gHighScores) == Text(loaded));
    gHighScores.clear();
    return 0;
}
