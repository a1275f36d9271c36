// Monsters: types, the monster list, the monster creator, patrol, weakening and the pass over the world's
// instances.
#include "level/Monsters.h"

#include <algorithm>

#include "engine/KoAssert.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "framework/MeshFile.h"
#include "framework/Sound.h"
#include "level/Hero.h"
#include "level/LevelRun.h"
#include "level/ParticleSys.h"
#include "level/Pickups.h"
#include "level/UI.h"

std::vector<MonsterInfo*> gMonsterList;
bool gFirstMonsterSeen = false;

namespace
{
// The monster records, handed out by the monster creator from a store that is filled once, so laying a
// chunk allocates nothing. Every monster takes three records of the main pool (itself and two digits), so
// at most a third of the pool can be monsters in play; an axe in flight may still hold a record whose
// monster is gone.
const int MONSTER_RECORD_NUM = GAME_OBJ_INST_NUM_MAX / 3 + AXE_SLOT_NUM;
MonsterInfo sMonsterRecords[MONSTER_RECORD_NUM];
MonsterInfo* sFreeRecords[MONSTER_RECORD_NUM]; // a stack of the records not in the monster list
int sFreeRecordNum = -1;                       // -1 until the store is first filled

bool AimedAt(const MonsterInfo* pInfo)
{
    for (const AxeSlot& slot : gAxes)
        if (slot.pAxe && slot.pTarget == pInfo) return true;
    return false;
}

// The records of monsters that are gone and that no axe is flying at leave the monster list (the others
// keep their order) and go back to the store: nothing can reach them any more.
void PruneMonsterList()
{
    size_t kept = 0;
    for (MonsterInfo* pInfo : gMonsterList)
    {
        bool stored = pInfo >= sMonsterRecords && pInfo < sMonsterRecords + MONSTER_RECORD_NUM;
        if (stored && !Monsters::IsAlive(pInfo) && !AimedAt(pInfo))
            sFreeRecords[sFreeRecordNum++] = pInfo;
        else
            gMonsterList[kept++] = pInfo;
    }
    gMonsterList.resize(kept);
}

// Digits float above the monster, in its own (scaled) space.
const float DIGIT_OFFSETX = 0.25f;
const float DIGIT_OFFSETY = 0.9f;

// Far-behind removal covers monsters, terrain, diamonds and flags.
const float FAR_BEHIND = 25.0f;
const float FAR_AHEAD  = 70.0f;
const float NEAR_BOX   = 3.0f;                // a member's box in which it swings at a monster
const float TOUCH_BOX  = MONSTER_TOUCH_REACH; // a monster's box

static_assert(TYPE_MONSTER_FIRST + MONSTER_KIND_NUM <= GAME_OBJ_NUM_MAX,
              "the monster types pass the type table");

bool IsMonsterType(uint32_t type)
{
    return type >= TYPE_MONSTER_FIRST && type < TYPE_MONSTER_FIRST + MONSTER_KIND_NUM;
}

int ClampShown(int value)
{
    if (value < 0) return 0;
    if (value > MONSTER_POWER_SHOWN_MAX) return MONSTER_POWER_SHOWN_MAX;
    return value;
}

GameObjInst* CreateDigit(GameObjInst* pParent, float x)
{
    Vec2 pos;
    Vec2Set(&pos, x, DIGIT_OFFSETY);
    GameObjInst* pDigit = CommonLevel::CreateInst(TYPE_DIGIT_0, POWER_DIGIT_SCALE, &pos, nullptr, 0.0f);
    pDigit->flag        = FLAG_ACTIVE | FLAG_CHILD | FLAG_WORLD;
    pDigit->pParent     = pParent;
    return pDigit;
}

// One monster against the party. Returns true when the last troglin has just been beaten.
bool MonsterContacts(GameObjInst* pInst)
{
    for (size_t i = 0; i < gHeroes.size() && pInst->pData; ++i)
    {
        Hero* pHero = &gHeroes[i];
        if (!IsInParty(*pHero)) continue;
        GameObjInst* pBody = pHero->body;
        if (KoTestRectToRect(&pBody->posCurr, NEAR_BOX, NEAR_BOX, &pInst->posCurr, TOUCH_BOX, TOUCH_BOX))
        {
            SwingHeroArm(pHero);
        }
        if (!Monsters::Touches(pInst->posCurr.x - pBody->posCurr.x, pInst->posCurr.y - pBody->posCurr.y,
                               0.0f))
            continue;
        MonsterInfo* pInfo = static_cast<MonsterInfo*>(pInst->pData);
        if (!Run::Get().invulnerable && gPartyPower < pInfo->power)
        {
            ParticleSys::EmitBurst(24, 0.3f, pBody->posCurr.x, pBody->posCurr.y);
            KillHero(pHero);
            if (gPartyPower <= 0)
            {
                Run::End(DEATH_BY_MONSTER);
                ParticleSys::Update();
                return true;
            }
        }
        else
        {
            ParticleSys::EmitBurst(10, 0.5f, pInst->posCurr.x, pInst->posCurr.y);
            CommonLevel::DestroyInst(pInst);
            Run::AddKill();
            SoundPlay(SND_SLASH, 0.0f);
        }
    }
    return false;
}

} // namespace

namespace Monsters
{
void Load()
{
    for (int k = 0; k < MONSTER_KIND_NUM; ++k)
    {
        char fileName[64];
        snprintf(fileName, sizeof fileName, "Meshes/%s", MONSTER_KINDS[k].mesh);
        uint32_t type = TYPE_MONSTER_FIRST + k;
        MeshLoadType(&sGameObjList[type], type, &sGameObjNum,
                     MONSTER_KINDS[k].round ? LoadMonsterMesh : LoadMesh, fileName, MESH_LOADER_MONSTERS,
                     __LINE__);
    }
    for (int d = 0; d < 10; ++d)
    {
        char fileName[32];
        snprintf(fileName, sizeof fileName, "Meshes/new-%dmesh.txt", d);
        uint32_t type = TYPE_DIGIT_0 + d;
        MeshLoadType(&sGameObjList[type], type, &sGameObjNum, LoadMesh, fileName, MESH_LOADER_MONSTERS,
                     __LINE__);
    }
}

void ResetList()
{
    gMonsterList.clear();
    gMonsterList.reserve(MONSTER_RECORD_NUM);
    for (int i = 0; i < MONSTER_RECORD_NUM; ++i)
        sFreeRecords[i] = &sMonsterRecords[MONSTER_RECORD_NUM - 1 - i];
    sFreeRecordNum = MONSTER_RECORD_NUM;
}

void FreeList()
{
    ResetList();
}

MonsterInfo* Lay(int code, float cellX, float cellY)
{
    const int kind = MonsterKindOfCode(code);
    if (kind < 0) return nullptr;
    const MonsterKind& row = MONSTER_KINDS[kind];
    MonsterInfo* pInfo     = Create(cellX, cellY + row.lift, MonsterPowerFor(row, gPartyPower), kind);
    gMonsterList.push_back(pInfo);
    return pInfo;
}

void ShowNumber(GameObjInst* pTens, GameObjInst* pUnits, int value, unsigned digit0)
{
    const int shown   = ClampShown(value);
    const bool tens   = shown >= 10;
    pTens->pObject    = &sGameObjList[digit0 + unsigned(shown / 10)];
    pUnits->pObject   = &sGameObjList[digit0 + unsigned(shown % 10)];
    pTens->scale      = tens ? POWER_DIGIT_SCALE : 0.0f;
    pUnits->posCurr.x = tens ? DIGIT_OFFSETX : 0.0f;
}

bool Update()
{
    if (!gLeader || !gLeader->body) return false;
    Vec2 leader = gLeader->body->posCurr;
    // The members' bounds as the pass starts (members only leave during it). A monster further from them
    // than a member's swing box reaches (with room for rounding) meets nobody: its contact test is skipped.
    const float reach = NEAR_BOX * 0.5f + TOUCH_BOX * 0.5f + 0.5f;
    float x0 = 0.0f, x1 = -1.0f, y0 = 0.0f, y1 = -1.0f;
    for (const Hero& hero : gHeroes)
    {
        if (!IsInParty(hero)) continue;
        const Vec2& p = hero.body->posCurr;
        if (x0 > x1) x0 = x1 = p.x, y0 = y1 = p.y;
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
    for (size_t i = 0, end = CommonLevel::ActiveEnd(); i < end; ++i)
    {
        GameObjInst& inst = sGameObjInstList[i];
        if (!(inst.flag & FLAG_ACTIVE)) continue;
        uint32_t type = inst.pObject->type;
        if (type >= TYPE_TERRAIN && inst.posCurr.x < leader.x - FAR_BEHIND)
        {
            CommonLevel::DestroyInst(&inst);
            continue;
        }
        if (IsMonsterType(type))
        {
            Patrol(&inst);
            MonsterInfo* pInfo = static_cast<MonsterInfo*>(inst.pData);
            if (pInfo && inst.posCurr.x > leader.x + FAR_AHEAD && pInfo->power > 2 * gPartyPower + 4)
                Weaken(pInfo);
            const Vec2& p = inst.posCurr;
            UI::HintAhead(&gFirstMonsterSeen, UI::TUTORIAL_MONSTER, p.x);
            bool near = p.x >= x0 - reach && p.x <= x1 + reach && p.y >= y0 - reach && p.y <= y1 + reach;
            if (near && MonsterContacts(&inst)) return true;
        }
        else if (type == TYPE_DIAMOND)
            Pickups::UpdateDiamond(&inst);
    }
    return false;
}

MonsterInfo* Create(float x, float y, int power, int kind)
{
    Vec2 pos;
    Vec2Set(&pos, x, y);
    GameObjInst* pInst =
        CommonLevel::CreateInst(TYPE_MONSTER_FIRST + kind, MONSTER_KINDS[kind].size, &pos, nullptr, 0.0f);
    pInst->flag = FLAG_ACTIVE | FLAG_WORLD;

    if (sFreeRecordNum < 0) ResetList();
    PruneMonsterList();
    // Every record is listed and in use: only records created and never listed can exhaust the store.
    KO_ASSERT_FN(sFreeRecordNum > 0, "Monsters::Create");
    MonsterInfo* pInfo = sFreeRecords[--sFreeRecordNum];
    *pInfo             = MonsterInfo{pInst, power};
    pInst->pData       = pInfo;

    pInst->patrolDir   = MONSTER_KINDS[kind].walks ? 1 : 0;
    pInst->patrolPhase = 0;
    pInst->patrolTimer = 0.0;

    pInst->pChild[0] = CreateDigit(pInst, -DIGIT_OFFSETX);
    pInst->pChild[1] = CreateDigit(pInst, DIGIT_OFFSETX);
    ShowNumber(pInst->pChild[0], pInst->pChild[1], power, TYPE_DIGIT_0);
    return pInfo;
}

void Patrol(GameObjInst* pInst)
{
    if (pInst->patrolDir != 1 && pInst->patrolDir != 2) return;
    double dt = gFrameTime;
    switch (pInst->patrolPhase)
    {
        case 0:
            pInst->patrolPhase = 1;
            break;
        case 1:
            pInst->patrolTimer -= dt;
            if (pInst->patrolTimer <= 0.0)
            {
                pInst->patrolPhase = 2;
                pInst->patrolTimer = PATROL_LEG_SECONDS;
            }
            pInst->velCurr.x = pInst->patrolDir == 1 ? -PATROL_SPEED : PATROL_SPEED;
            break;
        case 2:
            pInst->patrolTimer -= dt;
            if (pInst->patrolTimer <= 0.0)
            {
                pInst->patrolDir   = pInst->patrolDir == 1 ? 2 : 1;
                pInst->patrolPhase = 0;
            }
            break;
        default:
            break;
    }
}

void PatrolAhead(const GameObjInst& inst, float* pSpeed, float* pTurnIn)
{
    *pSpeed  = inst.patrolDir == 0 ? 0.0f : (inst.patrolDir == 1 ? -PATROL_SPEED : PATROL_SPEED);
    *pTurnIn = inst.patrolPhase == 2 ? float(inst.patrolTimer) : float(PATROL_LEG_SECONDS);
}

float PatrolX(float x, float speed, float turnIn, float t)
{
    if (speed == 0.0f || t <= turnIn) return x + speed * t;
    float turned = x + speed * turnIn;
    float since  = t - turnIn;
    int legs     = int(since); // whole legs of PATROL_LEG_SECONDS (1 s) since the turn
    float part   = since - float(legs);
    return (legs % 2 == 0) ? turned - speed * part : turned - speed + speed * part;
}

bool IsAlive(const MonsterInfo* pInfo)
{
    const GameObjInst* pInst = pInfo->pInst;
    return pInst && (pInst->flag & FLAG_ACTIVE) && pInst->pData == pInfo;
}

void Weaken(MonsterInfo* pInfo)
{
    if (pInfo->power <= 1) return;
    --pInfo->power;
    // A beaten or removed monster keeps its record, but its slot may now hold another monster whose
    // digits are not ours to change.
    if (!IsAlive(pInfo)) return;
    GameObjInst* pInst = pInfo->pInst;
    if (pInst->pChild[0] && pInst->pChild[1])
        ShowNumber(pInst->pChild[0], pInst->pChild[1], pInfo->power, TYPE_DIGIT_0);
}
} // namespace Monsters
