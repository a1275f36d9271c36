// The high-score reader. The table it loads is sorted from the best score down, and saving it and loading
// again gives the same table.
#include "FuzzFile.h"
#include "framework/HighScore.h"

#include <cstring>
#include <unistd.h>

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
    FUZZ_CHECK(SaveHighScores().empty() && Text(gHighScores) == Text(loaded));
    gHighScores.clear();
    LoadHighScores();
    FUZZ_CHECK(Text(gHighScores) == Text(loaded));
    gHighScores.clear();
    unlink((path + ".damaged").c_str()); // the next damaged input's copy takes the same name
    return 0;
}
