// Particles and thrown axes.
//
// Particles are short-lived decorations in a fixed pool of their own: dust behind flying axes, rings of
// skull heads where someone is beaten, stars around diamonds and invulnerable troglins. They drift at a
// constant velocity, halve their scale every 0.2 s and vanish; they never touch anything.
//
// Axes are thrown by the followers at strong monsters ahead. An axe flies a parabola that ends at the
// target's position of the moment of the throw and, when its time runs out, lowers that monster's power
// by one. Flying axes live in the gAxes slots; the level updates them each frame.
#pragma once

#include <cstdint>

#include "engine/KoMath.h"

struct GameObj;
struct GameObjInst;
struct MonsterInfo;
struct Hero;

const int PARTICLE_NUM_MAX = 1024;
const int AXE_SLOT_NUM     = 32;

struct Particle
{
    GameObj* pObject; // the particle's type
    uint32_t flag;    // FLAG_ACTIVE | FLAG_WORLD while alive, 0 when the slot is free
    float scale;
    Vec2 posCurr; // world position
    Vec2 velCurr; // units per second
    float dirCurr;
    Mtx33 transform; // recomputed every update
    float lifetime;  // seconds
    float age;       // seconds since emission or since the last halving
    int behaviour;   // 0 tumbling (dust, stars), 1 shrinking only (skull heads)
};

// Shared emitter clocks: 0 at program start, never reset.
extern float gTrailTimer;
extern float gSparkleTimer;

namespace ParticleSys
{
// Level Load: registers the particle types (dust, skull head, star).
void ParticleLoad();
// Level Load and Free: every particle slot free.
void ParticleFree();
// A pair of dust particles behind a flying axe, when the shared trail clock says so.
void EmitTrail(float spread, float x, float y);
// count skull heads on a circle of the radius around (x, y), flying outwards.
void EmitBurst(int count, float radius, float x, float y);
// A star near (x, y), at most one per 0.05 s over all callers.
void EmitSparkle(float spread, float x, float y);
// Ages, shrinks, moves and frees the particles, then applies the camera.
void Update();
// Draws the live particles additively, after the game instances.
void Draw();
// The 1024 particle records, in pool order (read-only view).
const Particle* ParticleList();
} // namespace ParticleSys

struct AxeSlot
{
    MonsterInfo* pTarget; // the monster aimed at
    GameObjInst* pAxe;    // the flying axe; null when the slot is free
    float timeLeft;       // seconds until the axe arrives
    Vec2 accel;           // constant acceleration of the flight (x is 0)
};

extern AxeSlot gAxes[AXE_SLOT_NUM];
extern int gAxesInFlight; // axes thrown and not yet arrived
extern float gThrowTimer; // shared by every follower; 0 at program start, never reset by a level

// Level Init: every axe slot free, nothing in flight (the instances go with the main pool).
void ResetAxes();
// The throw decision of a recruit-tile follower, once per frame from UpdateHero.
void ThrowAxe(Hero* pHero);
// Starts an axe in the slot: the throw sound and a weapon instance flying from pPos with pVel.
void SpawnAxe(AxeSlot* pSlot, const Vec2* pAccel, const Vec2* pVel, const Vec2* pPos, float time);
// One frame of a flying axe: spin, dust trail, flight, and the hit when its time runs out.
void UpdateAxe(AxeSlot* pSlot);
// The level's axe pass: UpdateAxe for every slot whose axe is set and active.
void UpdateAxes();
