// The bot player. Every key it presses goes out as a window event that the next input update takes in,
// exactly like a key of the keyboard.
//
// Planning: while the jump key is up, the bot predicts the next seconds of every party member with the
// game's motion rules (StepHeroMotion over the laid chunk maps), once without a jump and, when that ends
// badly (a fall, the camera, a monster stronger than the party, a wall), once for each of a few jump
// lengths. It takes the jump whose prediction keeps the most troglins alive the longest.
#include "level/Bot.h"

#include <cmath>
#include <vector>

#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "framework/CommonLevel.h"
#include "framework/GameMain.h"
#include "framework/GameStateMgr.h"
#include "level/Factory.h"
#include "level/GameState_Level.h"
#include "level/Hero.h"
#include "level/Terrain.h"
#include "platform/Platform.h"

namespace Bot
{

static bool sEnabled  = false;
static bool sSkipDraw = false;

static int sHoldFrames = 0;     // frames the jump key stays down; 0 = up
static bool sSpaceDown = false; // a SPACE tap is in progress (tutorial pages)
static int sPlanWait   = 0;     // frames until the next prediction
static int sOverStep   = 0;     // progress through the game-over screen
static int sOverWait   = 0;     // frames to wait before the next game-over step
static float sMenuTime = 0.0f;  // seconds spent in the main menu since the last click

constexpr int SIM_MEMBERS_MAX  = 16;
constexpr int SIM_MONSTERS_MAX = 32;
constexpr float HORIZON        = 2.0f;  // seconds predicted
constexpr float PLAN_INTERVAL  = 0.01f; // seconds between predictions while nothing is wrong
constexpr float WALL_PENALTY   = 0.25f; // seconds of score a wall in the front troglin's way costs
static const float HOLDS[]     = {0.02f, 0.06f, 0.1f, 0.15f, 0.2f, 0.27f, 0.35f, 0.46f};

struct SimMember
{
    HeroMotion m;
    bool alive;
};

struct SimMonster
{
    Vec2 pos;
    float reach; // half width of the touch test; walking skulls get more room
};

static void PushKey(unsigned char vk, bool down)
{
    PlatEvent e = {};
    e.type      = down ? PLAT_EVENT_KEY_DOWN : PLAT_EVENT_KEY_UP;
    e.vk        = vk;
    PlatPushEvent(e);
}

static void PushMouse(int x, int y, bool left)
{
    PlatEvent e = {};
    e.type      = PLAT_EVENT_MOUSE;
    e.x         = x;
    e.y         = y;
    e.left      = left;
    PlatPushEvent(e);
}

void Enable(bool skipDraw)
{
    sEnabled        = true;
    sSkipDraw       = skipDraw;
    gFrameInputHook = Tick;
}

bool Enabled()
{
    return sEnabled;
}
bool SkipDraw()
{
    return sEnabled && sSkipDraw;
}

void Init()
{
    if (!sEnabled) return;
    if (sHoldFrames > 0) PushKey(VK_UP, false);
    sHoldFrames = 0;
    sPlanWait   = 0;
    sOverStep   = 0;
    sOverWait   = 0;
}

static int Frames(float seconds, float dt)
{
    return dt > 0.0f ? std::max(1, int(seconds / dt + 0.5f)) : 1;
}

// Predicts `frames` frames with the jump key held for the first `hold` of them (0: no jump). Returns the
// summed survival time of the members, less the wall penalty of the front troglin.
static float Simulate(const SimMember* start, int memberNum, const SimMonster* monsters, int monsterNum,
                      int hold, int frames, float dt)
{
    SimMember sim[SIM_MEMBERS_MAX];
    for (int i = 0; i < memberNum; ++i) sim[i] = start[i];
    float score     = 0.0f;
    float camX      = gCamPosX;
    bool wallBefore = false;
    float invuln    = gInvulnerable ? gInvulnTime : 0.0f;

    for (int f = 1; f <= frames; ++f)
    {
        HeroKeys keys = {hold > 0 && f <= hold, hold > 0 && f == 1, hold > 0 && f == hold + 1};
        float t       = float(f) * dt;
        float leaderX = sim[0].m.pos.x;
        for (int i = 0; i < memberNum; ++i)
            if (sim[i].alive && sim[i].m.order == 1) leaderX = sim[i].m.pos.x;

        int alive = 0;
        for (int i = 0; i < memberNum; ++i)
        {
            SimMember& s = sim[i];
            if (!s.alive) continue;
            bool dead = s.m.pos.y < 0.8f || s.m.pos.x + 17.5f < camX;
            if (!dead)
            {
                uint32_t contacts = HeroContacts(Terrain::MapAt(s.m.pos.x), s.m.pos.x, s.m.pos.y);
                bool wall         = s.m.order == 1 && (contacts & FLAG_HIT_RIGHT);
                if (wall && !wallBefore) score -= WALL_PENALTY;
                if (s.m.order == 1) wallBefore = wall;
                StepHeroMotion(&s.m, contacts, keys, dt, gRunSpeed, leaderX, camX);
                if (t >= invuln)
                    for (int k = 0; k < monsterNum && !dead; ++k)
                        dead = std::fabs(monsters[k].pos.x - s.m.pos.x) <= monsters[k].reach &&
                               std::fabs(monsters[k].pos.y - s.m.pos.y) <= 1.0f;
            }
            if (dead)
            {
                s.alive = false;
                score += t;
                continue;
            }
            ++alive;
        }
        if (alive == 0) return score;
        for (int i = 0; i < memberNum; ++i)
        {
            if (!sim[i].alive) continue;
            sim[i].m.pos.x += sim[i].m.vel.x * dt;
            sim[i].m.pos.y += sim[i].m.vel.y * dt;
        }
        camX += gCamVel.x * dt;
    }
    for (int i = 0; i < memberNum; ++i)
        if (sim[i].alive) score += float(frames) * dt;
    return score;
}

// The jump to make now: frames to hold the key, or 0 to wait.
static int Plan(float dt)
{
    SimMember members[SIM_MEMBERS_MAX];
    int memberNum = 0;
    float leaderX = gLeader->body->posCurr.x;
    for (const Hero& h : gHeroes)
    {
        if (memberNum == SIM_MEMBERS_MAX) break;
        if (!h.body || (h.body->flag & (FLAG_ACTIVE | FLAG_IN_PARTY)) != (FLAG_ACTIVE | FLAG_IN_PARTY))
            continue;
        members[memberNum].m     = {h.body->posCurr, h.body->velCurr, h.body->flag, h.fallAccel,
                                    h.jumpTime,      h.runPush,       h.order};
        members[memberNum].alive = true;
        ++memberNum;
    }
    if (memberNum == 0) return 0;

    // Monsters stronger than the party, near the way ahead.
    SimMonster monsters[SIM_MONSTERS_MAX];
    int monsterNum = 0;
    for (const MonsterInfo* info : gMonsterList)
    {
        if (monsterNum == SIM_MONSTERS_MAX) break;
        if (!IsMonsterAlive(info) || info->power <= gPartyPower) continue;
        Vec2 p = info->pInst->posCurr;
        if (p.x < leaderX - 16.0f || p.x > leaderX + 25.0f) continue;
        monsters[monsterNum++] = {p, info->pInst->patrolDir != 0 ? 2.2f : 1.05f};
    }

    int frames   = Frames(HORIZON, dt);
    float best   = Simulate(members, memberNum, monsters, monsterNum, 0, frames, dt);
    float full   = float(memberNum) * float(frames) * dt;
    int bestHold = 0;
    if (best >= full - 1e-3f) return 0;
    for (float seconds : HOLDS)
    {
        int hold    = Frames(seconds, dt);
        float score = Simulate(members, memberNum, monsters, monsterNum, hold, frames, dt);
        if (score > best + 0.01f)
        {
            best     = score;
            bestHold = hold;
        }
    }
    return bestHold;
}

// Types the name, confirms it and clicks Restart, a step every few frames.
static void PlayGameOver(float dt)
{
    if (sOverWait > 0)
    {
        --sOverWait;
        return;
    }
    static const unsigned char name[] = {'B', 'O', 'T'};
    int w = KoGfxGetWindowWidth(), h = KoGfxGetWindowHeight();
    int restartX = w / 2, restartY = h * 3 / 4; // the Restart button stands at view y -30
    int step = sOverStep++;
    if (step < 6)
        PushKey(name[step / 2], step % 2 == 0);
    else if (step < 8)
        PushKey(VK_RETURN, step == 6);
    else if (step == 8)
        PushMouse(restartX, restartY, false);
    else if (step == 9)
        PushMouse(restartX, restartY, true);
    else if (step == 10)
        PushMouse(restartX, restartY, false);
    else
        sOverStep = 9; // the click came too early for the overlay: click again
    sOverWait = Frames(0.05f, dt);
}

// In the main menu: a click on Play once the menu takes clicks (and again if one got lost).
static void PlayMenu(float dt)
{
    sMenuTime += dt;
    int x = KoGfxGetWindowWidth() / 2, y = KoGfxGetWindowHeight() / 2; // Play stands at the centre
    if (sMenuTime >= 1.0f && sMenuTime - dt < 1.0f) PushMouse(x, y, false);
    if (sMenuTime >= 1.1f && sMenuTime - dt < 1.1f) PushMouse(x, y, true);
    if (sMenuTime >= 1.2f)
    {
        PushMouse(x, y, false);
        sMenuTime = 0.0f;
    }
}

void Tick()
{
    const float dt = gFrameTime > 0.0f ? gFrameTime : 0.001f;
    if (gGameStateCurr == GS_MENU) PlayMenu(dt);
    if (gGameStateCurr != GS_LEVEL) return;

    if (sSpaceDown)
    {
        PushKey(VK_SPACE, false);
        sSpaceDown = false;
        return;
    }
    if (gGameOver)
    {
        if (sHoldFrames > 0) PushKey(VK_UP, false);
        sHoldFrames = 0;
        if (gRunFrozen) PlayGameOver(dt);
        return;
    }
    if (gTutorialShowing)
    {
        PushKey(VK_SPACE, true);
        sSpaceDown = true;
        return;
    }
    if (gPaused || !gLeader || !gLeader->body) return;

    if (sHoldFrames > 0)
    {
        if (--sHoldFrames == 0) PushKey(VK_UP, false);
        return;
    }
    if (sPlanWait > 0)
    {
        --sPlanWait;
        return;
    }
    int hold = Plan(dt);
    if (hold > 0)
    {
        PushKey(VK_UP, true);
        sHoldFrames = hold;
    }
    else
        sPlanWait = Frames(PLAN_INTERVAL, dt) - 1;
}

} // namespace Bot
