// Monsters and axes in the running game, on small maps of their own: a tunnel one troglin high (so the
// party cannot jump over anything), with monsters and recruits laid in it. Maps 1 to 10 are missing, so the
// ground ends at x 140 and the party falls there.
#include <gtest/gtest.h>

#include <string>

#include "Play.h"

namespace
{

// Frames of 0.02 s: Play in the middle of the menu once it takes clicks, then a short SPACE tap every 0.2 s,
// which closes any tutorial page (in the tunnel a tap lifts nobody off the ground). The run ends as the map
// decides; frames bounds the whole program.
Scenario::RunLine PlayMap(const std::string& map, int frames)
{
    Scenario::GameData data(std::string(SKARN_TEST_DATA_DIR) + "/monsters/" + map + "/Tilemaps/map0.txt");
    Scenario::Play p(0.02);
    p.opt.dataDir        = data.dir.path;
    p.opt.timeoutSeconds = 600; // a drawn level frame costs a few milliseconds on a busy machine
    p.Click(185, 400, 300);
    for (int f = 195; f + 1 < frames; f += 10) p.Key(f, 0x20);
    EXPECT_EQ(p.Go(frames).exitCode, 0) << p.res.out << p.res.err;
    std::vector<Scenario::RunLine> runs = Scenario::RunLines(p.res.err);
    EXPECT_FALSE(runs.empty()) << p.res.err;
    return runs.empty() ? Scenario::RunLine() : runs[0];
}

} // namespace

// Alone (power 1) the leader beats a monster of power 1; with a recruit (power 2) it beats another of
// power 1; the princess (69) then beats both troglins, and the run ends where she stands.
TEST(MonsterScenario, EqualAndWeakerMonstersAreBeatenStrongerOneKills)
{
    Scenario::RunLine run = PlayMap("contact", 800);
    EXPECT_EQ(run.kills, 2);
    EXPECT_EQ(run.power, 2);
    EXPECT_GE(run.meters, 45); // the princess stands at x 50.5, the leader started at 2.5
    EXPECT_LE(run.meters, 48);
}

// Four recruits join (power 5). The princess, laid a hundred units ahead while the party was one troglin,
// is worn down to 6 at once; the followers' axes take her below 6 before she is met, and the party beats
// her. Then the ground ends and everyone falls.
TEST(MonsterScenario, StrongMonsterAheadIsWornDownAndWeakenedByAxes)
{
    Scenario::RunLine run = PlayMap("axes", 1600);
    EXPECT_EQ(run.power, 5);
    EXPECT_EQ(run.kills, 1);
    EXPECT_GE(run.meters, 130) << "the party ran on past the princess to the end of the ground";
}
