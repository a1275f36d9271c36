// Monsters: the power each kind is laid with, the power digits and their cap, weakening and the record
// store; and the diamond's music in the real level. The wear of monsters far ahead is played in the monster
// scenarios.
#include "MonsterWorld.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "Headless.h"
#include "Scenario.h"
#include "framework/HighScore.h"
#include "level/Terrain.h"
#include "level/UI.h"

using MonstersTest = MonsterWorld;

// Every kind of monster laid from its map code against parties of 0 to 15 has the power of its rule. A new
// kind needs its rule here, in the table's order.
TEST_F(MonstersTest, EveryKindIsLaidFromItsCodeWithThePowerOfItsRule)
{
    static const std::pair<const char*, int (*)(int)> RULES[] = {
        {"monster", [](int p) { return p / 2 + 1; }},
        {"squirrel", [](int p) { return p + 1; }},
        {"skull", [](int p) { return p / 2 + p; }},
        {"skull 2", [](int p) { return p / 2 + p + 1; }},
        {"goblin", [](int p) { return p / 2 + p + 2; }},
        {"neon beast", [](int p) { return 2 * p; }},
        {"neon beast 2", [](int p) { return 2 * p + 1; }},
        {"dark mage", [](int p) { return 2 * p + 2; }},
        {"princess", [](int) { return 69; }}};
    static_assert(std::size(RULES) == MONSTER_KIND_NUM, "every kind of monster has its rule here");
    for (int k = 0; k < MONSTER_KIND_NUM; ++k)
        for (int p = 0; p <= PARTY_POWER_MAX; ++p)
        {
            gPartyPower    = p;
            MonsterInfo* m = Monsters::Lay(MONSTER_KINDS[k].code, 4.5f, 2.5f);
            ASSERT_STREQ(RULES[k].first, MONSTER_KINDS[k].name);
            ASSERT_TRUE(m && m->pInst->pObject->type == uint32_t(TYPE_MONSTER_FIRST + k)) << RULES[k].first;
            EXPECT_EQ(m->power, RULES[k].second(p)) << RULES[k].first << " against a party of " << p;
        }
    for (int code : {TILE_EMPTY, TILE_RECRUIT, TILE_TERRAIN, TILE_FLAG, 99})
        EXPECT_FALSE(Monsters::Lay(code, 0, 0));
}

TEST_F(MonstersTest, DigitsShowThePowerCappedAt99AndWeakeningStopsAtOneAndSparesAReusedSlot)
{
    MonsterInfo* m = AddMonster(5.0f, 6.0f, 42);
    // Beyond two digits the number would point past the digit types: it shows as 99.
    for (int power : {42, 7, 100, 150}) EXPECT_EQ(ShownPower(AddMonster(0, 0, power)), std::min(power, 99));
    MonsterInfo* big = AddMonster(0, 0, 150);
    Monsters::Weaken(big);
    EXPECT_TRUE(big->power == 149 && ShownPower(big) == 99);
    for (int i = 0; i < 50; ++i) Monsters::Weaken(m);
    EXPECT_TRUE(m->power == 1 && ShownPower(m) == 1);

    // A beaten monster an axe is flying at keeps its record; when another monster takes its pool slot,
    // weakening the old record lowers the old power only and leaves the newcomer's digits alone.
    MonsterInfo* old = AddMonster(3, 0, 30);
    gAxes[0].pTarget = old;
    gAxes[0].pAxe    = CommonLevel::CreateInst(TYPE_WEAPON, 1.0f, nullptr, nullptr, 0.0f);
    CommonLevel::DestroyInst(old->pInst);
    MonsterInfo* newcomer = AddMonster(3, 0, 5);
    ASSERT_EQ(newcomer->pInst, old->pInst);
    Monsters::Weaken(old);
    EXPECT_TRUE(old->power == 29 && ShownPower(newcomer) == 5);
}

TEST_F(MonstersTest, RecordsNothingCanReachGoBackToTheStore)
{
    MonsterInfo* a   = AddMonster(1, 0, 3);
    MonsterInfo* b   = AddMonster(2, 0, 4);
    MonsterInfo* c   = AddMonster(3, 0, 5);
    MonsterInfo* d   = AddMonster(4, 0, 6);
    gAxes[3].pTarget = c;
    gAxes[3].pAxe    = CommonLevel::CreateInst(TYPE_WEAPON, 1.0f, nullptr, nullptr, 0.0f);
    for (MonsterInfo* gone : {a, c}) CommonLevel::DestroyInst(gone->pInst);
    d->pInst->pData = nullptr; // its slot no longer belongs to it

    // The next monster made takes one of the records nobody can reach; the one aimed at stays listed.
    MonsterInfo* e = AddMonster(5, 0, 7);
    EXPECT_EQ(gMonsterList, (std::vector<MonsterInfo*>{b, c, e}));
    EXPECT_TRUE(e == a || e == d);
    EXPECT_TRUE(e->power == 7 && c->power == 5);

    // A long run lays far more monsters than the store holds at once.
    for (int i = 0; i < 5000; ++i) CommonLevel::DestroyInst(AddMonster(6, 0, 8)->pInst);
    EXPECT_LE(gMonsterList.size(), 4u);
    EXPECT_TRUE(Monsters::IsAlive(b) && Monsters::IsAlive(e));
    EXPECT_EQ(gMonsterList.front(), b);
}

// The real level with the game's meshes and sounds, on map 0 made a tunnel one troglin high with the party
// start at column 2, a diamond at 10 and a goblin at 40. The diamond pauses the level music and starts the
// invulnerability music; the goblin, three times as strong as the lone troglin, is beaten meanwhile; after
// ten seconds the level music resumes.
TEST(LevelMonster, DiamondSwapsTheMusicForTenSeconds)
{
    const float DT = 0.005f;
    Scenario::TempDir save;
    gSaveFolder = save.path + "/";
    HeadlessStart();
    GameStateLevelLoad();
    gFrameTime = gKoFrameTime = DT;
    gSoundOn                  = false;
    for (int k = 0; k < MAP_NUM; ++k) memset(Terrain::GetMap(k), 0, sizeof(int) * MAP_CELLS);
    int* row = Terrain::GetMap(0) + 17 * MAP_WIDTH;
    for (int c = 0; c < MAP_WIDTH; ++c)
        for (int r : {-1, 1, 2}) row[r * MAP_WIDTH + c] = TILE_TERRAIN;
    row[2]  = TILE_PARTY_START;
    row[10] = TILE_DIAMOND;
    row[40] = 21; // a goblin
    GameStateLevelInit();
    gTutorialEnabled = false;
    auto frame       = []
    {
        GameStateLevelUpdate();
        SoundUpdate();
    };

    frame();
    EXPECT_TRUE(Playing(gChannelTable[SND_DISTRESSED])) << "the level music runs";
    EXPECT_FALSE(Playing(gChannelTable[SND_ROAD_HAZARD_2]));
    for (int frames = 0; !Run::Get().invulnerable && frames < 2000; ++frames)
    {
        gTextColour = 0x0FE0C5B8; // a faded banner
        frame();
    }
    EXPECT_TRUE(Run::Get().invulnerable) << "the diamond was never taken";
    EXPECT_EQ(gTextColour >> 24, 0xFFu) << "the banner shows at full strength";
    EXPECT_TRUE(Paused(gChannelTable[SND_DISTRESSED]));
    frame();
    EXPECT_TRUE(Playing(gChannelTable[SND_ROAD_HAZARD_2])) << "the invulnerability music starts";
    int invulnFrames = 1;
    for (; Run::Get().invulnerable && invulnFrames < 4000; ++invulnFrames) frame();
    EXPECT_NEAR(invulnFrames * DT, 10.0f, 2 * DT);
    EXPECT_EQ(Run::Get().kills, 1);
    EXPECT_EQ(gPartyPower, 1);
    EXPECT_FALSE(Paused(gChannelTable[SND_DISTRESSED])) << "the level music resumes";
    GameStateLevelFree();
    GameStateLevelUnload();
    HeadlessStop();
    gSaveFolder.clear();
}
