// The terrain's maps and chunks, and the party's rules: contact probes, jumping, recruiting and removal.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "Scenario.h"
#include "engine/KoFrameRateController.h"
#include "engine/KoInput.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "level/GameState_Level.h"
#include "level/Hero.h"
#include "level/LevelRun.h"
#include "level/Terrain.h"
#include "level/UI.h"

namespace
{

// A fresh run state with empty maps and pool.
void ResetRun()
{
    CommonLevel::ResetAll();
    Terrain::ClearMaps();
    LevelResetRun();
    gTutorialEnabled = false;
    gCamPosX         = 0.0f;
}

// Map slot k filled with flat ground whose top is at y = 4 (rows 16 to 19).
int* FlatMap(int k)
{
    int* cells = Terrain::GetMap(k);
    for (int i = 16 * MAP_WIDTH; i < MAP_CELLS; ++i) cells[i] = TILE_TERRAIN;
    return cells;
}

int Cell(int row, int column)
{
    return row * MAP_WIDTH + column;
}

int ActiveOfType(int type)
{
    int n = 0;
    for (const GameObjInst& inst : sGameObjInstList)
        if ((inst.flag & FLAG_ACTIVE) && inst.pObject == &sGameObjList[type]) ++n;
    return n;
}

// A leader on flat ground in chunk 0 with a recruit that has joined (power 2).
void LeaderAndRecruit()
{
    ResetRun();
    int* map          = FlatMap(0);
    map[Cell(15, 4)]  = TILE_PARTY_START;
    map[Cell(15, 20)] = TILE_RECRUIT;
    Terrain::CreateChunk(0);
    ASSERT_EQ(2u, gHeroes.size());
    gHeroes[1].body->flag |= FLAG_IN_PARTY;
    gHeroes[1].order = 2;
    gPartyPower      = 2;
}

// The steady clock's jump on flat ground (top at y 4) that ends at x 40, driven as the main loop drives it:
// frames of frameTime with UP down in `hold` frames from frame `pressAt` (-1: none), the input gathered once
// a frame, and in each 1 ms step the input step and the motion of a leader and a follower one tile behind.
struct JumpRun
{
    int landed = -1, left = -1, rise = -1; // steps: the leader's first landing, feet off the ground, rise
    int takeOff[2] = {-1, -1}, down = -1;  // steps: each one's first rise; the leader's landing after it
    float rose[2] = {0.0f, 0.0f};          // seconds each one rose
    float apex    = 0.0f;                  // the leader's highest point above its start, tiles
};
JumpRun RunJump(const int* map, float x, float y, double frameTime, int pressAt, int hold)
{
    KoFrameRateControllerSetSteady(true);
    KoFrameRateControllerInit();
    KoFrameRateControllerSetFixed(frameTime);
    KoFrameRateControllerReset();
    KoInputKeepTaps(true);
    KoInputReset();
    const uint32_t flag = FLAG_ACTIVE | FLAG_RUNNING | (y < 5.0f ? FLAG_LANDED : 0u);
    HeroMotion ms[2]    = {{{x, y}, {6.4f, 0}, flag, 0, 0, 0.032f, 1, 0, 0},
                           {{x - 1.0f, y}, {6.4f, 0}, flag, 0, 0, 0.032f, 2, 0, 0}};
    HeroJumpInput in    = HeroJumpInputStart(true);
    JumpRun r;
    for (int frame = 0, f = 0; f < 2000; ++frame)
    {
        KoInputOnKey(VK_UP, frame >= pressAt && frame < pressAt + hold);
        KoFrameRateControllerStart();
        KoInputGather();
        for (int step = 0; step < KoFrameRateControllerSteps(); ++step, ++f)
        {
            KoInputStep();
            HeroJumpInputStep(&in, HeroReadKeys(), 0.001f);
            for (int i = 0; i < 2; ++i)
            {
                HeroMotion& m     = ms[i];
                uint32_t contacts = HeroContacts(map, m.pos.x, m.pos.y);
                if (i == 0 && r.left < 0 && m.pos.x > 30.0f && !(contacts & HERO_CONTACT_GROUND_NEAR))
                    r.left = f;
                uint32_t events = StepHeroMotion(&m, contacts, in, 0.001f, 0.032f, ms[0].pos.x, 0.0f);
                if (i == 0 && (events & HERO_EVENT_LANDED) && r.landed < 0) r.landed = f;
                if (i == 0 && (events & HERO_EVENT_LANDED) && r.rise >= 0 && r.down < 0) r.down = f;
                if (!(events & HERO_EVENT_JUMPED)) continue;
                if (r.takeOff[i] < 0) r.takeOff[i] = f;
                if (i == 0 && r.rise < 0) r.rise = f;
                r.rose[i] += 0.001f;
            }
            for (HeroMotion& m : ms) m.pos = {m.pos.x + m.vel.x * 0.001f, m.pos.y + m.vel.y * 0.001f};
            r.apex = std::max(r.apex, ms[0].pos.y - y);
        }
        KoFrameRateControllerEnd();
    }
    KoFrameRateControllerSetFixed(0.0);
    KoFrameRateControllerSetSteady(false);
    KoInputKeepTaps(false);
    return r;
}
} // namespace

TEST(TerrainMaps, ReadMapFillsOnlyTheCellsItCanRead)
{
    Scenario::TempDir dir;
    int cells[MAP_CELLS];
    for (int& c : cells) c = -7;
    auto read = [&](const std::string& text) {
        return Scenario::WriteFile(dir / "map.txt", text) &&
               Terrain::ReadMap((dir / "map.txt").c_str(), cells);
    };

    EXPECT_TRUE(read("26 0 5\n6"));
    EXPECT_TRUE(cells[0] == 26 && cells[3] == 6 && cells[4] == -7); // the rest keeps what it held
    EXPECT_TRUE(read("1 2 x 4"));
    EXPECT_TRUE(cells[1] == 2 && cells[3] == 6); // reading stopped at the bad token
    std::string text;
    for (int i = 0; i < MAP_CELLS + 5; ++i) text += std::to_string(i % 30 - 3) + " ";
    EXPECT_TRUE(read(text)); // a longer file fills the map and no more
    EXPECT_EQ((MAP_CELLS - 1) % 30 - 3, cells[MAP_CELLS - 1]);
    EXPECT_FALSE(Terrain::ReadMap("/nonexistent/map.txt", cells));
    EXPECT_EQ(-3, cells[0]);
}

TEST(TerrainMaps, ProbeCellsStayInsideTheChunk)
{
    EXPECT_EQ(MAP_CELLS - 1, HeroProbeCell(280.0f, 280.0f + 139.99f, 0.5f)); // the bottom-right cell
    // Exactly on the chunk's right edge: nothing, not one past the last cell.
    EXPECT_EQ(-1, HeroProbeCell(280.0f, 420.0f, 0.5f));
    EXPECT_EQ(-1, HeroProbeCell(0.0f, 140.0f, 10.5f));
    // Just left of the chunk start still reads column 0 (truncation toward zero).
    EXPECT_EQ(Cell(15, 0), HeroProbeCell(140.0f, 139.8f, 4.2f));
    EXPECT_EQ(-1, HeroProbeCell(0.0f, 5.0f, 20.2f)); // above the map
    EXPECT_EQ(Cell(0, 5), HeroProbeCell(0.0f, 5.0f, 19.9f));
}

TEST(TerrainChunks, LayingAChunkMakesTilesTroglinsAndMovesOn)
{
    ResetRun();
    int* map          = FlatMap(3);
    map[Cell(15, 10)] = TILE_RECRUIT;
    map[Cell(15, 4)]  = TILE_PARTY_START;
    map[Cell(15, 20)] = TILE_DIAMOND;
    map[Cell(15, 30)] = 99; // unknown values stay in the map and lay nothing
    map[Cell(15, 31)] = -4;
    gChunkStartX      = 140.0f;

    Terrain::CreateChunk(3);
    EXPECT_TRUE(gChunkStartX == 280.0f && ActiveOfType(TYPE_TERRAIN) == 4 * MAP_WIDTH &&
                ActiveOfType(TYPE_DIAMOND) == 1 && map[Cell(15, 30)] == 99);
    EXPECT_TRUE(Terrain::MapAt(200.0f) == Terrain::GetMap(3) && !Terrain::MapAt(280.0f));
    ASSERT_EQ(2u, gHeroes.size());
    // The recruit cell comes first in cell order, but the leader's record is put at the front.
    EXPECT_TRUE(gLeader == &gHeroes[0] && gHeroes[0].order == 1 && gHeroes[1].order == 0 &&
                gHeroes[0].body->posCurr.x == 144.5f);

    // A full party lays no recruits.
    Terrain::GetMap(2)[Cell(15, 10)] = TILE_RECRUIT;
    gPartyPower                      = PARTY_POWER_MAX;
    Terrain::CreateChunk(2);
    EXPECT_EQ(2u, gHeroes.size());
}

TEST(TerrainChunks, RecordsOfTroglinsThatAreGoneMakeRoomForNewOnes)
{
    ResetRun();
    int* first         = Terrain::GetMap(4);
    first[Cell(15, 4)] = TILE_PARTY_START;
    for (int column : {10, 20}) first[Cell(15, column)] = TILE_RECRUIT;
    int* next = Terrain::GetMap(5);
    for (int column = 30; column < 35; ++column) next[Cell(15, column)] = TILE_RECRUIT;

    Terrain::CreateChunk(4);
    ASSERT_EQ(3u, gHeroes.size());
    GameObjInst* leaderBody = gHeroes[0].body;
    GameObjInst* waiting    = gHeroes[2].body;
    KillHero(&gHeroes[1]);
    const size_t room = gHeroes.capacity();
    for (int chunk = 0; chunk < 40; ++chunk)
    {
        Terrain::CreateChunk(5);
        ASSERT_EQ(7u, gHeroes.size()) << chunk;
        EXPECT_EQ(&gHeroes[0], gLeader);
        EXPECT_EQ(leaderBody, gHeroes[0].body);
        EXPECT_EQ(waiting, gHeroes[1].body) << "the living keep their order";
        EXPECT_FLOAT_EQ(gChunkStartX - 140.0f + 34.5f, gHeroes[6].body->posCurr.x);
        for (size_t i = 2; i < gHeroes.size(); ++i) KillHero(&gHeroes[i]);
    }
    EXPECT_EQ(room, gHeroes.capacity()) << "the list never grew";
}

// In lockstep the literal rules: every member reads the keys frame by frame.
TEST(PartyMotion, JumpHoldsElevenForAtMostTheHoldTime)
{
    HeroMotion m     = {{10.5f, 4.5f}, {0, 0}, FLAG_ACTIVE | FLAG_LANDED | FLAG_RUNNING, 0, 0, 0, 1, 0, 0};
    HeroJumpInput in = HeroJumpInputStart(false);
    auto step        = [&](HeroMotion* p, uint32_t contacts, HeroKeys keys, float dt, float leaderX = 10.5f)
    {
        in.keys = keys;
        return StepHeroMotion(p, contacts, in, dt, 0.032f, leaderX, 0.0f);
    };
    const float dt   = 1.0f / 64.0f;
    int risingFrames = 0;
    for (int f = 0; f < 100; ++f)
    {
        if (step(&m, 0, {true, f == 0, false}, dt) & HERO_EVENT_JUMPED) ++risingFrames;
        m.pos.y += m.vel.y * dt;
    }
    EXPECT_EQ(29, risingFrames); // while less than 0.45 s has been held: 29 frames of 1/64 s
    EXPECT_LT(m.vel.y, 11.0f);

    // Released and pressed again in the air: the jump is cut until the next landing.
    HeroMotion n   = {{10.5f, 4.5f}, {0, 0}, FLAG_ACTIVE | FLAG_LANDED, 0, 0, 0, 1, 0, 0};
    HeroKeys press = {true, true, false}, release = {false, false, true};
    step(&n, 0, press, dt);
    step(&n, 0, release, dt);
    EXPECT_TRUE(n.flag & FLAG_JUMP_CUT);
    EXPECT_FALSE(step(&n, 0, press, dt) & HERO_EVENT_JUMPED);
    // Landing clears the cut and snaps onto the tile.
    n.pos.y         = 4.3f;
    uint32_t events = step(&n, FLAG_HIT_BOTTOM, {false, false, false}, dt);
    EXPECT_TRUE((events & HERO_EVENT_LANDED) && !(n.flag & FLAG_JUMP_CUT) && n.pos.y == 4.5f);

    // A follower too close behind the one ahead is slowed; one too far is pushed on.
    for (float x : {9.8f, 7.0f})
    {
        HeroMotion f = {{x, 4.5f}, {6.4f, 0}, FLAG_ACTIVE | FLAG_LANDED, 0, 0, 0, 2, 0, 0};
        in.keys      = {false, false, false};
        StepHeroMotion(&f, 0, in, 0.001f, 0.0f, 10.0f, 0.0f);
        EXPECT_EQ(f.vel.x<6.4f * 0.995f, x> 9.0f) << x;
    }
}

// A standing troglin takes off in the step of the press whatever the phase of its contacts; a press up to
// 100 ms before a landing (from y 6) is taken on it and up to 60 ms after running off the edge (from x 38.5)
// still jumps; the follower repeats the leader's jump, however short, with it. What a player feels, the apex
// (tiles) and the time in the air of a 100 ms tap and of a full hold, is the same at 60 and 30 frames a
// second.
TEST(PartyMotion, OnTheSteadyClockPressesAreKeptFollowersRepeatEveryJumpAndJumpsFeelAlike)
{
    ResetRun();
    int* map = FlatMap(0);
    for (int row = 16; row < MAP_HEIGHT; ++row)
        for (int column = 40; column < MAP_WIDTH; ++column) map[Cell(row, column)] = 0;
    const int landed = RunJump(map, 10.5f, 6.0f, 0.001, -1, 0).landed;
    const int left   = RunJump(map, 38.5f, 4.5f, 0.001, -1, 0).left;
    ASSERT_TRUE(landed > 200 && left > 200) << landed << " " << left;
    struct Case
    {
        float x, y;
        double frameTime;
        int pressAt, hold; // frames
        int rise;          // the step the leader first rises in, -1 for none before the landing or the fall
        float apex, air;   // tiles and seconds (0: not measured)
    };
    const Case cases[] = {
        {10.5f, 4.5f, 0.001, 0, 1, 0, 0, 0},
        {10.5f, 4.5f, 0.001, 37, 1, 37, 0, 0},
        {10.5f, 4.5f, 0.001, 81, 200, 81, 0, 0},
        {10.5f, 6.0f, 0.001, landed - 100, 1, landed, 0, 0},
        {10.5f, 6.0f, 0.001, landed - 30, 150, landed, 0, 0},
        {10.5f, 6.0f, 0.001, landed - 120, 1, -1, 0, 0},
        {38.5f, 4.5f, 0.001, left + 60, 1, left + 60, 0, 0},
        {38.5f, 4.5f, 0.001, left + 80, 1, -1, 0, 0},
        {10.5f, 4.5f, 1.0 / 60, 0, 6, 0, 4.27f, 0.98f},
        {10.5f, 4.5f, 1.0 / 60, 0, 36, 0, 6.53f, 1.18f},
        {10.5f, 4.5f, 1.0 / 30, 0, 3, 0, 4.27f, 0.98f},
        {10.5f, 4.5f, 1.0 / 30, 0, 18, 0, 6.53f, 1.18f},
    };
    for (const Case& c : cases)
    {
        JumpRun r = RunJump(map, c.x, c.y, c.frameTime, c.pressAt, c.hold);
        SCOPED_TRACE(testing::Message()
                     << c.x << " " << c.y << " press at " << c.pressAt << " of " << c.frameTime << " s");
        EXPECT_EQ(c.rise, r.rise > c.pressAt + 200 ? -1 : r.rise);
        if (c.rise < 0) continue;
        EXPECT_EQ(r.takeOff[0], r.takeOff[1]) << "with the leader";
        EXPECT_NEAR(r.rose[0], r.rose[1], 0.0015f) << "as long as it rose";
        EXPECT_NEAR(std::min(0.45f, float(c.frameTime * c.hold)), r.rose[0], 0.0015f);
        if (c.apex == 0.0f) continue;
        EXPECT_NEAR(c.apex, r.apex, 0.01f);
        EXPECT_NEAR(c.air, 0.001f * float(r.down - r.rise), 0.01f);
    }
}

TEST(Party, KillingTheFrontTroglinPromotesTheNextAndTheLastFallEndsTheRun)
{
    LeaderAndRecruit();
    Hero &leader = gHeroes[0], &recruit = gHeroes[1];
    GameObjInst* leaderBody = leader.body;

    KillHero(&leader);
    EXPECT_TRUE(gPartyPower == 1 && gLeader == &recruit && recruit.order == 1 && !Run::Get().gameOver);
    EXPECT_TRUE(!leader.body && !leaderBody->flag) << "not the front one any more: the body goes";

    // The last one falls below the level (the pit scenario shows the end of the run); it keeps its body
    // pointer, so the camera still finds it.
    GameObjInst* lastBody = recruit.body;
    lastBody->posCurr.y   = 0.79f;
    UpdateHero(&recruit);
    Run::End(DEATH_LEFT); // a waiting troglin left behind in the shake after it: the first cause stays
    EXPECT_TRUE(Run::Get().gameOver && Run::Get().deathCause == DEATH_FELL && recruit.body == lastBody &&
                !lastBody->flag);
}

// A leader tile in a chunk laid later puts a second front troglin into the party. The level keeps following
// the front troglin it had; when either front troglin dies the other leads and nobody moves up, and a
// removed troglin never keeps a body while the party lives (its parts are gone).
TEST(Party, ALeaderTileLaidLaterAddsASecondFrontTroglin)
{
    LeaderAndRecruit();
    FlatMap(1)[Cell(15, 70)] = TILE_PARTY_START;
    Terrain::CreateChunk(1);

    ASSERT_EQ(3u, gHeroes.size());
    Hero &added = gHeroes[0], &front = gHeroes[1], &follower = gHeroes[2];
    EXPECT_TRUE(gPartyPower == 3 && added.order == 1 && gLeader == &front);
    EXPECT_EQ(3, ActiveOfType(TYPE_LEADER_BODY)); // two bodies and the one badge

    // The party pass makes each front troglin gLeader while it updates it: the new one falls to its death.
    gLeader = &added;
    KillHero(&added);
    EXPECT_TRUE(!added.body && gLeader == &front && follower.order == 2 && gPartyPower == 2);

    Terrain::CreateChunk(1);
    Hero& again = gHeroes[0]; // the dead record made room
    ASSERT_EQ(3u, gHeroes.size());
    KillHero(&gHeroes[1]); // the old front troglin: the new one leads, the follower keeps its place
    EXPECT_TRUE(gLeader == &again && !gHeroes[1].body && gHeroes[2].order == 2);
}
