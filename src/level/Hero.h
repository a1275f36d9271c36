// The troglin party: hero types, the Hero record, the per-member update, walk cycle, removal and power badge.
#pragma once

#include <vector>

#include "framework/CommonLevel.h"

struct Hero
{
    float fallAccel;      // downward acceleration built up while airborne; 0 while standing
    float jumpTime;       // seconds the jump key has been held in the current jump
    float runPush;        // forward velocity added each frame
    double swingTimer;    // arm swing timer, seconds
    float wallTime;       // seconds since a wall last stood against the body's right side
    float airTime;        // seconds since the member last stood on the ground (0 while it stands)
    int jumpPress;        // the press (HeroJumpInput::press) of its last jump
    int kind;             // 5 = from the leader tile, 6 = from a recruit tile
    int order;            // 1 = front, 2, 3 ... behind it; 0 = not in the party
    const int* chunkMap;  // the 2800 cells of the map the member stands in
    GameObjInst* body;    // parent of legs and arms
    GameObjInst* legs[2]; // front leg, back leg
    GameObjInst* arms[2]; // front arm (holds the axe), back arm
    GameObjInst* weapon;  // the axe, child of the front arm
};

// Hero kinds, equal to the body type ids.
constexpr int HERO_KIND_LEADER  = 5;
constexpr int HERO_KIND_RECRUIT = 6;

// The jump and the run, acting once per update (1 ms on the steady clock): a member rises at
// HERO_JUMP_SPEED for as long as the jump key is held, at most HERO_JUMP_HOLD_SECONDS; while airborne its
// downward acceleration grows by HERO_GRAVITY_STEP every update. Each update it keeps HERO_SPEED_KEPT of its
// speed and gains the run push, so its speed settles at push / HERO_SPEED_LOST.
constexpr float HERO_JUMP_SPEED        = 11.0f;
constexpr float HERO_JUMP_HOLD_SECONDS = 0.45f;
constexpr float HERO_GRAVITY_STEP      = 0.07f;
constexpr float HERO_SPEED_KEPT        = 0.995f;
constexpr float HERO_SPEED_LOST        = 0.005f;
static_assert(HERO_SPEED_KEPT + HERO_SPEED_LOST == 1.0f, "the speed kept and the speed lost make the whole");

// When a troglin is lost: it fell below HERO_FALL_OUT_Y, or the camera ran more than HERO_LEFT_BEHIND ahead
// of it. The level's death checks and the bot's predictions ask these.
constexpr float HERO_FALL_OUT_Y  = 0.8f;
constexpr float HERO_LEFT_BEHIND = 17.5f;
inline bool HeroFellOut(Vec2 pos)
{
    return pos.y < HERO_FALL_OUT_Y;
}
inline bool HeroLeftBehind(Vec2 pos, float camX)
{
    return pos.x + HERO_LEFT_BEHIND < camX;
}

// A troglin left behind by the camera within this long of touching a wall was stopped by it.
constexpr float WALL_MEMORY_SECONDS = 0.5f;

// The party never grows beyond this; recruit tiles are ignored at this power.
constexpr int PARTY_POWER_MAX = 15;

// Records live until the level ends, except that laying a troglin first drops the records of troglins
// that are gone (no body), keeping the order of the others. gLeader points at the record whose order is 1
// (or at the last front troglin's record once the party is empty).
extern std::vector<Hero> gHeroes;
extern Hero* gLeader;
extern int gPartyPower;

extern double gStepTimer; // shared walk-cycle timer, never reset by a level
extern bool gStepToggle;
extern bool gFirstLandingSeen; // tutorial page 0 was requested (once per program run)
extern bool gFirstRecruitSeen; // tutorial page 1 was requested (once per program run)

// The badge over the front troglin and its tens and units digits.
extern GameObjInst* gPowerBadge;
extern GameObjInst* gPowerDigits[2];

// Registers types 0 to 6 (legs, arms, weapon, leader body, troglin body).
void LoadHero();
// Level Load: registers the party's digit types (the power badge over the front troglin).
void LoadPartyDigits();
// Fills a record already placed in gHeroes: kind 5 joins the party at once and builds the badge,
// kind 6 waits to be recruited. The caller places the body.
void CreateHero(Hero* record, int kind);
// Empties the party: no records, no leader, no badge, the power 0 (the level does it when a run starts
// and when the level ends).
void ResetParty();
// Lays a new troglin record at a cell centre: kind HERO_KIND_LEADER first in the list, in the party as a
// front troglin; HERO_KIND_RECRUIT appended, waiting.
void LayTroglin(int kind, float x, float y);
void UpdateHero(Hero* record);
// The party pass of a step: the jump input, then each troglin moved, animated and, when the camera has
// left it behind, removed; the run ends when that was the last. False when it ended (the step stops).
bool UpdateParty();
void AnimateHeroLegs(Hero* record);
void KillHero(Hero* record);
// The arm swing a member does near a monster or on key J: short for the front troglin, long for followers.
void SwingHeroArm(Hero* record);
// Keeps the badge on the front troglin and its digits on gPartyPower.
void UpdatePowerBadge();
// The record's troglin is in play as a party member.
inline bool IsInParty(const Hero& hero)
{
    return hero.body && (hero.body->flag & FLAG_IN_PARTY);
}

// The eight contact probes around a body centre: two above, two right, two below, two left, each with
// the contact flag it sets.
struct HeroProbe
{
    float dx, dy;
    uint32_t side;
};
extern const HeroProbe HERO_PROBES[8];
// World x of the start of the chunk a body at x stands in.
float HeroChunkStart(float x);
// The map cell a probe at (px, py) reads in the chunk starting at chunkX, or -1 when the point lies
// outside the chunk's 140 x 20 cells.
int HeroProbeCell(float chunkX, float px, float py);
// The contact flags (FLAG_HIT_*, and HERO_CONTACT_GROUND_NEAR) of a body at (x, y) against the solid tiles
// of a chunk map.
uint32_t HeroContacts(const int* map, float x, float y);

// The motion state of one member: what the per-frame rules read and write.
struct HeroMotion
{
    Vec2 pos, vel;
    uint32_t flag; // the body's flag bits
    float fallAccel, jumpTime, runPush;
    int order;
    float airTime; // see Hero
    int jumpPress;
};
// The jump keys (UP, SPACE or the pad's south button) in this step.
struct HeroKeys
{
    bool held, triggered, released;
};
HeroKeys HeroReadKeys();

// On the steady clock a press is kept a moment before a landing and a troglin that has just run off an edge
// can still jump; every member rises as long as the press was held, so every follower repeats each jump of
// the front troglin with it (or on landing up to JUMP_KEPT_SECONDS later), however short the press.
constexpr float JUMP_KEPT_SECONDS  = 0.1f;  // a press this long before the landing is taken on it
constexpr float JUMP_GRACE_SECONDS = 0.06f; // a press this long after running off an edge still jumps
// The body's feet are this close above the ground: it stands (between the contacts that snap it back up,
// a standing member sinks by up to a hundredth of a tile).
constexpr float HERO_STAND_DEPTH = 0.05f;
// HeroContacts' bit for ground within HERO_STAND_DEPTH below the feet; never kept in a body's flag.
constexpr uint32_t HERO_CONTACT_GROUND_NEAR = 0x80000000u;

// The party's jump key from step to step (one for the whole party: every member reads the same).
struct HeroJumpInput
{
    HeroKeys keys;   // this step's keys
    bool steady;     // the steady clock's rules (above); otherwise only keys count, frame by frame
    int press;       // the number of the last press
    float pressAge;  // seconds since it went down
    float pressHeld; // seconds it has been held (no longer growing once let go)
    bool pressDown;  // it is still held
};
extern HeroJumpInput gHeroJump;
// A fresh input: no press yet.
HeroJumpInput HeroJumpInputStart(bool steady);
// The input after one more step with these keys.
void HeroJumpInputStep(HeroJumpInput* in, const HeroKeys& keys, float dt);
// The jump keys held now count for nothing until they are let go (the pad's south button that pressed an
// overlay's Resume must not jump as well).
void HeroHoldBackJumpKeys();
enum : uint32_t
{
    HERO_EVENT_LANDED = 0x1, // touched ground after a jump or fall
    HERO_EVENT_JUMPED = 0x2, // rising on a held jump key
};
// One frame of a member's motion rules, before the movement pass: contacts (snap out of solid tiles,
// land), jump, gravity, following and the run push with damping. Returns HERO_EVENT_* bits.
uint32_t StepHeroMotion(HeroMotion* m, uint32_t contacts, const HeroJumpInput& in, float dt, float runSpeed,
                        float leaderX, float camX);
