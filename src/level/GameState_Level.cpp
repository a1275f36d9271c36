// The runner level: load and free everything a run needs, build a fresh run on each Init, and drive one
// frame of play per Update: overlays and tutorial, pause, the party, axes, camera, monsters and pickups,
// the power badge, terrain streaming, the run speed, the movement pass, particles, overlays again.
#include "level/GameState_Level.h"

#include <cstdio>

#include "engine/KoFrameRateController.h"
#include "engine/KoInput.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "framework/HighScore.h"
#include "framework/Sound.h"
#include "level/Bot.h"
#include "level/Hero.h"
#include "level/LevelRun.h"
#include "level/Monsters.h"
#include "level/ParticleSys.h"
#include "level/Pickups.h"
#include "level/Terrain.h"
#include "level/UI.h"

int gRunsToPlay            = 0;
static int sRunsOver       = 0;
static bool sNoLeaderShown = false;

// The level's sound slots and their files, by slot from SND_DISTRESSED on; slot 2 stays empty.
static const char* const LEVEL_SOUNDS[] = {"Sounds/26 - Distressed.mp3", nullptr,
                                           "Sounds/JumpLand.wav",        "Sounds/Slash.wav",
                                           "Sounds/Groan1.wav",          "Sounds/Groan2.wav",
                                           "Sounds/Groan3.wav",          "Sounds/Groan4.mp3",
                                           "Sounds/Groan5.mp3",          "Sounds/Groan6.wav",
                                           "Sounds/Groan7.wav",          "Sounds/Groan8.mp3",
                                           "Sounds/AxeHit.wav",          "Sounds/ThrowAxe.mp3",
                                           "Sounds/AxeHitButton.wav",    "Sounds/04 - Road Hazard.mp3"};

// One line on standard error per run, for players and the bot: distance, kills, largest party, seconds and
// what ended it.
static void ReportRun()
{
    if (Run::Report() && gRunsToPlay > 0 && ++sRunsOver == gRunsToPlay) gGameStateNext = GS_QUIT;
}

static void SetAllChannelsPaused(bool paused)
{
    for (AudioChannel channel : gChannelTable)
        if (channel != AUDIO_CHANNEL_NULL) AudioChannelSetPaused(channel, paused);
}

static bool ChannelPlaying(int slot)
{
    bool playing = false;
    AudioChannelIsPlaying(gChannelTable[slot], &playing);
    return playing;
}

void LevelResetRun()
{
    CommonLevel::DestroyAllInst();
    Monsters::ResetList();
    ResetParty();
    ResetAxes();
    Terrain::ResetRun();
    Run::Reset();
    UI::ResetTutorial();
    gHeroJump = HeroJumpInputStart(KoFrameRateControllerIsSteady());
}

void GameStateLevelLoad()
{
    for (int slot = SND_DISTRESSED; slot <= SND_ROAD_HAZARD_2; ++slot)
        if (LEVEL_SOUNDS[slot - SND_DISTRESSED]) SoundLoad(slot, LEVEL_SOUNDS[slot - SND_DISTRESSED]);
    gHighScores.clear();
    LoadHighScores();
    CommonLevel::ResetAll();
    Terrain::ClearMaps();
    ParticleSys::ParticleFree();
    UI::ResetUI();

    LoadHero();
    Monsters::Load();
    Terrain::LoadTerrain();
    Pickups::Load();
    UI::LoadUI();
    ParticleSys::ParticleLoad();
    Terrain::LoadSky();
    LoadPartyDigits();
}

void GameStateLevelInit()
{
    LevelResetRun();
    Terrain::CreateSky();
    Terrain::InitTerrain();
    UI::InitUI();

    float leaderX = gLeader && gLeader->body ? gLeader->body->posCurr.x : 0.0f;
    gCamPosX      = leaderX + 2.0f;
    gCamPosY      = 13.0f;
    Run::Begin(leaderX, gPartyPower);
    Bot::Init();
}

// One frame of the level; returns wherever the frame stops early.
static void UpdateLevel()
{
    const float dt      = gFrameTime;
    const LevelRun& run = Run::Get();

    if (!run.paused && !run.invulnerable) SetAllChannelsPaused(false);
    const bool pausedBefore = run.paused;
    UI::UpdateUI(UI::PASS_STEP);
    if (gTutorialShowing) return;
    if (!ChannelPlaying(SND_DISTRESSED) && !run.invulnerable) SoundPlay(SND_DISTRESSED, 0.0f);
    if (run.frozen) return;
    // The pad's south button that pressed the pause menu's Resume is also a jump key: it must not jump too.
    if (pausedBefore && !run.paused) HeroHoldBackJumpKeys();

    // ESC toggles the pause, but not in the click that has just asked about the menu, nor once the run is
    // over (the pause menu would stand over the game-over screen).
    if (KoInputCheckTriggered(VK_ESCAPE) && UI::CurrentScreen() != UI::SCREEN_ASK_MENU && !run.gameOver)
        Run::SetPaused(!run.paused);
    if (KoInputCheckTriggered(VK_F2)) gGameStateNext = GS_TILE_EDITOR;
    if (KoInputCheckTriggered(VK_F3)) gGameStateNext = GS_MESH_EDITOR;
    if (run.paused)
    {
        if (KoInputCheckTriggered(VK_R))
        {
            Run::SetPaused(false);
            gGameStateNext = GS_RESTART;
        }
        SetAllChannelsPaused(true);
        return;
    }

    // A map 0 without a party start leaves no troglin to run: the run is over before it begins.
    if (!gLeader || !gLeader->body)
    {
        if (!sNoLeaderShown)
            fprintf(stderr, "Tilemaps/map0.txt holds no party start (%d): nobody can run\n",
                    TILE_PARTY_START);
        sNoLeaderShown = true;
        Run::End(DEATH_FELL);
        Run::Freeze();
        return;
    }

    const bool invulnerable = run.invulnerable;
    const bool invulnOver   = Run::Step(dt, gLeader->body->posCurr.x);
    if (invulnerable && !ChannelPlaying(SND_ROAD_HAZARD_2)) SoundPlay(SND_ROAD_HAZARD_2, 0.0f);
    if (invulnOver) SoundUnpause(SND_DISTRESSED);

    if (!UpdateParty()) return;
    UpdateAxes();
    const RunShake shake = Run::StepCamera(gLeader->body->posCurr, gLeader->body->velCurr, dt);
    if (shake != RUN_SHAKE_NONE) UI::ShowRedFrame(shake == RUN_SHAKE_ON);
    if (Monsters::Update()) return;
    UpdatePowerBadge();
    Terrain::AdvanceChunks();
    Run::StepSpeed(gLeader->body->velCurr.x, dt);
    CommonLevel::UpdateAllInst();
    ParticleSys::Update();
    UI::UpdateUI(UI::PASS_WORLD_RAN);
}

void GameStateLevelUpdate()
{
    UpdateLevel();
    Run::NotePower(gPartyPower);
    if (Run::Get().gameOver) ReportRun();
}

void GameStateLevelDraw()
{
    KoGameObjInstDrawAll(sGameObjInstList, CommonLevel::ActiveEnd(), sizeof(GameObjInst));
    ParticleSys::Draw();
    UI::DrawUI();
}

void GameStateLevelFree()
{
    ReportRun();
    Monsters::FreeList();
    ResetParty();
    CommonLevel::DestroyAllInst();
    ParticleSys::ParticleFree();
    UI::FreeUI();
}

void GameStateLevelUnload()
{
    KoGameObjFreeAll(sGameObjList, GAME_OBJ_NUM_MAX);
    UI::UnloadUI();
    SoundFreeAll();
}
