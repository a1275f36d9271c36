// Particles (dust, skull heads, stars) in their own pool, and the axes the followers throw.
#include "level/ParticleSys.h"

#include <cstdlib>
#include <cstring>

#include "engine/KoFrameRateController.h"
#include "engine/KoGraphics.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "framework/MeshFile.h"
#include "framework/Sound.h"
#include "level/Hero.h"
#include "level/Monsters.h"

float gTrailTimer   = 0.0f;
float gSparkleTimer = 0.0f;

AxeSlot gAxes[AXE_SLOT_NUM];
int gAxesInFlight; // emptied with the slots by ResetAxes
float gThrowTimer = 0.0f;

namespace
{

Particle sParticleList[PARTICLE_NUM_MAX];
int sParticleEnd  = 0; // one past the last slot in use
int sParticleFree = 0; // no slot below this one is free

const uint32_t PARTICLE_ALIVE    = FLAG_ACTIVE | FLAG_WORLD;
const uint32_t DUST_COLOUR       = 0xAA883311;
const float SHRINK_PERIOD        = 0.2f;  // seconds between two halvings
const float SCALE_GONE           = 0.01f; // at or below this a particle is freed
const float TUMBLE_SPEED         = 5.0f;  // radians per second
const float SPARKLE_PERIOD       = 0.05f;
const float TRAIL_PERIOD_PER_AXE = 0.01f;

enum
{
    BEHAVIOUR_TUMBLE = 0,
    BEHAVIOUR_SHRINK = 1,
};

// The lowest free slot, taken: the caller starts the particle in it.
Particle* FreeParticle()
{
    for (int i = sParticleFree; i < PARTICLE_NUM_MAX; ++i)
    {
        if (sParticleList[i].flag != 0) continue;
        sParticleFree = i + 1;
        if (i >= sParticleEnd) sParticleEnd = i + 1;
        return &sParticleList[i];
    }
    sParticleFree = PARTICLE_NUM_MAX;
    return nullptr;
}

void StartParticle(Particle* p, uint32_t type, float scale, float x, float y, float vx, float vy,
                   float lifetime, int behaviour)
{
    p->pObject = &sGameObjList[type];
    p->scale   = scale;
    p->dirCurr = 0.0f;
    Vec2Set(&p->posCurr, x, y);
    Vec2Set(&p->velCurr, vx, vy);
    p->flag      = PARTICLE_ALIVE;
    p->lifetime  = lifetime;
    p->age       = 0.0f;
    p->behaviour = behaviour;
}

// A point at a random angle and a random distance up to spread from (x, y).
Vec2 Scatter(float spread, float x, float y)
{
    float a = 2.0f * KO_PI * KoRandFloat();
    float d = KoRandFloat() * spread;
    Vec2 pos;
    Vec2Set(&pos, x + KoCos(a) * d, y + KoSin(a) * d);
    return pos;
}

// Axe flight.
const float AXE_SPEED        = 25.0f; // horizontal and initial vertical speed
const float AXE_SCALE        = 2.0f;
const float AXE_START_DIR    = -KO_PI / 4.0f;
const float AXE_SPIN         = KO_PI / 80.0f; // per frame
const float THROW_PERIOD     = 2.0f;
const float THROW_MIN_AHEAD  = 4.0f;  // a target must stand further ahead of the front troglin than this
const float THROW_SEARCH     = 30.0f; // nearest monster within this is considered
const float THROW_MAX_AHEAD  = 20.0f; // and thrown at only when nearer than this
const float THROW_MIN_FLIGHT = 0.5f;
const double THROW_SWING     = 0.5;
} // namespace

namespace ParticleSys
{
void ParticleLoad()
{
    GameObj* pDust = &sGameObjList[TYPE_PARTICLE_DUST];
    MeshTypeStart(pDust, TYPE_PARTICLE_DUST, &sGameObjNum);
    KoGfxTriAdd(0.5f, 0.0f, DUST_COLOUR, -0.5f, 0.5f, DUST_COLOUR, -0.5f, -0.5f, DUST_COLOUR);
    MeshTypeEnd(pDust, MESH_LOADER_PARTICLE_DUST, __LINE__);

    MeshLoadType(&sGameObjList[TYPE_PARTICLE_SKULL], TYPE_PARTICLE_SKULL, &sGameObjNum, LoadMesh,
                 "Meshes/skullheadmesh.txt", MESH_LOADER_PARTICLE, __LINE__);
    MeshLoadType(&sGameObjList[TYPE_PARTICLE_STAR], TYPE_PARTICLE_STAR, &sGameObjNum, LoadMesh,
                 "Meshes/starmesh.txt", MESH_LOADER_PARTICLE, __LINE__);
}

void ParticleFree()
{
    for (Particle& p : sParticleList) p.flag = 0;
    sParticleEnd  = 0;
    sParticleFree = 0;
}

void EmitTrail(float spread, float x, float y)
{
    gTrailTimer += gFrameTime;
    if (gTrailTimer < TRAIL_PERIOD_PER_AXE * gAxesInFlight) return;
    gTrailTimer = 0.0f;
    for (int i = 0; i < 2; ++i)
    {
        Vec2 pos    = Scatter(spread, x, y);
        Particle* p = FreeParticle();
        if (p) StartParticle(p, TYPE_PARTICLE_DUST, 0.4f, pos.x, pos.y, 0.5f, 0.8f, 2.0f, BEHAVIOUR_TUMBLE);
    }
}

void EmitBurst(int count, float radius, float x, float y)
{
    float step = 2.0f * KO_PI / count;
    for (int i = 0; i < count; ++i)
    {
        float a     = i * step;
        float c     = KoCos(a);
        float s     = KoSin(a);
        Particle* p = FreeParticle();
        if (p)
            StartParticle(p, TYPE_PARTICLE_SKULL, 0.8f, x + c * radius, y + s * radius, 2.0f * c, 2.0f * s,
                          10.0f, BEHAVIOUR_SHRINK);
    }
}

void EmitSparkle(float spread, float x, float y)
{
    gSparkleTimer += gFrameTime;
    if (gSparkleTimer < SPARKLE_PERIOD) return;
    Vec2 pos      = Scatter(spread, x, y);
    Particle* p   = FreeParticle();
    gSparkleTimer = 0.0f;
    if (p) StartParticle(p, TYPE_PARTICLE_STAR, 0.4f, pos.x, pos.y, 0.5f, 0.8f, 2.0f, BEHAVIOUR_TUMBLE);
}

void Update()
{
    // The camera's view zoom x (p - camera) as a zoom and a move.
    const float dt = gFrameTime, zoom = gCamZoom, moveX = -gCamZoom * gCamPosX, moveY = -gCamZoom * gCamPosY;
    const double spin = TUMBLE_SPEED * gKoFrameTime;
    int end           = 0;
    for (int i = 0; i < sParticleEnd; ++i)
    {
        Particle& p = sParticleList[i];
        if (!(p.flag & FLAG_ACTIVE)) continue;
        // A particle freed here still moves this once, so its last transform stays consistent.
        if (p.lifetime <= p.age || p.scale <= SCALE_GONE)
        {
            p.flag = 0;
            if (i < sParticleFree) sParticleFree = i;
        }
        else
            end = i + 1;
        p.age += dt;
        if (p.behaviour == BEHAVIOUR_TUMBLE)
        {
            p.dirCurr = float(p.dirCurr + spin);
            p.dirCurr = KoWrap(p.dirCurr, -KO_PI, KO_PI);
            if (p.age >= SHRINK_PERIOD)
            {
                p.age = 0.0f;
                p.scale *= 0.5f;
                // Stop drifting sideways or turn back, with equal odds.
                p.velCurr.x *= float((-rand()) % 2);
            }
        }
        else if (p.behaviour == BEHAVIOUR_SHRINK && p.age >= SHRINK_PERIOD)
        {
            p.age = 0.0f;
            p.scale *= 0.5f;
        }
        p.posCurr.x += p.velCurr.x * dt;
        p.posCurr.y += p.velCurr.y * dt;
        // The camera's view applies to the live ones.
        const bool alive = (p.flag & PARTICLE_ALIVE) == PARTICLE_ALIVE;
        Mtx33ViewTransRotScale(&p.transform, alive ? zoom : 1.0f, alive ? moveX : 0.0f, alive ? moveY : 0.0f,
                               p.posCurr.x, p.posCurr.y, p.dirCurr, p.scale);
    }
    sParticleEnd = end;
}

void Draw()
{
    for (int i = 0; i < sParticleEnd; ++i)
    {
        const Particle& p = sParticleList[i];
        if (!(p.flag & FLAG_ACTIVE)) continue;
        KoGfxSetBlendMode(KO_GFX_BM_ADD);
        KoGfxSetTransform(&p.transform);
        KoGfxTriDraw(p.pObject->pMesh);
        KoGfxSetBlendMode(KO_GFX_BM_NONE);
    }
}

const Particle* ParticleList()
{
    return sParticleList;
}
} // namespace ParticleSys

void ResetAxes()
{
    memset(gAxes, 0, sizeof(gAxes));
    gAxesInFlight = 0;
}

void ThrowAxe(Hero* pHero)
{
    if (gThrowTimer > THROW_PERIOD)
    {
        float leaderX       = gLeader->body->posCurr.x;
        float bestX         = leaderX + THROW_SEARCH;
        float bestY         = 0.0f;
        MonsterInfo* target = nullptr;
        for (MonsterInfo* pInfo : gMonsterList)
        {
            if (!Monsters::IsAlive(pInfo)) continue;
            const Vec2& pos = pInfo->pInst->posCurr;
            if (pos.x < bestX && pos.x > leaderX + THROW_MIN_AHEAD && pInfo->power > 1 &&
                pInfo->power > gPartyPower / 2)
            {
                target = pInfo;
                bestX  = pos.x;
                bestY  = pos.y;
            }
        }
        if (bestX < leaderX + THROW_MAX_AHEAD)
        {
            Vec2 from = pHero->body->posCurr;
            float t   = (bestX - from.x) / AXE_SPEED;
            // Too close to reach in a proper arc: wait, without advancing the shared clock.
            if (t < THROW_MIN_FLIGHT) return;
            for (AxeSlot& slot : gAxes)
            {
                if (slot.pAxe) continue;
                pHero->swingTimer = THROW_SWING;
                slot.pTarget      = target;
                Vec2 accel, vel;
                Vec2Set(&accel, 0.0f, 2.0f * ((bestY - from.y) - AXE_SPEED * t) / (t * t));
                Vec2Set(&vel, AXE_SPEED, AXE_SPEED);
                SpawnAxe(&slot, &accel, &vel, &from, t);
                ++gAxesInFlight;
                gThrowTimer = 0.0f;
                break;
            }
        }
    }
    gThrowTimer += gFrameTime;
}

void SpawnAxe(AxeSlot* pSlot, const Vec2* pAccel, const Vec2* pVel, const Vec2* pPos, float time)
{
    SoundPlay(SND_THROW_AXE, 0.0f);
    GameObjInst* pAxe = CommonLevel::CreateInst(TYPE_WEAPON, AXE_SCALE, pPos, pVel, AXE_START_DIR);
    pAxe->flag |= FLAG_WORLD;
    pSlot->pAxe     = pAxe;
    pSlot->accel    = *pAccel;
    pSlot->timeLeft = time;
}

void UpdateAxe(AxeSlot* pSlot)
{
    GameObjInst* pAxe = pSlot->pAxe;
    pAxe->dirCurr     = KoWrap(pAxe->dirCurr - AXE_SPIN, -KO_PI, KO_PI);
    ParticleSys::EmitTrail(1.0f, pAxe->posCurr.x, pAxe->posCurr.y);
    pSlot->timeLeft -= gFrameTime;
    pAxe->velCurr.y += pSlot->accel.y * gFrameTime;
    if (pSlot->timeLeft < 0.0f)
    {
        SoundPlay(SND_AXE_HIT, 0.0f);
        CommonLevel::DestroyInst(pAxe);
        pSlot->pAxe = nullptr;
        if (pSlot->pTarget && pSlot->pTarget->power > 1) Monsters::Weaken(pSlot->pTarget);
        --gAxesInFlight;
    }
}

void UpdateAxes()
{
    for (AxeSlot& slot : gAxes)
        if (slot.pAxe && (slot.pAxe->flag & FLAG_ACTIVE)) UpdateAxe(&slot);
}
