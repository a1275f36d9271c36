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
#include "level/Monsters.h"
#include "level/ParticleSys.h"
#include "level/Pickups.h"
#include "level/Terrain.h"
#include "level/UI.h"

// Given their start values by LevelResetRun.
bool gPaused;
bool gInvulnerable;
float gInvulnTime;
bool gGameOver;
bool gRunFrozen;
DeathCause gDeathCause;
float gDistance;
float gStartX;
int gKillCount;
float gRunSpeed;
Vec2 gCamVel;
bool gShaking;
float gShakeTime;
Vec2 gShakeRest;
bool gTutorialShowing;
bool gTutorialEnabled;
int gTutorialPage;
float gRunSeconds;
int gRunsToPlay      = 0;
static int sRunsOver = 0;

const float RUN_SPEED_START = 0.032f; // the run push at the start of a run
const float SHAKE_SECONDS   = 0.3f;   // the camera shake after a death

static bool sRunReported   = false; // the "run:" line of this run has been printed
static int sRunPowerPeak   = 0;     // the largest party of this run
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

const char* DeathCauseName(DeathCause cause)
{
    static const char* const NAMES[] = {"none", "fell", "monster", "wall", "left"};
    return NAMES[cause];
}

// One line on standard error per run, for players and the bot: distance, kills, largest party, seconds and
// what ended it.
static void ReportRun()
{
    if (sRunReported) return;
    sRunReported = true;
    fprintf(stderr, "run: meters=%d kills=%d power=%d seconds=%.1f cause=%s\n", int(gDistance), gKillCount,
            sRunPowerPeak, double(gRunSeconds), DeathCauseName(gDeathCause));
    if (gRunsToPlay > 0 && ++sRunsOver == gRunsToPlay) gGameStateNext = GS_QUIT;
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

void LevelStartShake()
{
    gShakeTime = SHAKE_SECONDS;
    if (!gShaking) gShakeRest = {gCamPosX, gCamPosY};
    gShaking = true;
}

void LevelResetRun()
{
    CommonLevel::DestroyAllInst();
    Monsters::ResetList();
    gHeroes.clear();
    gHeroes.reserve(48);
    gLeader         = nullptr;
    gPowerBadge     = nullptr;
    gPowerDigits[0] = gPowerDigits[1] = nullptr;
    ResetAxes();
    gPartyPower      = 0;
    gChunkStartX     = 0.0f;
    gPaused          = false;
    gInvulnerable    = false;
    gInvulnTime      = LEVEL_INVULN_SECONDS;
    gGameOver        = false;
    gRunFrozen       = false;
    gDeathCause      = DEATH_NONE;
    gDistance        = 0.0f;
    gStartX          = 0.0f;
    gKillCount       = 0;
    gRunSpeed        = RUN_SPEED_START;
    gCamVel          = {RUN_SPEED_START, 0.0f};
    gShaking         = false;
    gShakeTime       = 0.0f;
    gShakeRest       = {0.0f, 0.0f};
    gTutorialShowing = false;
    gTutorialEnabled = true;
    gTutorialPage    = 0;
    gRunSeconds      = 0.0f;
    gHeroJump        = HeroJumpInputStart(KoFrameRateControllerIsSteady());
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
    gStartX       = leaderX;
    sRunPowerPeak = gPartyPower;
    sRunReported  = false;
    Bot::Init();
}

// The camera chases the front troglin: it eases back when the leader falls behind it, speeds up when the
// leader runs faster, and shakes for a moment when a troglin dies.
static void UpdateCamera(const GameObjInst* L, float dt)
{
    float v = gCamVel.x;
    if (L->posCurr.x + 2.0f < gCamPosX && v > 2.0f)
        v -= dt / 2.5f;
    else if (L->velCurr.x > v)
        v += 3.0f * dt;
    if (L->posCurr.x > gCamPosX)
        v += 1.5f * dt;
    else if (L->velCurr.x > 0.0f && L->velCurr.x < v && v > 2.0f)
        v -= 2.0f * dt;
    gCamVel.x = v;

    if (gShakeTime > 0.0f)
    {
        gShakeTime -= dt;
        float r1 = KoRandFloat();
        float r2 = KoRandFloat();
        gCamPosX = gShakeRest.x + 0.4f * r1 - 0.2f;
        gCamPosY = gShakeRest.y + 0.4f * r2 - 0.2f;
        UI::ShowRedFrame(true);
    }
    else if (gShaking)
    {
        gCamPosX = gShakeRest.x;
        gCamPosY = gShakeRest.y;
        gShaking = false;
        UI::ShowRedFrame(false);
        if (gGameOver) gRunFrozen = true;
    }

    gCamPosX += v * dt;
    gCamPosY += gCamVel.y * dt;
    gCamZoom = 5.0f;
}

// The party pass. Returns false when the last troglin has just been left behind (the frame ends).
static bool UpdateParty()
{
    HeroJumpInputStep(&gHeroJump, HeroReadKeys(), gFrameTime);
    for (size_t i = 0; i < gHeroes.size(); ++i)
    {
        Hero* h = &gHeroes[i];
        if (!h->body) continue;
        if (h->order == 1) gLeader = h;
        // The map of the chunk the member stands in, also when the party is spread over several chunks.
        if (const int* map = Terrain::MapAt(h->body->posCurr.x)) h->chunkMap = map;
        if ((h->body->flag & FLAG_IN_PARTY) && gInvulnerable)
            ParticleSys::EmitSparkle(1.0f, h->body->posCurr.x, h->body->posCurr.y);
        if ((h->body->flag & (FLAG_ACTIVE | FLAG_IN_PARTY)) == FLAG_ACTIVE) // a troglin waiting to join
            UI::HintAhead(&gFirstRecruitSeen, UI::TUTORIAL_RECRUIT, h->body->posCurr.x);
        UpdateHero(h);
        AnimateHeroLegs(h);
        // Left behind by the camera. A body already removed (the last front troglin keeps its record's
        // body pointer for the camera) is not removed again.
        if (h->body && (h->body->flag & FLAG_ACTIVE) && h->body->posCurr.x + 17.5f < gCamPosX)
        {
            const bool atWall = h->wallTime < WALL_MEMORY_SECONDS;
            KillHero(h);
            if (gPartyPower <= 0)
            {
                gDeathCause = atWall ? DEATH_WALL : DEATH_LEFT;
                gGameOver   = true;
                return false;
            }
        }
    }
    return true;
}

// One frame of the level; returns wherever the frame stops early.
static void UpdateLevel()
{
    const float dt = gFrameTime;

    if (!gPaused && !gInvulnerable) SetAllChannelsPaused(false);
    const bool pausedBefore = gPaused;
    UI::UpdateUI();
    UI::UpdateTutorial();
    if (gTutorialShowing) return;
    if (!ChannelPlaying(SND_DISTRESSED) && !gInvulnerable) SoundPlay(SND_DISTRESSED, 0.0f);
    if (gRunFrozen) return;
    // The pad's south button that pressed the pause menu's Resume is also a jump key: it must not jump too.
    if (pausedBefore && !gPaused) HeroHoldBackJumpKeys();

    if (KoInputCheckTriggered(VK_ESCAPE) && !gAskMenu) gPaused = !gPaused;
    if (KoInputCheckTriggered(VK_F2)) gGameStateNext = GS_TILE_EDITOR;
    if (KoInputCheckTriggered(VK_F3)) gGameStateNext = GS_MESH_EDITOR;
    if (gPaused)
    {
        if (KoInputCheckTriggered(VK_R))
        {
            gPaused        = false;
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
        gDeathCause    = DEATH_FELL;
        gGameOver      = true;
        gRunFrozen     = true;
        return;
    }

    gRunSeconds += dt;
    gDistance = gLeader->body->posCurr.x - gStartX;

    if (gInvulnerable)
    {
        gInvulnTime -= dt;
        if (!ChannelPlaying(SND_ROAD_HAZARD_2)) SoundPlay(SND_ROAD_HAZARD_2, 0.0f);
        if (gInvulnTime < 0.0f)
        {
            SoundUnpause(SND_DISTRESSED);
            gInvulnTime   = LEVEL_INVULN_SECONDS;
            gInvulnerable = false;
        }
    }

    if (!UpdateParty()) return;
    UpdateAxes();
    UpdateCamera(gLeader->body, dt);
    if (Monsters::Update()) return;
    UpdatePowerBadge();
    Terrain::AdvanceChunks();
    if (gLeader->body->velCurr.x < 10.0f) gRunSpeed += 0.00012f * dt;
    CommonLevel::UpdateAllInst();
    ParticleSys::Update();
    UI::UpdateUI();
}

void GameStateLevelUpdate()
{
    UpdateLevel();
    if (gPartyPower > sRunPowerPeak) sRunPowerPeak = gPartyPower;
    if (gGameOver) ReportRun();
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
    gHeroes.clear();
    gHeroes.reserve(48);
    gLeader     = nullptr;
    gPowerBadge = nullptr;
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
