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

#include "ChildProcess.h"
#include "Play.h"
#include "framework/TextFile.h"

namespace
{

// The game's data with single files replaced by FIFOs, huge files or text of our own.
using DataCopy = Scenario::GameData;

void Fifo(DataCopy& d, const std::string& name)
{
    unlink((d / name).c_str());
    EXPECT_EQ(mkfifo((d / name).c_str(), 0600), 0) << name;
}

// 2 GiB, sparse: nothing is written, but a reader that takes it whole needs the memory.
void Huge(DataCopy& d, const std::string& name)
{
    d.Write(name, "");
    EXPECT_EQ(truncate((d / name).c_str(), off_t(2) << 30), 0) << name;
}

// Runs the game on the damaged data and checks its exit code, the parts of standard error it said and more.
void Expect(const std::string& what, std::function<void(DataCopy&)> damage, std::vector<std::string> args,
            double dt, long frames, int exitCode, std::vector<std::string> said,
            std::function<void(const Scenario::Result&)> check = nullptr, long fileSizeLimit = 0)
{
    SCOPED_TRACE(what);
    DataCopy data;
    if (damage) damage(data);
    Scenario::Play p(dt);
    p.opt.dataDir             = data.dir.path;
    p.opt.args                = args;
    p.opt.timeoutSeconds      = 300;
    p.opt.fileSizeLimit       = fileSizeLimit;
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
            EXPECT_NE(std::string::npos, WithoutLineNumbers(r.out).find(text)) << r.out;
            EXPECT_EQ(1, Scenario::Count(r.err, file)) << r.err;
        };
    };
    const std::string legs = "Meshes/herolegmesh.txt";
    const std::string hero =
        "KO_ASSERT_MESG: pObj->pMesh\nLine: N\nFunc: LoadHero\nFile: src/level/Hero.cpp\n";
    auto leftTheMenu = [](const Scenario::Result& r)
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
        const std::string start = "sound: audio system created\nsound: SDL_mixer open with 100 channels\n"
                                  "sound: the sound file could not be opened (audio result 7)\n";
        EXPECT_EQ(r.out.rfind(start, 0), 0u) << r.out;
        EXPECT_EQ(r.out.substr(r.out.size() - 24), "sound: SDL_mixer closed\n");
        EXPECT_NE(0, Scenario::StateChange(r.err, 1, 2)) << r.err;             // the level was loaded too
        EXPECT_EQ(1, Scenario::Count(r.err, "Sounds/Slash.wav")) << r.err;     // menu and level load it
        EXPECT_EQ(std::string::npos, r.out.find("(audio result 6)")) << r.out; // no stale handles
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
        "a mesh of 2 GiB", [&](DataCopy& d) { Huge(d, legs); }, {"--bot"}, 0.02, 300, 1,
        {legs + ": is larger than 16 MiB"}, report(hero, legs));
    Expect(
        "an empty mesh", [&](DataCopy& d) { d.Write(legs, "\n"); }, {"--bot"}, 0.02, 300, 1,
        {legs + ": holds no triangle; the game cannot go on"}, report(hero, legs));
    Expect("no Meshes folder", remove("Meshes"), {}, 0.02, 300, 1,
           {"Meshes/newplaymesh.txt: is missing: there is no folder Meshes; the game cannot go on"},
           report("Func: GameStateMenuLoad\n", "Meshes/"));
    Expect(
        "no overlay mesh", remove("Meshes/resumemesh.txt"), {"--bot"}, 0.02, 300, 1,
        {"Meshes/resumemesh.txt: is missing; the game cannot go on without this mesh"},
        report("\nFunc: UI::LoadUI\nFile: src/level/UI.cpp\nMesg: fail to create object!!\n", "resumemesh"));
    Expect("a map without a party start", [](DataCopy& d) { d.Write("Tilemaps/map0.txt", "26 26 26 text"); },
           {"--bot"}, 0.02, 300, 0,
           {"Tilemaps/map0.txt holds no party start (5): nobody can run", "run: meters=0 "});
    Expect("maps that overflow the pool", fullMaps, {"--bot"}, 0.02, 300, 1,
           {"fills the pool of 4096 instances; the game cannot go on"},
           report("KO_ASSERT: pInst\nLine: N\nFunc: CommonLevel::CreateInst\nFile: src/framework/",
                  "Tilemaps/map"));
    Expect("FIFOs as a map, a sound and the default high scores", fifos, {"--bot"}, 0.02, 400, 0,
           {"Tilemaps/map3.txt: is not a regular file", "Sounds/Slash.wav: is not a regular file",
            "highscore.txt: is not a regular file"});
    Expect("no Sounds folder", remove("Sounds"), {"--bot"}, 0.02, 500, 0,
           {"Sounds/JumpLand.wav: is missing: there is no folder Sounds; it stays silent"}, silent);
    Expect("a malformed script line", nullptr, {"--script", scripts / "line"}, 0.02, 10, 2,
           {":2: unknown event (down, up, move, press, release): \"2 jump \\x01\\x7F\\x5Czzzz", "zzz...\"\n"},
           [](const Scenario::Result& r) { EXPECT_EQ(std::string::npos, r.err.find(std::string(90, 'z'))); });
    // Replays of our own after the header of this data folder; recordings that cannot be made or written.
    const std::string rec = scripts / "rec", fifo = scripts / "fifo", shot = scripts / "shot.png";
    ASSERT_EQ(Scenario::Run({"--record", rec, "--frames", "2"}).exitCode, 0);
    const std::string header = Scenario::ReadFile(rec).substr(0, Scenario::ReadFile(rec).find("\n#") + 1);
    auto replay              = [&](const std::string& text)
    { return Scenario::WriteFile(scripts / "replay", text), scripts / "replay"; };
    std::string input = "160 down 114\n161 up 114\n170 down 112\n171 up 112\n"; // F3, F1; the cursor moves
    for (int i = 1; i <= 30; ++i) input += std::to_string(i) + " move " + std::to_string(i) + " 9\n";
    Scenario::WriteFile(scripts / "input", input);
    mkfifo(fifo.c_str(), 0600);
    for (const std::string option : {"--script", "--replay", "--record"})
        for (const std::string& path : {fifo, std::string("/tmp")})
            Expect(option + " " + path, nullptr, {option, path}, 0.02, 10, 2,
                   {path + ": the ", path == fifo ? "is not a regular file" : "is a folder, not a file"});
    EXPECT_EQ(truncate(replay(header).c_str(), off_t(2) << 30), 0);
    Expect("a replay of 2 GiB", nullptr, {"--replay", scripts / "replay"}, 0.02, 10, 2,
           {"larger than 16 MiB"});
    Expect("--record onto the replay", nullptr,
           {"--replay", replay(header + "end 1\n"), "--record", scripts / "./replay"}, 0.02, 10, 2,
           {"is the replay being played; it is not recorded over"},
           [&](const Scenario::Result&)
           { EXPECT_EQ(Scenario::ReadFile(scripts / "replay"), header + "end 1\n"); });
    Expect("a replay cut short in the middle of a line", nullptr,
           {"--replay", replay(header + "1 move 9 9 800 600\n30 down 32\n40 up 32\n50 down 3")}, 0.02, 1000,
           0, {"was cut short (it has no end line); the replay ends at its last input, step 40\n"},
           [](const Scenario::Result& r) { EXPECT_EQ(Scenario::StateChange(r.err, 0, 6), 3) << r.err; });
    const std::string bad = "1 down 32\x1b[31m" + std::string(2000, 'x');
    for (const auto& [text, said] : std::vector<std::pair<std::string, std::string>>{
             {"skarnhold-replay 9\n", ": not a replay of this version"},
             {"skarnhold-replay 1\ndata 0123456789abcdef\n", ": recorded with other data files"},
             {header + "end 0\n", ":3: not a replay line: \"end 0\"\n"},
             {header + "9223372036854775808 down 32\n",
              ":3: not a replay line: \"9223372036854775808 down 32\"\n"},
             {header + bad + "\n", ":3: not a replay line: \"" + TextShownLine(bad) + "\"\n"}})
        Expect(said, nullptr, {"--replay", replay(text)}, 0.02, 10, 2, {said});
    Expect(
        "a file of 2 GiB in the data folder", [](DataCopy& d) { Huge(d, "Meshes/stray.txt"); },
        {"--record", rec}, 0.02, 2, 0, {},
        [&](const Scenario::Result&) { EXPECT_EQ(Scenario::ReadFile(rec).rfind(header, 0), 0u); });
    Expect(
        "a recording and a screenshot on a full disk", nullptr,
        {"--record", rec, "--script", scripts / "input", "--screenshot", "3:" + shot}, 0.02, 40, 1,
        {rec + ": the recording could not be written: File too large; the game ends\n",
         "screenshot: could not save \"" + shot + "\": File too large\n"},
        [&](const Scenario::Result&) // what fitted is kept, the partial picture removed
        { EXPECT_TRUE(Scenario::ReadFile(rec).size() == 512 && !Scenario::FileExists(shot)); },
        512);
    Expect("damaged maps, palette and grid",
           [](DataCopy& d)
           {
               d.Write("Tilemaps/map5.txt", "1 2 x");
               d.Write("Meshes/colours.txt", "0xff000000 zz");
               d.Write("Meshes/readmesh80x80.txt", "width: x");
           },
           {"--script", scripts / "input"}, 0.02, 200, 0,
           {"Tilemaps/map5.txt: holds 2 of the 2800 cells", "Meshes/colours.txt: holds 1 of the 30 colours",
            "Meshes/readmesh80x80.txt: has no header"});
    Expect("thousands of scripted events in one frame", nullptr, {"--script", scripts / "queue"}, 0.02, 10, 0,
           {},
           [](const Scenario::Result& r)
           { EXPECT_EQ(0, Scenario::Count(r.err, "event queue is full")) << r.err; });
}
