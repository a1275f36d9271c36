// Monsters and diamonds in the real level, driven in-process: a headless engine, the game's meshes and
// sounds, and a map of our own written over map 0 after the level has loaded.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <unistd.h>

#include "Scenario.h"
#include "engine/KoFrameRateController.h"
#include "engine/KoSystem.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "framework/HighScore.h"
#include "framework/Sound.h"
#include "level/Factory.h"
#include "level/GameState_Level.h"
#include "level/Hero.h"
#include "level/Terrain.h"
#include "platform/Platform.h"

namespace
{
const float DT       = 0.005f;
const int TUNNEL_ROW = 17;

class LevelMonsterTest : public ::testing::Test
{
  protected:
    static std::string sOldDir;
    static Scenario::TempDir* sSave;

    static void SetUpTestSuite()
    {
        char buf[4096];
        sOldDir = getcwd(buf, sizeof buf) ? buf : ".";
        ASSERT_EQ(chdir(SKARN_DATA_DIR), 0);
        sSave       = new Scenario::TempDir();
        gSaveFolder = sSave->path + "/";
        PlatConfigure(true);
        ASSERT_TRUE(KoSysInit());
        SoundInit();
        GameStateLevelLoad();
    }

    static void TearDownTestSuite()
    {
        GameStateLevelUnload();
        SoundRelease();
        KoSysExit();
        delete sSave;
        if (chdir(sOldDir.c_str()) != 0) perror("chdir");
    }

    // Map 0 becomes a tunnel one troglin high with the party start at column 2; the other maps are
    // empty. cells lists (column, value) pairs laid in the tunnel.
    static void TunnelMap(std::initializer_list<std::pair<int, int>> cells)
    {
        for (int k = 0; k < MAP_NUM; ++k) memset(Terrain::GetMap(k), 0, sizeof(int) * MAP_CELLS);
        int* map = Terrain::GetMap(0);
        for (int c = 0; c < MAP_WIDTH; ++c)
            for (int row : {TUNNEL_ROW - 1, TUNNEL_ROW + 1, TUNNEL_ROW + 2})
                map[row * MAP_WIDTH + c] = TILE_TERRAIN;
        map[TUNNEL_ROW * MAP_WIDTH + 2] = TILE_PARTY_START;
        for (auto& cell : cells) map[TUNNEL_ROW * MAP_WIDTH + cell.first] = cell.second;
    }

    void SetUp() override
    {
        gFrameTime   = DT;
        gKoFrameTime = DT;
        gSoundOn     = false;
    }

    void TearDown() override { GameStateLevelFree(); }

    static void StartRun()
    {
        GameStateLevelInit();
        gTutorialEnabled = false; // no page stops the world
    }

    static void Frame()
    {
        GameStateLevelUpdate();
        SoundUpdate();
    }

    static bool Paused(int slot)
    {
        bool paused = false;
        return AudioChannelGetPaused(gChannelTable[slot], &paused) == AUDIO_OK && paused;
    }
    static bool Playing(int slot)
    {
        bool playing = false;
        AudioChannelIsPlaying(gChannelTable[slot], &playing);
        return playing;
    }
};
std::string LevelMonsterTest::sOldDir;
Scenario::TempDir* LevelMonsterTest::sSave = nullptr;

// The diamond pauses the level music and starts the invulnerability music; a goblin three times as
// strong as the lone troglin is beaten meanwhile; after ten seconds the level music resumes.
TEST_F(LevelMonsterTest, DiamondSwapsTheMusicForTenSeconds)
{
    TunnelMap({{10, TILE_DIAMOND}, {40, TYPE_GOBLIN}});
    StartRun();
    Frame();
    ASSERT_TRUE(Playing(SND_DISTRESSED)) << "the level music runs";
    EXPECT_FALSE(Playing(SND_ROAD_HAZARD_2));

    int frames = 0;
    while (!gInvulnerable && frames < 2000) Frame(), ++frames;
    ASSERT_TRUE(gInvulnerable) << "the diamond was never taken";
    EXPECT_TRUE(Paused(SND_DISTRESSED));
    Frame();
    EXPECT_TRUE(Playing(SND_ROAD_HAZARD_2)) << "the invulnerability music starts";

    int invulnFrames = 1;
    while (gInvulnerable && invulnFrames < 4000) Frame(), ++invulnFrames;
    EXPECT_NEAR(invulnFrames * DT, 10.0f, 2 * DT);
    EXPECT_EQ(gKillCount, 1);
    EXPECT_EQ(gPartyPower, 1);
    EXPECT_FALSE(Paused(SND_DISTRESSED)) << "the level music resumes";
}
} // namespace
