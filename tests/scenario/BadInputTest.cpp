// The game on bad input: damaged data folders, special and huge files, odd arguments and scripts. Each
// row runs the real program and checks its exit code and what it says; none may hang or crash.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "Play.h"

namespace
{

// The game's data with single files replaced by FIFOs, huge files or text of our own.
using DataCopy = Scenario::GameData;

void Fifo(DataCopy& d, const std::string& name)
{
    unlink((d / name).c_str());
    EXPECT_EQ(mkfifo((d / name).c_str(), 0600), 0) << name;
}

// Runs the game on the damaged data and checks its exit code, the parts of standard error it said and more.
void Expect(const std::string& what, std::function<void(DataCopy&)> damage, std::vector<std::string> args,
            double dt, long frames, int exitCode, std::vector<std::string> said,
            std::function<void(const Scenario::Result&)> check = nullptr)
{
    SCOPED_TRACE(what);
    DataCopy data;
    if (damage) damage(data);
    Scenario::Play p(dt);
    p.opt.dataDir             = data.dir.path;
    p.opt.args                = args;
    p.opt.timeoutSeconds      = 300;
    const Scenario::Result& r = p.Go(frames);
    EXPECT_EQ(exitCode, r.exitCode) << r.err;
    for (const std::string& part : said)
        EXPECT_NE(std::string::npos, r.err.find(part)) << part << "\n" << r.err;
    if (check) check(r);
}

} // namespace

TEST(BadInput, DamagedDataFoldersAndOddRuns)
{
    Scenario::TempDir scripts;
    // Checks that stop the program keep their report on standard output, after one line on standard error.
    auto report = [](const std::string& text, const std::string& file)
    {
        return [text, file](const Scenario::Result& r)
        {
            EXPECT_NE(std::string::npos, r.out.find(text)) << r.out;
            EXPECT_EQ(1, Scenario::Count(r.err, file)) << r.err;
        };
    };
    const std::string legs = "Meshes/herolegmesh.txt";
    const std::string hero = "KO_ASSERT_MESG: pObj->pMesh\nLine: 37\nFunc: LoadHero\nFile: src\\Hero\n";
    auto leftTheMenu       = [](const Scenario::Result& r)
    { EXPECT_NE(0, Scenario::StateChange(r.err, 1, 2)) << r.err; };
    auto startCells = [](DataCopy& d) // the shipped maps 1 to 10 with a party start in cell (2, 10)
    {
        for (int k = 1; k <= 10; ++k)
        {
            const std::string name = "Tilemaps/map" + std::to_string(k) + ".txt";
            std::istringstream in(Scenario::ReadFile(std::string(SKARN_DATA_DIR) + "/" + name));
            std::string text, cell;
            for (int i = 0; in >> cell; ++i)
                text += (i == 10 * 140 + 2 ? "5" : cell) + (i % 140 == 139 ? "\n" : " ");
            d.Write(name, text);
        }
    };
    auto pastTheStart = [](const Scenario::Result& r)
    {
        std::vector<Scenario::RunLine> runs = Scenario::RunLines(r.err);
        ASSERT_FALSE(runs.empty());
        EXPECT_GE(runs[0].meters, 145) << r.err; // past the start cell of map 1, at x 142.5
    };
    auto fullMaps = [](DataCopy& d)
    {
        std::string full;
        for (int i = 0; i < 140 * 20; ++i) full += i == 0 ? "5 " : "26 ";
        for (int k = 0; k <= 10; ++k) d.Write("Tilemaps/map" + std::to_string(k) + ".txt", full);
    };
    auto fifos = [](DataCopy& d)
    {
        for (const char* name : {"Tilemaps/map3.txt", "Sounds/Slash.wav", "highscore.txt"}) Fifo(d, name);
    };
    // Each missing sound is named once, however often it is loaded, and playing it says nothing; the sound
    // system starts and ends all the same.
    auto silent = [](const Scenario::Result& r)
    {
        EXPECT_EQ(r.out.rfind("FMOD Load Complete\nFMOD Init Complete\nFMOD error! (7) ", 0), 0u) << r.out;
        EXPECT_EQ(r.out.substr(r.out.size() - 21), "FMOD Unload Complete\n");
        EXPECT_NE(0, Scenario::StateChange(r.err, 1, 2)) << r.err;         // the level was loaded too
        EXPECT_EQ(1, Scenario::Count(r.err, "Sounds/Slash.wav")) << r.err; // menu and level load it
        EXPECT_EQ(std::string::npos, r.out.find("(6)")) << r.out;          // no stale handles
    };
    std::string fullQueue;
    for (int i = 0; i < 1100; ++i) fullQueue += "5 down 32\n5 up 32\n";
    Scenario::WriteFile(scripts / "queue", fullQueue);
    Scenario::WriteFile(scripts / "line", "1 down 32\n2 jump \x01\x7f\\" + std::string(100, 'z') + "\n");
    auto remove = [](const char* name)
    { return [name](DataCopy& d) { std::filesystem::remove_all(d / name); }; };
    // The bot's click on Play: pointer, press and release in steps of their own at any frame time. A
    // frame runs at most 250 steps (0.25 s of game), so the longer frames slow the game down.
    Expect("bot at 0.25 s frames", nullptr, {"--bot"}, 0.25, 25, 0, {}, leftTheMenu);
    Expect("bot at 10 s frames", nullptr, {"--bot"}, 10.0, 25, 0, {}, leftTheMenu);
    Expect("bot at 1.5 s frames, lockstep", nullptr, {"--bot", "--lockstep"}, 1.5, 8, 0, {}, leftTheMenu);
    // A party start in every streamed map: the run goes on past the first of them (what a second front
    // troglin does is the party tests' part).
    Expect("start cells in maps 1 to 10", startCells, {"--bot"}, 0.02, 1600, 0, {"run: "}, pastTheStart);
    Expect(
        "a FIFO as a mesh", [&](DataCopy& d) { Fifo(d, legs); }, {"--bot"}, 0.02, 300, 1,
        {legs + ": is not a regular file"}, report(hero, legs));
    Expect(
        "a mesh of 2 GiB", // sparse: nothing is written, but a reader that takes it whole needs the memory
        [&](DataCopy& d)
        {
            d.Write(legs, "");
            EXPECT_EQ(truncate((d / legs).c_str(), off_t(2) << 30), 0);
        },
        {"--bot"}, 0.02, 300, 1, {legs + ": is larger than 16 MiB"}, report(hero, legs));
    Expect(
        "an empty mesh", [&](DataCopy& d) { d.Write(legs, "\n"); }, {"--bot"}, 0.02, 300, 1,
        {legs + ": holds no triangle; the game cannot go on"}, report(hero, legs));
    Expect("no Meshes folder", remove("Meshes"), {}, 0.02, 300, 1,
           {"Meshes/newplaymesh.txt: is missing: there is no folder Meshes; the game cannot go on"},
           report("Func: GameStateMenuLoad\n", "Meshes/"));
    Expect("no overlay mesh", remove("Meshes/resumemesh.txt"), {"--bot"}, 0.02, 300, 1,
           {"Meshes/resumemesh.txt: is missing; the game cannot go on without this mesh"},
           report("\nFunc: UI::LoadUI\nFile: src\\UI\nMesg: fail to create object!!\n", "resumemesh"));
    Expect("a map without a party start", [](DataCopy& d) { d.Write("Tilemaps/map0.txt", "26 26 26 text"); },
           {"--bot"}, 0.02, 300, 0,
           {"Tilemaps/map0.txt holds no party start (5): nobody can run", "run: meters=0 "});
    Expect("maps that overflow the pool", fullMaps, {"--bot"}, 0.02, 300, 1,
           {"fills the pool of 4096 instances; the game cannot go on"},
           report("KO_ASSERT: pInst\nLine: 274\n", "Tilemaps/map"));
    Expect("FIFOs as a map, a sound and the default high scores", fifos, {"--bot"}, 0.02, 400, 0,
           {"Tilemaps/map3.txt: is not a regular file", "Sounds/Slash.wav: is not a regular file",
            "highscore.txt: is not a regular file"});
    Expect("no Sounds folder", remove("Sounds"), {"--bot"}, 0.02, 500, 0,
           {"Sounds/JumpLand.wav: is missing: there is no folder Sounds; it stays silent"}, silent);
    Expect("--script naming a folder", nullptr, {"--script", "/tmp"}, 0.02, 10, 2,
           {"/tmp: the script is not a regular file"});
    Expect("a malformed script line", nullptr, {"--script", scripts / "line"}, 0.02, 10, 2,
           {":2: unknown event (down, up, move, press, release): \"2 jump \\x01\\x7F\\x5Czzzz", "zzz...\"\n"},
           [](const Scenario::Result& r) { EXPECT_EQ(std::string::npos, r.err.find(std::string(90, 'z'))); });
    Expect("thousands of scripted events in one frame", nullptr, {"--script", scripts / "queue"}, 0.02, 10, 0,
           {},
           [](const Scenario::Result& r)
           { EXPECT_EQ(0, Scenario::Count(r.err, "event queue is full")) << r.err; });
}
