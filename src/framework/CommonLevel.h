// Object types, instance records and the pools that hold them.
//
// An object type is a mesh with a numeric id; an instance is a fixed-size record in a pool (a plain array).
// The generic pool operations work on any pool given its base, its capacity and its record size; every
// pool record is a GameObjInst or a struct whose first member is a GameObjInst. The main type table and
// the main pool are shared by the level and the tile editor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/KoMath.h"

struct KoGfxVertexList;

struct GameObj
{
    uint32_t type;          // equal to the record's index in its type table
    KoGfxVertexList* pMesh; // owned by the type table; freed with KoGameObjFreeAll
};

struct GameObjInst
{
    GameObj* pObject;       // the instance's type: decides the mesh drawn
    uint32_t flag;          // FLAG_* bits; 0 means the slot is free
    float scale;            // uniform scale
    Vec2 posCurr;           // in the parent's space, or in world/screen space without a parent
    Vec2 velCurr;           // units per second, added to posCurr by the transform pass
    float dirCurr;          // rotation in radians, counter-clockwise
    Mtx33 transform;        // model to world (or screen), rebuilt every frame
    void* pData;            // owner record (a monster's MonsterInfo); not owned by the instance
    GameObjInst* pParent;   // used when FLAG_CHILD is set
    GameObjInst* pChild[2]; // owned: destroyed together with this instance
    int32_t patrolDir;      // 0 none, 1 moving left, 2 moving right
    int32_t patrolPhase;    // 0, 1 or 2
    double patrolTimer;     // seconds left in the current patrol phase
};

enum : uint32_t
{
    FLAG_ACTIVE     = 0x1, // slot in use: the only bit the pool operations test
    FLAG_HIT_TOP    = 0x2,
    FLAG_HIT_RIGHT  = 0x4,
    FLAG_HIT_BOTTOM = 0x8,
    FLAG_HIT_LEFT   = 0x10,
    FLAG_WORLD      = 0x20, // lives in world space: the camera applies
    FLAG_CHILD      = 0x40, // transform composed with pParent's
    FLAG_LANDED     = 0x80,
    FLAG_FALLING    = 0x100,
    FLAG_IN_PARTY   = 0x800,
    FLAG_JUMP_CUT   = 0x1000,
    FLAG_RUNNING    = 0x2000,
};

// Type ids of the main type table (the id is the index). They are not the values of a map's cells (the
// level's map codes, level/Terrain.h and level/Monsters.h).
enum
{
    TYPE_LEG_0          = 0,
    TYPE_LEG_1          = 1,
    TYPE_ARM_0          = 2,
    TYPE_ARM_1          = 3,
    TYPE_WEAPON         = 4,
    TYPE_LEADER_BODY    = 5,
    TYPE_TROGLIN_BODY   = 6,
    TYPE_DIGIT_0        = 7, // digit d is TYPE_DIGIT_0 + d
    TYPE_DIGIT_1        = 8,
    TYPE_DIGIT_2        = 9,
    TYPE_DIGIT_3        = 10,
    TYPE_DIGIT_4        = 11,
    TYPE_DIGIT_5        = 12,
    TYPE_DIGIT_6        = 13,
    TYPE_DIGIT_7        = 14,
    TYPE_DIGIT_8        = 15,
    TYPE_DIGIT_9        = 16,
    TYPE_PARTICLE_DUST  = 17,
    TYPE_PARTICLE_SKULL = 18,
    TYPE_PARTICLE_STAR  = 19,
    TYPE_SKY            = 20,
    TYPE_PARTY_DIGIT_0  = 21, // the party's power: digit d is TYPE_PARTY_DIGIT_0 + d (green; monsters' red)
    TYPE_TERRAIN        = 31, // from here on: what a map lays in the world apart from the troglins
    TYPE_DIAMOND        = 32,
    TYPE_FLAG           = 33,
    TYPE_MONSTER_FIRST  = 34, // the last types: monster kind k of the level's table is TYPE_MONSTER_FIRST + k
};

constexpr int GAME_OBJ_NUM_MAX      = 96;   // room of the main type table
constexpr int GAME_OBJ_INST_NUM_MAX = 4096; // main pool size

// The main type table and its fill counter: every type loader increments sGameObjNum by one.
extern GameObj sGameObjList[GAME_OBJ_NUM_MAX];
extern int sGameObjNum;
// The main pool, shared by the level and the tile editor (only one of them is loaded at a time).
extern GameObjInst sGameObjInstList[GAME_OBJ_INST_NUM_MAX];

// The game's camera: world position at the centre of the view and zoom (view = zoom * (p - camera)).
extern float gCamPosX; // starts at 0
extern float gCamPosY; // starts at 0
extern float gCamZoom; // starts at 1

// The name typed at the end of a run; emptied by CommonLevel::ResetAll.
extern std::string gPlayerName;

// Generic pool operations. pInstList is the pool base, instNum its capacity, instSize its record size.
// Takes the lowest free record: pObject = &pObjList[type], flag = FLAG_ACTIVE, scale, posCurr = *pPos or
// (0, 0), velCurr = *pVel or (0, 0), dirCurr; nothing else is touched. Null when the pool is full.
GameObjInst* KoGameObjInstCreate(uint32_t type, float scale, const Vec2* pPos, const Vec2* pVel, float dir,
                                 GameObj* pObjList, void* pInstList, size_t instNum, size_t instSize);
// Frees the record (flag 0); harmless on a free record. Returns the record.
GameObjInst* KoGameObjInstDestroy(GameObjInst* pInst);
// Every active record of the pool becomes free.
void KoGameObjInstDestroyAll(void* pInstList, size_t instNum, size_t instSize);
// Draws every active record in pool order with its transform, then sets the world transform back to the
// identity.
void KoGameObjInstDrawAll(void* pInstList, size_t instNum, size_t instSize);
// Frees the meshes of the first objNum types that have one (the pointers are left as they are): a table with
// types left out (the level has no flag, the tile editor no particles) is freed whole with GAME_OBJ_NUM_MAX.
void KoGameObjFreeAll(GameObj* pObjList, int objNum);
// Screen-space pass of a pool without parents or camera: every active record moves by velocity x dt and
// gets transform = T(pos) x R(dir) x S(scale).
void KoGameObjInstTransformAll(void* pInstList, size_t instNum, size_t instSize, float dt);

namespace CommonLevel
{
// Creates in the main pool: flag exactly FLAG_ACTIVE, pData, pParent and both pChild null. A full pool
// stops the program with the "pInst" check (exit code 1).
GameObjInst* CreateInst(uint32_t type, float scale, const Vec2* pPos, const Vec2* pVel, float dir);
// Names what fills the main pool (a map being laid; null for nothing): a CreateInst that finds the pool
// full first says on standard error which file overflowed it.
void SetPoolFiller(const char* what);
// Destroys both children (recursively), clears the links and frees the record. Nothing for null.
void DestroyInst(GameObjInst* pInst);
// DestroyInst on every record of the main pool, active or not: afterwards all are free with null links.
void DestroyAllInst();
// The per-frame movement and transform pass over the main pool (velocity, T*R*S, parent, camera).
void UpdateAllInst();
// One past the last record of the main pool that may be active (no record from there on is): the passes
// over the main pool stop here instead of walking all 4096 records.
size_t ActiveEnd();
// Load of the level and of the tile editor: empties the type table (sGameObjNum = 0), the main pool and
// gPlayerName.
void ResetAll();
} // namespace CommonLevel
