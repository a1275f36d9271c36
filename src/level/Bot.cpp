// The bot player. It acts before every simulation step and presses its keys and buttons through the
// engine's live-input entry points, exactly where the window's keys arrive: a recording holds them like a
// player's. Acting per step makes its play the same at every draw rate.
//
// Planning: while the jump key is up, the bot predicts the next seconds of every party member with the
// game's motion rules (StepHeroMotion over the laid chunk maps), once without a jump and, when that ends
// badly (a fall, the camera, a monster stronger than the party, a wall), once for each of a few jump
// lengths. It takes the jump whose prediction keeps the most troglins alive the longest.
#include "level/Bot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "framework/CommonLevel.h"
#include "framework/GameMain.h"
#include "framework/GameStateMgr.h"
#include "level/Hero.h"
#include "level/LevelRun.h"
#include "level/Monsters.h"
#include "level/Terrain.h"
#include "level/UI.h"

namespace Bot
{

static bool sEnabled = false;

static int sHoldFrames = 0;     // frames the jump key stays down; 0 = up
static bool sSpaceDown = false; // a SPACE tap is in progress (tutorial pages)
static int sPlanWait   = 0;     // frames until the next prediction
static int sActWait    = 0;     // frames to wait before the next step on an overlay
static float sMenuTime = 0.0f;  // seconds spent in the main menu since the last click
static int sMenuStep   = 0;     // the click on Play: 0 waiting, 1 pointer placed, 2 button down
static bool sHuman     = false; // the human model plays (EnableHuman)
static std::mt19937 sHumanRandom;

constexpr int SIM_MEMBERS_MAX  = 16;
constexpr int SIM_MONSTERS_MAX = 32;
constexpr float PLAN_INTERVAL  = 0.01f; // seconds between predictions
constexpr float DEFERRED_COST  = 0.2f;  // a loss the next decisions may still prevent
constexpr float WALL_COST      = 0.05f; // the front troglin runs into a wall
constexpr float TOUCH_MARGIN   = 0.05f; // a monster this much further away than a touch still counts as one
static const float HOLDS[]     = {0.02f, 0.08f, 0.16f, 0.26f, 0.36f, 0.46f};
static const float DELAYS[]    = {0.05f, 0.12f};

struct SimMember
{
    HeroMotion m;
    bool alive;
    int grounded; // the last frame the member stood on the ground (0: now, -1: not since the start)
    int stood;    // the last frame its feet were on the ground
};

// A monster stronger than the party and its walk (Monsters::PatrolAhead).
struct SimMonster
{
    Vec2 pos;
    float speed;  // units per second along x (0: stands still)
    float turnIn; // seconds until it turns
};

static void PushMouse(int x, int y, bool left)
{
    KoInputOnPointer(x, y, left, false);
}

void Enable()
{
    sEnabled       = true;
    gStepInputHook = Tick;
}

void EnableHuman(uint32_t seed)
{
    Enable();
    sHuman = true;
    sHumanRandom.seed(seed);
}

bool Enabled()
{
    return sEnabled;
}

static int Frames(float seconds, float dt)
{
    return dt > 0.0f ? std::max(1, int(seconds / dt + 0.5f)) : 1;
}

// One way to play the next seconds: wait `delay` frames, then hold the jump key for `hold` frames (0: no
// jump at all). Decisions come again after `commit` frames: a troglin lost after standing on the ground
// later than that might still be saved by them and costs less.
struct SimPlan
{
    int delay, hold, commit, frames;
};

// The first trouble of a prediction, a loss or the front troglin running into a wall: its frame
// (plan.frames + 1 when there is none) and the furthest x a member had reached then (where it lies).
struct SimLoss
{
    int frame;
    float x;
};

// Predicts the plan frame by frame with the game's motion rules; returns its cost (0: nobody is lost).
// Gives up as soon as the cost passes `bound`. With `pPassX`, every loss costs 1 and the plan ends as
// soon as every member left stands on the ground past *pPassX; not getting there costs 1 more.
static float Simulate(const SimMember* start, int memberNum, const SimMonster* monsters, int monsterNum,
                      const SimPlan& plan, float dt, float bound, SimLoss* pLoss = nullptr,
                      const float* pPassX = nullptr)
{
    if (pLoss) *pLoss = {plan.frames + 1, 0.0f};
    SimMember sim[SIM_MEMBERS_MAX];
    for (int i = 0; i < memberNum; ++i) sim[i] = start[i];
    float cost          = 0.0f;
    float camX          = gCamPosX;
    bool wallBefore     = false;
    const LevelRun& run = Run::Get();
    float invuln        = run.invulnerable ? run.invulnTime : 0.0f;
    int press           = plan.delay + 1;
    int release         = plan.delay + plan.hold + 1;
    HeroJumpInput in    = gHeroJump;

    for (int f = 1; f <= plan.frames && cost <= bound; ++f)
    {
        HeroJumpInputStep(&in,
                          {plan.hold > 0 && f >= press && f<release, plan.hold> 0 && f == press,
                           plan.hold > 0 && f == release},
                          dt);
        float leaderX = sim[0].m.pos.x;
        for (int i = 0; i < memberNum; ++i)
            if (sim[i].alive && sim[i].m.order == 1) leaderX = sim[i].m.pos.x;

        int alive = 0;
        for (int i = 0; i < memberNum; ++i)
        {
            SimMember& s = sim[i];
            if (!s.alive) continue;
            bool dead = HeroFellOut(s.m.pos) || HeroLeftBehind(s.m.pos, camX);
            if (!dead)
            {
                uint32_t contacts = HeroContacts(Terrain::MapAt(s.m.pos.x), s.m.pos.x, s.m.pos.y);
                bool wall         = s.m.order == 1 && (contacts & FLAG_HIT_RIGHT);
                if (wall && !wallBefore)
                {
                    cost += WALL_COST;
                    if (pLoss && pLoss->frame > f) *pLoss = {f, s.m.pos.x}; // the wall stops the party
                }
                if (s.m.order == 1) wallBefore = wall;
                if ((contacts & FLAG_HIT_BOTTOM) ||
                    ((contacts & HERO_CONTACT_GROUND_NEAR) && s.m.vel.y <= 0.0f))
                    s.stood = f;
                StepHeroMotion(&s.m, contacts, in, dt, run.speed, leaderX, camX);
                if (s.m.flag & FLAG_LANDED) s.grounded = f;
                float t = float(f) * dt;
                if (t >= invuln)
                    for (int k = 0; k < monsterNum && !dead; ++k)
                    {
                        const SimMonster& mon = monsters[k];
                        const float x         = Monsters::PatrolX(mon.pos.x, mon.speed, mon.turnIn, t);
                        dead = Monsters::Touches(x - s.m.pos.x, mon.pos.y - s.m.pos.y, TOUCH_MARGIN);
                    }
            }
            if (dead)
            {
                if (pLoss && pLoss->frame > f)
                {
                    pLoss->frame = f;
                    pLoss->x     = s.m.pos.x;
                    for (int k = 0; k < memberNum; ++k)
                        if (sim[k].alive) pLoss->x = std::max(pLoss->x, sim[k].m.pos.x);
                }
                s.alive = false;
                cost += s.grounded > plan.commit && !pPassX ? DEFERRED_COST : 1.0f;
                continue;
            }
            ++alive;
        }
        if (alive == 0) return cost;
        bool passed = pPassX != nullptr;
        for (int i = 0; i < memberNum; ++i)
        {
            if (!sim[i].alive) continue;
            passed = passed && sim[i].stood == f && sim[i].m.pos.x > *pPassX;
            sim[i].m.pos.x += sim[i].m.vel.x * dt;
            sim[i].m.pos.y += sim[i].m.vel.y * dt;
        }
        if (passed) return cost;
        camX += run.camVel.x * dt;
    }
    return pPassX ? cost + 1.0f : cost;
}

// What the bot sees of the present: the party's members and the monsters stronger than the party near the
// way ahead.
struct Scene
{
    SimMember members[SIM_MEMBERS_MAX];
    int memberNum = 0;
    SimMonster monsters[SIM_MONSTERS_MAX];
    int monsterNum = 0;

    float Cost(const SimPlan& plan, float dt, float bound, SimLoss* pLoss = nullptr,
               const float* pPassX = nullptr) const
    {
        return Simulate(members, memberNum, monsters, monsterNum, plan, dt, bound, pLoss, pPassX);
    }
};

static void Look(Scene* scene)
{
    float leaderX = gLeader->body->posCurr.x;
    for (const Hero& h : gHeroes)
    {
        if (scene->memberNum == SIM_MEMBERS_MAX) break;
        if (!h.body || (h.body->flag & (FLAG_ACTIVE | FLAG_IN_PARTY)) != (FLAG_ACTIVE | FLAG_IN_PARTY))
            continue;
        SimMember& s = scene->members[scene->memberNum++];
        s.m          = {h.body->posCurr, h.body->velCurr, h.body->flag, h.fallAccel, h.jumpTime,
                        h.runPush,       h.order,         h.airTime,    h.jumpPress};
        s.alive      = true;
        s.grounded   = (h.body->flag & FLAG_LANDED) ? 0 : -1;
        s.stood      = -1;
    }
    for (const MonsterInfo* info : gMonsterList)
    {
        if (scene->monsterNum == SIM_MONSTERS_MAX) break;
        if (!Monsters::IsAlive(info) || info->power <= gPartyPower) continue;
        Vec2 p = info->pInst->posCurr;
        if (p.x < leaderX - 16.0f || p.x > leaderX + 25.0f) continue;
        const GameObjInst* inst = info->pInst;
        SimMonster& m           = scene->monsters[scene->monsterNum++];
        m.pos                   = p;
        Monsters::PatrolAhead(*inst, &m.speed, &m.turnIn);
    }
}

// Long enough to see the longest jump land (jumps get longer as frames get longer).
static float Horizon(float dt)
{
    return 1.0f + 400.0f * dt;
}

// The jump to make now: frames to hold the key, or 0 to wait. A jump is made when it loses fewer troglins
// than waiting, and no jump a moment later would do better.
static int Plan(float dt)
{
    Scene scene;
    Look(&scene);
    if (scene.memberNum == 0) return 0;

    const float horizon = Horizon(dt);
    const int interval  = Frames(PLAN_INTERVAL, dt);
    SimPlan wait        = {0, 0, interval, Frames(horizon, dt)};
    float waitCost      = scene.Cost(wait, dt, 1e9f);
    if (waitCost <= 0.0f) return 0;

    float bestNow = waitCost, bestLater = 1e9f;
    int bestHold = 0;
    for (float seconds : HOLDS)
    {
        int hold   = Frames(seconds, dt);
        SimPlan p  = {0, hold, hold, Frames(horizon, dt)};
        float cost = scene.Cost(p, dt, bestNow);
        if (cost < bestNow - 1e-4f)
        {
            bestNow  = cost;
            bestHold = hold;
        }
    }
    if (bestHold == 0) return 0;
    for (float delay : DELAYS)
        for (float seconds : HOLDS)
        {
            int d = Frames(delay, dt), hold = Frames(seconds, dt);
            SimPlan p  = {d, hold, d + hold, Frames(horizon + delay, dt)};
            float cost = scene.Cost(p, dt, bestLater);
            if (cost < bestLater) bestLater = cost;
            if (bestLater <= bestNow) return 0; // a jump a moment later does at least as well
        }
    return bestHold;
}

// The human model (--bot human:SEED): it sees what the planner sees, for what comes next the span of press
// moments that clear it and the hold it needs, but presses like a newcomer: at the middle of the span
// missed by up to 120 ms either way, holding the needed time times 0.6 to 1.4 (at least 50 ms). It decides
// once from what the screen shows now and keeps to it: no second try, no look at the game's random numbers
// (its own generator, seeded by SEED, draws its errors).
constexpr float HUMAN_TIMING_ERROR = 0.12f; // seconds either way, uniform
constexpr float HUMAN_HOLD_LOW     = 0.6f;  // the hold's factor, uniform between these
constexpr float HUMAN_HOLD_HIGH    = 1.4f;
constexpr float HUMAN_HOLD_MIN     = 0.05f;
constexpr float SPAN_STEP          = 0.01f; // seconds between the press moments tried at a span's edges
constexpr float SPAN_COARSE        = 0.05f; // and elsewhere
constexpr int SPAN_HOLDS           = 3;     // of the holds tried, this many (or as many as any) must clear
constexpr float HOLD_STEP          = 0.02f; // seconds between the holds tried at the aimed moment
// Seconds ahead the human model looks: the screen shows about 16 tiles ahead of the party, 2.5 s of running,
// so it sees a whole span before it begins.
constexpr float HUMAN_LOOK          = 2.5f;
constexpr float HUMAN_LOOK_INTERVAL = 0.1f; // seconds between its looks while nothing is decided

static int sPressIn   = -1; // steps until the decided press (-1: none decided)
static int sPressHold = 0;  // frames to hold it

static float HumanUniform(float lo, float hi)
{
    return lo + (hi - lo) * float(sHumanRandom() >> 8) / 16777216.0f;
}

// For what comes next (the first trouble of waiting, and where it lies): the first span of press moments
// (in frames from now) whose best hold gets as many troglins past that place as any jump can, and the
// middle of the holds that do so at the span's middle. False when waiting loses nobody.
static bool FindSpan(float dt, int* pFirst, int* pLast, float* pHold)
{
    Scene scene;
    Look(&scene);
    if (scene.memberNum == 0) return false;
    const int frames = Frames(HUMAN_LOOK, dt);
    SimLoss loss;
    scene.Cost({0, 0, Frames(PLAN_INTERVAL, dt), frames}, dt, 1e9f, &loss);
    if (loss.frame > frames) return false;
    const float passX = loss.x;

    // A press moment clears the trouble when most of the holds tried lose no more troglins than the best
    // press (most often none): a moment that only one lucky hold gets through is not counted. Moments 50 ms
    // apart, then the span's edges to 10 ms. A press after the first trouble comes too late.
    float best    = 0.0f;
    auto clearing = [&](int d)
    {
        int n = 0;
        for (float seconds : HOLDS)
        {
            int hold = Frames(seconds, dt);
            if (scene.Cost({d, hold, d + hold, frames + d}, dt, best + 0.5f, nullptr, &passX) <= best + 1e-4f)
                ++n;
        }
        return n;
    };
    const int coarse = Frames(SPAN_COARSE, dt), fine = Frames(SPAN_STEP, dt);
    std::vector<int> counts;
    for (int d = 0; d < loss.frame; d += coarse) counts.push_back(clearing(d));
    if (*std::max_element(counts.begin(), counts.end()) == 0)
    {
        best = 1e9f;
        for (int d = 0; d < loss.frame; d += coarse)
            for (float seconds : HOLDS)
            {
                int hold = Frames(seconds, dt);
                best = std::min(best, scene.Cost({d, hold, d + hold, frames + d}, dt, best, nullptr, &passX));
            }
        for (size_t i = 0; i < counts.size(); ++i) counts[i] = clearing(int(i) * coarse);
    }
    const int need = std::min(SPAN_HOLDS, *std::max_element(counts.begin(), counts.end()));
    if (need == 0) return false;
    const int found =
        int(std::find_if(counts.begin(), counts.end(), [&](int n) { return n >= need; }) - counts.begin()) *
        coarse;
    auto clears = [&](int d) { return d >= 0 && d < loss.frame && clearing(d) >= need; };
    int first = found, last = found;
    while (clears(first - fine)) first -= fine;
    while (clears(last + coarse)) last += coarse;
    while (clears(last + fine)) last += fine;
    *pFirst = first;
    *pLast  = last;

    int aim  = (*pFirst + *pLast) / 2;
    float lo = -1.0f, hi = -1.0f;
    for (float seconds = HOLD_STEP; seconds <= 0.46f + 1e-4f; seconds += HOLD_STEP)
    {
        int hold = Frames(seconds, dt);
        if (scene.Cost({aim, hold, aim + hold, frames + aim}, dt, best + 0.5f, nullptr, &passX) <=
            best + 1e-4f)
        {
            if (lo < 0.0f) lo = seconds;
            hi = seconds;
        }
        else if (lo >= 0.0f)
            break;
    }
    *pHold = lo < 0.0f ? HOLDS[0] : (lo + hi) / 2.0f;
    return true;
}

// One step of the human model while the jump key is up: press when the decided moment comes, else look
// at what comes next every planning interval and decide once.
static void HumanTick(float dt)
{
    if (sPressIn < 0)
    {
        if (sPlanWait > 0)
        {
            --sPlanWait;
            return;
        }
        sPlanWait = Frames(HUMAN_LOOK_INTERVAL, dt) - 1;
        int first = 0, last = 0;
        float hold = 0.0f;
        if (!FindSpan(dt, &first, &last, &hold)) return;
        // Frame d of the span is pressed d steps after this one.
        float aim  = float(first + last) / 2.0f * dt + HumanUniform(-HUMAN_TIMING_ERROR, HUMAN_TIMING_ERROR);
        float held = std::max(HUMAN_HOLD_MIN, hold * HumanUniform(HUMAN_HOLD_LOW, HUMAN_HOLD_HIGH));
        sPressIn   = aim > 0.0f ? int(aim / dt + 0.5f) : 0;
        sPressHold = Frames(held, dt);
    }
    else
        --sPressIn;
    if (sPressIn == 0)
    {
        sPressIn = -1;
        KoInputOnKey(VK_UP, true);
        sHoldFrames = sPressHold;
    }
}

// How a run ends, by run count: after the game over by Restart, after the game over by Menu, then from
// the pause menu a few seconds into the run by Restart and by Menu (a run over before then leaves by
// the game-over screen's button of the same name). Each path is confirmed where the game asks.
enum RunEnd
{
    END_OVER_RESTART = 0,
    END_OVER_MENU,
    END_PAUSE_RESTART,
    END_PAUSE_MENU,
    END_KINDS
};
constexpr float PAUSE_AT = 5.0f; // seconds of running before a pause-menu ending
// Seconds of running after which the bot jumps no more, so that even a run it could keep up for ever ends
// at the next gap or monster and the game-over screen comes round.
constexpr float GIVE_UP_AT = 240.0f;

// A key tap (vk) or a left click on a button at its view position (vk 0; UI::ButtonPosition).
struct Action
{
    unsigned char vk;
    float x, y;
};

static int sRunCount = 0; // runs started
static Action sAct;       // the action under way
static int sActStep = 0;  // its next step: key down, key up; or mouse move, press, release
static int sMouseX = 0, sMouseY = 0;
static bool sLeftPaused = false; // this run is being left from the pause menu

static RunEnd CurrentEnd()
{
    return RunEnd((sRunCount - 1) % END_KINDS);
}
static bool EndsInMenu()
{
    RunEnd e = CurrentEnd();
    return e == END_OVER_MENU || e == END_PAUSE_MENU;
}

// The next thing to do on the game-over screen or in the pause menu: type the name and confirm it, then
// the chosen button, then Yes when the game asks "Really??"; while the run goes on, ESC brings up the pause
// menu. The buttons stand where the overlays' table puts them.
static Action NextAction()
{
    static const char name[] = "BOT";
    const UI::Screen screen  = UI::CurrentScreen();
    if (screen == UI::SCREEN_NAME_ENTRY)
    {
        size_t typed = gPlayerName.size();
        return typed < 3 ? Action{(unsigned char)name[typed], 0, 0} : Action{VK_RETURN, 0, 0};
    }
    const bool asked = screen == UI::SCREEN_ASK_RESTART || screen == UI::SCREEN_ASK_MENU ||
                       screen == UI::SCREEN_GAME_OVER_ASK_MENU;
    const unsigned button = asked ? UI::UI_TYPE_YES : EndsInMenu() ? UI::UI_TYPE_MENU : UI::UI_TYPE_RESTART;
    Action click          = {0, 0.0f, 0.0f};
    if (UI::ButtonPosition(screen, button, &click.x, &click.y)) return click;
    return {VK_ESCAPE, 0, 0};
}

// One step of the action under way, a step every few frames; a new action is chosen when the last one
// is complete, so a lost click is simply made again.
static void Act(float dt)
{
    if (sActWait > 0)
    {
        --sActWait;
        return;
    }
    sActWait = Frames(0.05f, dt);
    if (sActStep == 0) sAct = NextAction();
    int step = sActStep;
    if (sAct.vk)
    {
        KoInputOnKey(sAct.vk, step == 0);
        sActStep = (step + 1) % 2;
        return;
    }
    KoGfxLayoutViewToPixel(sAct.x, sAct.y, &sMouseX, &sMouseY);
    PushMouse(sMouseX, sMouseY, step == 1);
    sActStep = (step + 1) % 3;
}

// A fresh run: the jump key up, a new way of ending it.
void Init()
{
    if (!sEnabled) return;
    if (sHoldFrames > 0) KoInputOnKey(VK_UP, false);
    if (!sAct.vk && sActStep == 2) PushMouse(sMouseX, sMouseY, false); // the click that ended the last run
    if (sRunCount > 0)
        fprintf(stderr, "bot: run %d left by %s from the %s\n", sRunCount, EndsInMenu() ? "Menu" : "Restart",
                sLeftPaused ? "pause menu" : "game-over screen");
    ++sRunCount;
    sHoldFrames = 0;
    sPressIn    = -1;
    sPlanWait   = 0;
    sActWait    = 0;
    sActStep    = 0;
    sMenuTime   = 0.0f;
    sLeftPaused = false;
}

// In the main menu: once the menu takes clicks, the pointer goes onto Play, the button goes down and then
// up, each in a step of its own whatever the frame time (a press and a release in one input update would
// be no click); a lost click is made again a second later.
static void PlayMenu(float dt)
{
    if (sMenuStep == 0)
    {
        sMenuTime += dt;
        if (sMenuTime < 1.0f) return;
        sMenuTime = 0.0f;
    }
    PushMouse(KoGfxGetWindowWidth() / 2, KoGfxGetWindowHeight() / 2, sMenuStep == 1); // Play is at the centre
    sMenuStep = (sMenuStep + 1) % 3;
}

void Tick()
{
    const float dt = gFrameTime > 0.0f ? gFrameTime : 0.001f;
    if (gGameStateCurr == GS_MENU)
        PlayMenu(dt);
    else if (sMenuStep != 0) // the menu was left with the button down
    {
        PushMouse(KoGfxGetWindowWidth() / 2, KoGfxGetWindowHeight() / 2, false);
        sMenuStep = 0;
    }
    if (gGameStateCurr != GS_LEVEL) return;

    if (sSpaceDown)
    {
        KoInputOnKey(VK_SPACE, false);
        sSpaceDown = false;
        return;
    }
    const LevelRun& run = Run::Get();
    if (run.gameOver)
    {
        if (sHoldFrames > 0) KoInputOnKey(VK_UP, false);
        sHoldFrames = 0;
        if (run.frozen) Act(dt);
        return;
    }
    if (gTutorialShowing)
    {
        KoInputOnKey(VK_SPACE, true);
        sSpaceDown = true;
        return;
    }
    RunEnd end = CurrentEnd();
    if ((end == END_PAUSE_RESTART || end == END_PAUSE_MENU) && run.seconds >= PAUSE_AT)
    {
        if (sHoldFrames > 0) KoInputOnKey(VK_UP, false);
        sHoldFrames = 0;
        sLeftPaused = true;
        Act(dt);
        return;
    }
    if (run.paused || !gLeader || !gLeader->body) return;

    if (sHoldFrames > 0)
    {
        if (--sHoldFrames == 0) KoInputOnKey(VK_UP, false);
        return;
    }
    if (run.seconds >= GIVE_UP_AT) return;
    if (sHuman)
    {
        HumanTick(dt);
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
        KoInputOnKey(VK_UP, true);
        sHoldFrames = hold;
    }
    else
        sPlanWait = Frames(PLAN_INTERVAL, dt) - 1;
}

} // namespace Bot
