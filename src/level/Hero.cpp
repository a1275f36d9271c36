// The troglin party: each troglin is a Hero record owning six instances (body, two legs, two arms and the
// axe). Members probe the tile map around their body for ground, walls and recruits, jump together while
// the jump key is held, run on by a per-frame push, and keep one tile apart behind the front troglin.
#include "level/Hero.h"

#include <algorithm>
#include <cstdlib>

#include "engine/KoInput.h"
#include "framework/GameStateMgr.h"
#include "framework/MeshFile.h"
#include "framework/Sound.h"
#include "level/LevelRun.h"
#include "level/Monsters.h"
#include "level/ParticleSys.h"
#include "level/Terrain.h"
#include "level/UI.h"

std::vector<Hero> gHeroes;
Hero* gLeader; // with the party power and the badge, emptied by ResetParty
int gPartyPower;
GameObjInst* gPowerBadge;
GameObjInst* gPowerDigits[2];
double gStepTimer      = 0.2;
bool gStepToggle       = true;
bool gFirstLandingSeen = false;
bool gFirstRecruitSeen = false;

void LoadHero()
{
    static const char* const files[7] = {"Meshes/herolegmesh.txt", "Meshes/herolegmesh.txt",
                                         "Meshes/heroarmmesh.txt", "Meshes/heroarmmesh.txt",
                                         "Meshes/heroweapon.txt",  "Meshes/herobodymesh.txt",
                                         "Meshes/herobodymesh.txt"};
    for (uint32_t type = TYPE_LEG_0; type <= TYPE_TROGLIN_BODY; ++type)
        MeshLoadType(&sGameObjList[type], type, &sGameObjNum, LoadMesh, files[type], MESH_LOADER_HERO,
                     __LINE__);
}

void LoadPartyDigits()
{
    for (int d = 0; d < 10; ++d)
    {
        char fileName[48]; // room for any int, so the compiler sees no truncation
        snprintf(fileName, sizeof fileName, "Meshes/party-%dmesh.txt", d);
        uint32_t type = TYPE_PARTY_DIGIT_0 + d;
        MeshLoadType(&sGameObjList[type], type, &sGameObjNum, LoadMesh, fileName, MESH_LOADER_PARTY_DIGITS,
                     __LINE__);
    }
}

static const float POWER_BADGE_Y = 1.3f; // the party's number, in the badge's space (scale 2)

// A body part in world space, placed relative to its parent.
static GameObjInst* CreatePart(uint32_t type, GameObjInst* pParent, float x, float y, float scale, float dir)
{
    Vec2 pos           = {x, y};
    GameObjInst* pInst = CommonLevel::CreateInst(type, scale, &pos, nullptr, dir);
    pInst->flag |= FLAG_WORLD | FLAG_CHILD;
    pInst->pParent = pParent;
    return pInst;
}

void CreateHero(Hero* record, int kind)
{
    record->fallAccel  = 0.0f;
    record->jumpTime   = 0.0f;
    record->runPush    = 0.0f;
    record->swingTimer = 0.0;
    record->wallTime   = WALL_MEMORY_SECONDS;
    record->airTime    = 0.0f;
    record->jumpPress  = 0;
    record->kind       = kind;
    record->order      = 0;
    record->chunkMap   = nullptr;

    Vec2 origin = {0.0f, 0.0f};
    if (kind == HERO_KIND_LEADER)
    {
        record->body = CommonLevel::CreateInst(TYPE_LEADER_BODY, 2.0f, &origin, nullptr, 0.0f);
        record->body->flag |= FLAG_WORLD | FLAG_IN_PARTY;
        ++gPartyPower;
        record->order = 1;

        // One badge for the level: a later leader tile finds it built and it moves onto the new leader. Its
        // green number stands higher above the party than a monster's red one above the monster, so the
        // two never read as one.
        if (!gPowerBadge)
        {
            gPowerBadge = CommonLevel::CreateInst(TYPE_LEADER_BODY, 2.0f, &origin, nullptr, 0.0f);
            gPowerBadge->flag |= FLAG_WORLD;
            gPowerDigits[0] =
                CreatePart(TYPE_PARTY_DIGIT_0, gPowerBadge, -0.25f, POWER_BADGE_Y, POWER_DIGIT_SCALE, 0.0f);
            gPowerDigits[1] =
                CreatePart(TYPE_PARTY_DIGIT_0, gPowerBadge, 0.25f, POWER_BADGE_Y, POWER_DIGIT_SCALE, 0.0f);
        }
        Monsters::ShowNumber(gPowerDigits[0], gPowerDigits[1], gPartyPower, TYPE_PARTY_DIGIT_0);
    }
    else
    {
        record->body = CommonLevel::CreateInst(TYPE_TROGLIN_BODY, 2.0f, &origin, nullptr, 0.0f);
        record->body->flag |= FLAG_WORLD | FLAG_RUNNING;
    }

    // Parents before children, so the transform pass composes each part with this frame's parent.
    record->legs[0] = CreatePart(TYPE_LEG_0, record->body, 0.1f, -0.075f, 1.0f, 0.0f);
    record->legs[1] = CreatePart(TYPE_LEG_1, record->body, -0.1f, -0.075f, 1.0f, 0.0f);
    record->arms[0] = CreatePart(TYPE_ARM_0, record->body, 0.15f, 0.075f, 1.0f, 0.0f);
    record->arms[1] = CreatePart(TYPE_ARM_1, record->body, -0.15f, 0.075f, 1.0f, 0.0f);
    record->weapon  = CreatePart(TYPE_WEAPON, record->arms[0], 0.2f, -0.2f, 0.9f, -KO_PI / 2.0f);
}

// A new troglin record at a cell centre. The leader tile puts its record first, in the party as a front
// troglin; a recruit tile appends a waiting troglin. A leader tile laid while the party runs adds a second
// front troglin: the level keeps following the front troglin it had (the party pass takes the last record
// whose order is 1, and older leader records lie behind newer ones), so gLeader only goes to the new one
// when there is no front troglin left. The records of troglins that are gone (no body) go first, the
// others keeping their order: nothing reads them, and the list stays within the room the level keeps for
// it however long the run. gLeader points into gHeroes, so it is re-aimed whenever the list may have moved.
void LayTroglin(int kind, float x, float y)
{
    ptrdiff_t leaderIndex = gLeader ? gLeader - gHeroes.data() : -1;
    size_t kept           = 0;
    for (size_t i = 0; i < gHeroes.size(); ++i)
    {
        bool leader = ptrdiff_t(i) == leaderIndex;
        if (!gHeroes[i].body && !leader) continue;
        if (leader) leaderIndex = ptrdiff_t(kept);
        gHeroes[kept++] = gHeroes[i];
    }
    gHeroes.resize(kept);
    gHeroes.push_back(Hero{});
    Hero* pRecord = &gHeroes.back();
    if (kind == HERO_KIND_LEADER)
    {
        std::rotate(gHeroes.begin(), gHeroes.end() - 1, gHeroes.end());
        pRecord = &gHeroes.front();
        if (leaderIndex >= 0) ++leaderIndex;
        if (leaderIndex < 0 || gHeroes[size_t(leaderIndex)].order < 1) leaderIndex = 0;
    }
    if (leaderIndex >= 0) gLeader = &gHeroes[size_t(leaderIndex)];
    CreateHero(pRecord, kind);
    pRecord->body->posCurr.x = x;
    pRecord->body->posCurr.y = y;
}

void ResetParty()
{
    gHeroes.clear();
    gHeroes.reserve(48);
    gLeader         = nullptr;
    gPowerBadge     = nullptr;
    gPowerDigits[0] = gPowerDigits[1] = nullptr;
    gPartyPower                       = 0;
}

int HeroProbeCell(float chunkX, float px, float py)
{
    // Column and row truncate toward zero, so a point just left of the chunk start still reads column 0.
    // A point at or beyond the chunk's right edge reads nothing: on the bottom row it would lie past the
    // last cell, on the others in the next row.
    int column = int(px - chunkX);
    int row    = 19 - int(py);
    if (column < 0 || column >= MAP_WIDTH || row < 0 || row >= MAP_HEIGHT) return -1;
    return row * MAP_WIDTH + column;
}

const HeroProbe HERO_PROBES[8] = {
    {0.25f, 0.49f, FLAG_HIT_TOP},    {-0.25f, 0.49f, FLAG_HIT_TOP},    {0.49f, 0.25f, FLAG_HIT_RIGHT},
    {0.49f, -0.25f, FLAG_HIT_RIGHT}, {0.25f, -0.49f, FLAG_HIT_BOTTOM}, {-0.25f, -0.49f, FLAG_HIT_BOTTOM},
    {-0.49f, 0.25f, FLAG_HIT_LEFT},  {-0.49f, -0.25f, FLAG_HIT_LEFT},
};

float HeroChunkStart(float x)
{
    return float(int(x) / MAP_WIDTH * MAP_WIDTH);
}

// The highest place taken in the party (0 when it is empty). With one front troglin it is gPartyPower;
// a second front troglin (a leader tile laid later) shares place 1.
static int LastPlace()
{
    int last = 0;
    for (const Hero& h : gHeroes) last = std::max(last, h.order);
    return last;
}

// A member whose probe cell (or a neighbour) holds a recruit tile takes in the first waiting troglin
// standing in that column.
static void RecruitCheck(Hero* record, const int* map, int cell, float chunkX)
{
    static const int offsets[9] = {
        0, -1, 1, MAP_WIDTH, MAP_WIDTH - 1, MAP_WIDTH + 1, -MAP_WIDTH, -MAP_WIDTH - 1, -MAP_WIDTH + 1};
    for (int offset : offsets)
    {
        int c = cell + offset;
        if (c <= 0 || c >= MAP_CELLS || map[c] != TILE_RECRUIT) continue;

        float tx = chunkX + float(cell % MAP_WIDTH);
        for (Hero& h : gHeroes)
        {
            if (!h.body || (h.body->flag & FLAG_IN_PARTY)) continue;
            float bx = h.body->posCurr.x;
            if (bx > tx && bx < tx + 1.0f)
            {
                h.body->flag |= FLAG_IN_PARTY;
                ++gPartyPower;
                h.order           = LastPlace() + 1;
                h.body->velCurr.x = record->body->velCurr.x * 0.5f;
                SoundPlay(rand() % 7 + SND_GROAN1, 0.0f);
                break;
            }
        }
        return;
    }
}

void SwingHeroArm(Hero* record)
{
    record->swingTimer = record->order == 1 ? 0.05 : 0.5;
}

uint32_t HeroContacts(const int* map, float x, float y)
{
    uint32_t contacts = 0;
    float chunkX      = HeroChunkStart(x);
    for (const HeroProbe& probe : HERO_PROBES)
    {
        int cell = HeroProbeCell(chunkX, x + probe.dx, y + probe.dy);
        if (cell >= 0 && map && map[cell] == TILE_TERRAIN) contacts |= probe.side;
    }
    for (float dx : {-0.25f, 0.25f})
    {
        int cell = HeroProbeCell(chunkX, x + dx, y - 0.49f - HERO_STAND_DEPTH);
        if (cell >= 0 && map && map[cell] == TILE_TERRAIN) contacts |= HERO_CONTACT_GROUND_NEAR;
    }
    return contacts;
}

static const unsigned char JUMP_KEYS[] = {VK_UP, VK_SPACE, VK_PAD_A};
static bool sJumpKeyHeldBack[sizeof JUMP_KEYS];

void HeroHoldBackJumpKeys()
{
    for (size_t k = 0; k < sizeof JUMP_KEYS; ++k) sJumpKeyHeldBack[k] = KoInputCheckCurr(JUMP_KEYS[k]);
}

HeroKeys HeroReadKeys()
{
    HeroKeys keys{};
    // UP, SPACE or the pad's south button, whichever is held (and not held back).
    for (size_t k = 0; k < sizeof JUMP_KEYS; ++k)
    {
        const unsigned char vk = JUMP_KEYS[k];
        sJumpKeyHeldBack[k]    = sJumpKeyHeldBack[k] && KoInputCheckCurr(vk);
        if (sJumpKeyHeldBack[k]) continue;
        keys.held      = keys.held || KoInputCheckCurr(vk);
        keys.triggered = keys.triggered || KoInputCheckTriggered(vk);
        keys.released  = keys.released || KoInputCheckReleased(vk);
    }
    return keys;
}

HeroJumpInput gHeroJump;

HeroJumpInput HeroJumpInputStart(bool steady)
{
    HeroJumpInput in{};
    in.steady   = steady;
    in.pressAge = 1e6f;
    return in;
}

void HeroJumpInputStep(HeroJumpInput* in, const HeroKeys& keys, float dt)
{
    in->keys     = keys;
    in->pressAge = std::min(in->pressAge + dt, 1e6f);
    if (keys.triggered)
    {
        ++in->press;
        in->pressAge  = 0.0f;
        in->pressHeld = 0.0f;
        in->pressDown = true;
    }
    if (!keys.held) in->pressDown = false;
    if (in->pressDown) in->pressHeld += dt;
}

// The jump on the steady clock: a member that stands, or ran off an edge JUMP_GRACE_SECONDS ago at most,
// takes off on a press JUMP_KEPT_SECONDS old at most that it has not jumped on, or while the key is held;
// it rises at HERO_JUMP_SPEED until it has risen as long as the press was held (HERO_JUMP_HOLD_SECONDS at
// most), then falls until the next landing.
static uint32_t SteadyJump(HeroMotion* m, const HeroJumpInput& in, bool standing, float dt)
{
    // Seconds off the ground before this step: 0 in the first step without it.
    const bool canTakeOff = (m->flag & FLAG_LANDED) && (standing || m->airTime <= JUMP_GRACE_SECONDS + 1e-4f);
    m->airTime            = standing ? 0.0f : std::min(m->airTime + dt, 1e6f);
    if (canTakeOff &&
        ((in.press != m->jumpPress && in.pressAge <= JUMP_KEPT_SECONDS + 1e-4f) || in.keys.held))
    {
        m->flag &= ~(FLAG_LANDED | FLAG_JUMP_CUT);
        m->jumpTime  = 0.0f;
        m->jumpPress = in.press;
    }
    if (m->flag & (FLAG_LANDED | FLAG_JUMP_CUT)) return 0;
    if (m->jumpPress == in.press && m->jumpTime < HERO_JUMP_HOLD_SECONDS &&
        (in.pressDown || m->jumpTime < in.pressHeld))
    {
        m->jumpTime += dt;
        m->vel.y = HERO_JUMP_SPEED;
        return HERO_EVENT_JUMPED;
    }
    m->flag |= FLAG_JUMP_CUT;
    return 0;
}

uint32_t StepHeroMotion(HeroMotion* m, uint32_t contacts, const HeroJumpInput& in, float dt, float runSpeed,
                        float leaderX, float camX)
{
    const HeroKeys& keys = in.keys;
    uint32_t events      = 0;
    const bool standing =
        (contacts & FLAG_HIT_BOTTOM) || ((contacts & HERO_CONTACT_GROUND_NEAR) && m->vel.y <= 0.0f);
    m->flag |= contacts & ~HERO_CONTACT_GROUND_NEAR;
    if (m->flag & FLAG_HIT_TOP)
    {
        m->pos.y = float(int(m->pos.y)) + 0.5f;
        m->vel.y = 0.0f;
        m->flag &= ~FLAG_HIT_TOP;
    }
    if (m->flag & FLAG_HIT_BOTTOM)
    {
        m->flag |= FLAG_RUNNING;
        if (!(m->flag & FLAG_LANDED)) events |= HERO_EVENT_LANDED;
        m->flag |= FLAG_LANDED;
        m->fallAccel = 0.0f;
        m->flag &= ~FLAG_JUMP_CUT;
        m->jumpTime = 0.0f;
        m->pos.y    = float(int(m->pos.y)) + 0.5f;
        if (!keys.triggered) m->vel.y = 0.0f;
        m->flag &= ~FLAG_HIT_BOTTOM;
    }
    if (m->flag & FLAG_HIT_RIGHT)
    {
        m->pos.x = float(int(m->pos.x)) + 0.5f;
        m->vel.x = 0.0f;
        m->flag &= ~FLAG_HIT_RIGHT;
    }
    if (m->flag & FLAG_HIT_LEFT)
    {
        m->pos.x = float(int(m->pos.x)) + 0.5f;
        m->vel.x = 0.0f;
        m->flag &= ~FLAG_HIT_LEFT;
    }

    if (m->vel.y < 0.0f)
        m->flag |= FLAG_FALLING;
    else
        m->flag &= ~FLAG_FALLING;

    // Jump: the upward speed holds while the key is held, for at most HERO_JUMP_HOLD_SECONDS of holding.
    if (in.steady)
        events |= SteadyJump(m, in, standing, dt);
    else if (keys.held && !(m->flag & FLAG_FALLING) && m->jumpTime < HERO_JUMP_HOLD_SECONDS &&
             !(m->flag & FLAG_JUMP_CUT))
    {
        m->flag &= ~FLAG_LANDED;
        m->jumpTime += dt;
        m->vel.y = HERO_JUMP_SPEED;
        events |= HERO_EVENT_JUMPED;
    }

    // Gravity grows by a fixed step every frame while airborne.
    m->fallAccel -= HERO_GRAVITY_STEP;
    m->vel.y += m->fallAccel * dt;

    if (keys.released && !in.steady) m->flag |= FLAG_JUMP_CUT;
    if (m->flag & FLAG_RUNNING) m->runPush = runSpeed;

    // Followers keep one tile apart behind the front troglin.
    if (m->order != 1)
    {
        float d = m->pos.x - leaderX;
        if (m->pos.x + 13.0f > camX && d > 1.1f - float(m->order)) m->vel.x -= 5.0f * dt;
        if (d < 0.9f - float(m->order)) m->vel.x += 8.0f * dt;
    }

    // Push and damping act once per update: the speed settles at runPush / HERO_SPEED_LOST.
    m->vel.x = m->vel.x * HERO_SPEED_KEPT + m->runPush;
    return events;
}

void UpdateHero(Hero* record)
{
    GameObjInst* body = record->body;
    if (!body || !(body->flag & FLAG_IN_PARTY)) return;
    const float dt = gFrameTime;

    if (HeroFellOut(body->posCurr))
    {
        KillHero(record);
        if (gPartyPower <= 0) Run::End(DEATH_FELL);
        return;
    }

    // Contacts with the solid tiles of the member's chunk map, and recruits next to the probes.
    const int* map    = record->chunkMap;
    uint32_t contacts = HeroContacts(map, body->posCurr.x, body->posCurr.y);
    record->wallTime  = (contacts & FLAG_HIT_RIGHT) ? 0.0f : std::min(record->wallTime + dt, 1e6f);
    if (map)
    {
        float chunkX = HeroChunkStart(body->posCurr.x);
        for (const HeroProbe& probe : HERO_PROBES)
        {
            int cell = HeroProbeCell(chunkX, body->posCurr.x + probe.dx, body->posCurr.y + probe.dy);
            if (cell >= 0 && gPartyPower < PARTY_POWER_MAX) RecruitCheck(record, map, cell, chunkX);
        }
    }

    HeroMotion m      = {body->posCurr,   body->velCurr, body->flag,      record->fallAccel, record->jumpTime,
                         record->runPush, record->order, record->airTime, record->jumpPress};
    float leaderX     = gLeader && gLeader->body ? gLeader->body->posCurr.x : body->posCurr.x;
    uint32_t events   = StepHeroMotion(&m, contacts, gHeroJump, dt, Run::Get().speed, leaderX, gCamPosX);
    body->posCurr     = m.pos;
    body->velCurr     = m.vel;
    body->flag        = m.flag;
    record->fallAccel = m.fallAccel;
    record->jumpTime  = m.jumpTime;
    record->runPush   = m.runPush;
    record->airTime   = m.airTime;
    record->jumpPress = m.jumpPress;

    if (events & HERO_EVENT_LANDED)
    {
        SoundPlay(SND_JUMP_LAND, 0.0f);
        if (!gFirstLandingSeen && gTutorialEnabled)
        {
            UI::RequestTutorial(UI::TUTORIAL_WELCOME);
            gFirstLandingSeen = true;
        }
    }
    if ((events & HERO_EVENT_JUMPED) && record->legs[0]->dirCurr < 0.8f)
    {
        record->legs[0]->dirCurr += 2.0f * dt;
        record->legs[1]->dirCurr -= 2.0f * dt;
    }
    if (record->order != 1 && record->kind == HERO_KIND_RECRUIT) ThrowAxe(record);

    // Arm swing: the front troglin carries the axe lowered and lifts it briefly; followers carry it raised
    // and strike it down for half a second after a throw.
    record->swingTimer -= dt;
    float& r = record->arms[0]->dirCurr;
    if (record->order == 1)
    {
        if (record->swingTimer >= 0.0 && r < KO_PI) r += KO_PI / 60.0f;
        if (record->swingTimer < 0.0 && r > 0.0f) r -= KO_PI / 20.0f;
    }
    else
    {
        if (record->swingTimer >= 0.0 && r > 0.0f) r -= KO_PI / 30.0f;
        if (record->swingTimer < 0.0 && r < KO_PI) r += KO_PI / 120.0f;
    }

    if (KoInputCheckTriggered(VK_J))
    {
        SwingHeroArm(record);
        SoundPlay(SND_SLASH, 0.0f);
    }
}

bool UpdateParty()
{
    HeroJumpInputStep(&gHeroJump, HeroReadKeys(), gFrameTime);
    for (size_t i = 0; i < gHeroes.size(); ++i)
    {
        Hero* h = &gHeroes[i];
        if (!h->body) continue;
        if (h->order == 1) gLeader = h;
        // The map of the chunk the member stands in, also when the party is spread over several chunks.
        if (const int* map = Terrain::MapAt(h->body->posCurr.x)) h->chunkMap = map;
        if ((h->body->flag & FLAG_IN_PARTY) && Run::Get().invulnerable)
            ParticleSys::EmitSparkle(1.0f, h->body->posCurr.x, h->body->posCurr.y);
        if ((h->body->flag & (FLAG_ACTIVE | FLAG_IN_PARTY)) == FLAG_ACTIVE) // a troglin waiting to join
            UI::HintAhead(&gFirstRecruitSeen, UI::TUTORIAL_RECRUIT, h->body->posCurr.x);
        UpdateHero(h);
        AnimateHeroLegs(h);
        // Left behind by the camera. A body already removed (the last front troglin keeps its record's
        // body pointer for the camera) is not removed again.
        if (h->body && (h->body->flag & FLAG_ACTIVE) && HeroLeftBehind(h->body->posCurr, gCamPosX))
        {
            const bool atWall = h->wallTime < WALL_MEMORY_SECONDS;
            KillHero(h);
            if (gPartyPower <= 0)
            {
                Run::End(atWall ? DEATH_WALL : DEATH_LEFT);
                return false;
            }
        }
    }
    return true;
}

void AnimateHeroLegs(Hero* record)
{
    GameObjInst* body = record->body;
    if (!body || (body->flag & (FLAG_IN_PARTY | FLAG_LANDED)) != (FLAG_IN_PARTY | FLAG_LANDED)) return;
    const float dt = gFrameTime;
    if (record->legs[0]->dirCurr > 0.0f)
    {
        record->legs[0]->dirCurr -= 8.0f * dt;
        record->legs[1]->dirCurr += 8.0f * dt;
    }
    gStepTimer -= double(dt) / gPartyPower;
    if (gStepTimer <= 0.0)
    {
        gStepTimer  = 0.1;
        gStepToggle = !gStepToggle;
    }
    record->legs[0]->posCurr.y = gStepToggle ? -0.025f : -0.075f;
    record->legs[1]->posCurr.y = gStepToggle ? -0.075f : -0.025f;
}

void KillHero(Hero* record)
{
    GameObjInst* body = record->body;
    if (!body) return;
    if (body->flag & FLAG_IN_PARTY)
    {
        --gPartyPower;
        Run::StartShake();
        SoundPlay(SND_GROAN1, 0.0f);
        // Another front troglin (from a leader tile laid later) takes over as the leader, and the places
        // behind stay as they are; otherwise everyone behind moves up one place.
        Hero* otherFront = nullptr;
        if (record->order == 1)
            for (Hero& h : gHeroes)
                if (&h != record && h.order == 1) otherFront = &h;
        if (otherFront)
        {
            if (gLeader == record) gLeader = otherFront;
        }
        else
            for (Hero& h : gHeroes)
            {
                if (h.order > record->order)
                {
                    --h.order;
                    if (h.order == 1) gLeader = &h;
                }
            }
        record->order = 0;
    }
    record->fallAccel  = 0.0f;
    record->jumpTime   = 0.0f;
    record->runPush    = 0.0f;
    record->swingTimer = 0.0;

    GameObjInst** parts[5] = {&record->legs[0], &record->legs[1], &record->arms[0], &record->arms[1],
                              &record->weapon};
    for (GameObjInst** part : parts)
    {
        CommonLevel::DestroyInst(*part);
        *part = nullptr;
    }

    // The front troglin's record keeps its (now inactive) body, so the camera and the badge still find
    // the last position once the party is empty.
    CommonLevel::DestroyInst(body);
    if (!gLeader || gLeader->body != body) record->body = nullptr;
}

void UpdatePowerBadge()
{
    if (!gPowerBadge || !gLeader || !gLeader->body) return;
    gPowerBadge->posCurr = gLeader->body->posCurr;
    gPowerBadge->velCurr = gLeader->body->velCurr;
    Monsters::ShowNumber(gPowerDigits[0], gPowerDigits[1], gPartyPower, TYPE_PARTY_DIGIT_0);
}
