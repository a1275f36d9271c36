// The game on bad input: damaged data folders, special and huge files, odd arguments and scripts. Each
// row runs the real program and checks its exit code and what it says; none may hang or crash.
#include <gtest/gtest.h>

#include <dirent.h>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Play.h"

namespace
{

// A data folder whose Meshes, Sounds and Tilemaps are folders of links to the game's files, so that single
// files can be replaced or removed.
struct DataCopy
{
    Scenario::TempDir dir;
    DataCopy()
    {
        for (const char* sub : {"Meshes", "Sounds", "Tilemaps"})
        {
            std::string from = std::string(SKARN_DATA_DIR) + "/" + sub;
            mkdir((dir / sub).c_str(), 0700);
            DIR* d = opendir(from.c_str());
            for (dirent* e = d ? readdir(d) : nullptr; e; e = readdir(d))
                if (e->d_name[0] != '.') Link(from + "/" + e->d_name, std::string(sub) + "/" + e->d_name);
            if (d) closedir(d);
        }
        Link(std::string(SKARN_DATA_DIR) + "/highscore.txt", "highscore.txt");
    }
    void Link(const std::string& target, const std::string& name)
    {
        EXPECT_EQ(symlink(target.c_str(), (dir / name).c_str()), 0) << name;
    }
    // The file replaced by text of our own.
    void Write(const std::string& name, const std::string& text)
    {
        unlink((dir / name).c_str());
        EXPECT_TRUE(Scenario::WriteFile(dir / name, text)) << name;
    }
    // The shipped map with one cell changed.
    void SetCell(int map, int cell, const std::string& value)
    {
        std::string name = "Tilemaps/map" + std::to_string(map) + ".txt";
        std::istringstream in(Scenario::ReadFile(std::string(SKARN_DATA_DIR) + "/" + name));
        std::string text, token;
        for (int i = 0; in >> token; ++i) text += (i == cell ? value : token) + (i % 140 == 139 ? "\n" : " ");
        Write(name, text);
    }
};

struct BadRun
{
    const char* what;
    std::function<void(DataCopy&)> damage;
    std::vector<std::string> args; // besides --headless --windowed --fixed-dt --save-dir --data-dir --frames
    double dt;
    long frames;
    int exitCode;
    std::vector<std::string> said; // parts of standard error
    std::function<void(const Scenario::Result&)> check;
};

void Expect(const BadRun& row)
{
    SCOPED_TRACE(row.what);
    DataCopy data;
    if (row.damage) row.damage(data);
    Scenario::Play p(row.dt);
    p.opt.dataDir             = data.dir.path;
    p.opt.args                = row.args;
    p.opt.timeoutSeconds      = 300;
    const Scenario::Result& r = p.Go(row.frames);
    EXPECT_EQ(row.exitCode, r.exitCode) << r.err;
    for (const std::string& part : row.said)
        EXPECT_NE(std::string::npos, r.err.find(part)) << part << "\n" << r.err;
    if (row.check) row.check(r);
}

} // namespace

TEST(BadInput, DamagedDataFoldersAndOddRuns)
{
    auto leftTheMenu = [](const Scenario::Result& r)
    { EXPECT_NE(0, Scenario::StateChange(r.err, 1, 2)) << r.err; };
    const std::vector<BadRun> rows = {
        // The bot's click on Play: pointer, press and release in frames of their own at any frame time.
        {"bot at 0.25 s frames", nullptr, {"--bot"}, 0.25, 25, 0, {}, leftTheMenu},
        {"bot at 1.5 s frames", nullptr, {"--bot"}, 1.5, 8, 0, {}, leftTheMenu},
        {"bot at 10 s frames", nullptr, {"--bot"}, 10.0, 6, 0, {}, leftTheMenu},
        // A party start in every streamed map: the party holds two front troglins from the start.
        {"start cells in maps 1 to 10",
         [](DataCopy& d)
         {
             for (int k = 1; k <= 10; ++k) d.SetCell(k, 10 * 140 + 70, "5");
         },
         {"--bot"},
         0.02,
         3000,
         0,
         {"run: "},
         [](const Scenario::Result& r)
         {
             std::vector<Scenario::RunLine> runs = Scenario::RunLines(r.err);
             ASSERT_FALSE(runs.empty());
             EXPECT_GE(runs[0].power, 2);
         }},
    };
    for (const BadRun& row : rows) Expect(row);
}
