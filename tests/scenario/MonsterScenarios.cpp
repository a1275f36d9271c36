// Monsters and axes in the running game, on small maps of their own: a tunnel one troglin high
// (so the party cannot jump over anything), with monsters and recruits laid in it. Maps 1 to 10
// are missing, so the ground ends at x 140 and the party falls there.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

#include "Scenario.h"

namespace
{
struct RunLine
{
    bool found = false;
    int meters = 0;
    int kills  = 0;
    int power  = 0;
};

// The first "run:" line of standard error.
RunLine FirstRun(const std::string& err)
{
    RunLine r;
    std::smatch m;
    if (std::regex_search(err, m, std::regex("run: meters=(-?\\d+) kills=(\\d+) power=(\\d+)")))
    {
        r.found  = true;
        r.meters = std::stoi(m[1]);
        r.kills  = std::stoi(m[2]);
        r.power  = std::stoi(m[3]);
    }
    return r;
}

// A data folder with the game's meshes, sounds and high scores and the named test maps.
struct MonsterData
{
    Scenario::TempDir dir;
    explicit MonsterData(const std::string& maps)
    {
        std::string data = SKARN_DATA_DIR;
        EXPECT_EQ(symlink((data + "/Meshes").c_str(), (dir / "Meshes").c_str()), 0);
        EXPECT_EQ(symlink((data + "/Sounds").c_str(), (dir / "Sounds").c_str()), 0);
        Scenario::WriteFile(dir / "highscore.txt", Scenario::ReadFile(data + "/highscore.txt"));
        std::string tilemaps = std::string(SKARN_TEST_DATA_DIR) + "/monsters/" + maps + "/Tilemaps";
        EXPECT_EQ(symlink(tilemaps.c_str(), (dir / "Tilemaps").c_str()), 0);
    }
};

// Frames of 0.02 s: the splash lasts 3 s (150 frames) and the menu takes clicks after half a second.
const double DT        = 0.02;
const int PLAY_CLICK   = 185;
const int TAP_INTERVAL = 10;

// Play in the middle of the menu, then a short SPACE tap every 0.2 s, which closes any tutorial page (in
// the tunnel a tap lifts nobody off the ground). The run ends as the map decides; frames bounds the
// whole program.
RunLine PlayMap(const std::string& maps, int frames, Scenario::Result* pResult)
{
    MonsterData data(maps);
    std::string script = std::to_string(PLAY_CLICK) + " move 400 300\n" + std::to_string(PLAY_CLICK) +
                         " press 1\n" + std::to_string(PLAY_CLICK + 2) + " release 1\n";
    for (int f = PLAY_CLICK + 10; f + 1 < frames; f += TAP_INTERVAL)
        script += std::to_string(f) + " down 0x20\n" + std::to_string(f + 1) + " up 0x20\n";
    Scenario::Options opt;
    opt.dataDir        = data.dir.path;
    opt.fixedDt        = DT;
    opt.script         = script;
    opt.args           = {"--frames", std::to_string(frames)};
    opt.timeoutSeconds = 600; // a drawn level frame costs a few milliseconds on a busy machine
    *pResult           = Scenario::Run(opt);
    EXPECT_EQ(pResult->exitCode, 0) << pResult->out << pResult->err;
    RunLine run = FirstRun(pResult->err);
    EXPECT_TRUE(run.found) << pResult->err;
    return run;
}
} // namespace

// Alone (power 1) the leader beats a monster of power 1; with a recruit (power 2) it beats another of
// power 1; the princess (69) then beats both troglins, and the run ends where she stands.
TEST(MonsterScenario, EqualAndWeakerMonstersAreBeatenStrongerOneKills)
{
    Scenario::Result r;
    RunLine run = PlayMap("contact", 800, &r);
    EXPECT_EQ(run.kills, 2);
    EXPECT_EQ(run.power, 2);
    // The princess stands at x 50.5, the leader started at 2.5.
    EXPECT_GE(run.meters, 45);
    EXPECT_LE(run.meters, 48);
}

// Four recruits join (power 5). The princess, laid a hundred units ahead while the party was one troglin,
// is worn down to 6 at once; the followers' axes take her below 6 before she is met, and the party beats
// her. Then the ground ends and everyone falls.
TEST(MonsterScenario, StrongMonsterAheadIsWornDownAndWeakenedByAxes)
{
    Scenario::Result r;
    RunLine run = PlayMap("axes", 1600, &r);
    EXPECT_EQ(run.power, 5);
    EXPECT_EQ(run.kills, 1);
    EXPECT_GE(run.meters, 130) << "the party ran on past the princess to the end of the ground";
}
