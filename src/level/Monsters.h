// Monsters: the table of monster kinds, their object types, the monster record and the level's monster list,
// laying a monster from a map cell with its two power digits, the patrol, the weakening of a monster, and
// the pass the level runs once per running frame over the world's instances (monsters against the party,
// diamonds, removal of everything far behind the front troglin).
//
// The table and its checks need nothing but this header and level/Terrain.h, so the asset tools read it too.
#pragma once

#include <cmath>
#include <vector>

#include "level/Terrain.h"

struct GameObjInst;

// How strong a monster is laid: halves x (p / 2) + wholes x p + add, where p is the party's power at that
// moment and p / 2 rounds down.
struct PowerRule
{
    int halves, wholes, add;
};

// A kind of monster, one row of MONSTER_KINDS. Its object type is TYPE_MONSTER_FIRST + its row.
struct MonsterKind
{
    const char* name; // what the map drawings' legend and the tests call it
    const char* mesh; // its mesh file in Meshes/ ("NAMEmesh.txt", made from assets/meshes/NAMEmesh.sprite)
    bool round;       // drawn over the red disc: the mesh file holds rectangle records (LoadMonsterMesh)
    float size;       // the scale it is laid at
    int code;         // its map code
    char glyph;       // its character in the map drawings (assets/maps, tools/mapgen)
    float lift;       // how far above its cell centre it stands
    PowerRule power;
    bool walks; // it patrols, one second each way, first to the left; the others stand still
};

// Every kind of monster. A new kind is a row here (a map code and a drawing character no other cell has)
// and its sprite; the tile editor's palette shows the kinds in this order, after the two troglins.
// clang-format off
constexpr MonsterKind MONSTER_KINDS[] = {
    // name          mesh                  round  size  code glyph lift  power       walks
    {"monster",      "monstermesh.txt",    true,  2.0f, 17,  'm',  0.5f, {1, 0, 1},  false},
    {"squirrel",     "squirrelmesh.txt",   false, 2.0f, 18,  'q',  0.3f, {0, 1, 1},  false},
    {"skull",        "skullmesh.txt",      false, 2.0f, 19,  'k',  0.5f, {1, 1, 0},  true},
    {"skull 2",      "skull2mesh.txt",     false, 2.0f, 20,  'K',  0.4f, {1, 1, 1},  false},
    {"goblin",       "goblinmesh.txt",     false, 2.0f, 21,  'g',  0.2f, {1, 1, 2},  false},
    {"neon beast",   "neonbeastmesh.txt",  false, 2.0f, 22,  'n',  0.3f, {0, 2, 0},  false},
    {"neon beast 2", "neonbeast2mesh.txt", false, 2.0f, 23,  'N',  0.5f, {0, 2, 1},  false},
    {"dark mage",    "darkmagemesh.txt",   false, 2.0f, 24,  'w',  0.3f, {0, 2, 2},  false},
    {"princess",     "princessmesh.txt",   false, 2.0f, 25,  'P',  0.5f, {0, 0, 69}, false},
};
// clang-format on
constexpr int MONSTER_KIND_NUM = int(sizeof MONSTER_KINDS / sizeof MONSTER_KINDS[0]);

// The row of the kind with this map code, or -1 when no monster has it.
constexpr int MonsterKindOfCode(int code)
{
    for (int k = 0; k < MONSTER_KIND_NUM; ++k)
        if (MONSTER_KINDS[k].code == code) return k;
    return -1;
}

// The power a monster of the kind gets when laid while the party's power is partyPower.
constexpr int MonsterPowerFor(const MonsterKind& kind, int partyPower)
{
    return kind.power.halves * (partyPower / 2) + kind.power.wholes * partyPower + kind.power.add;
}

// Every monster has a map code and a drawing character of its own, apart from every other cell's; the
// character is one a drawing can hold in a row (printable, no ';', which starts a comment line).
constexpr bool MonsterCodesAndGlyphsAreTheirOwn()
{
    for (int k = 0; k < MONSTER_KIND_NUM; ++k)
    {
        const MonsterKind& kind = MONSTER_KINDS[k];
        if (kind.code == TILE_FLAG || kind.glyph <= ' ' || kind.glyph > '~' || kind.glyph == ';')
            return false;
        for (const MapGlyph& tile : TILE_GLYPHS)
            if (kind.code == tile.code || kind.glyph == tile.glyph) return false;
        for (int j = 0; j < k; ++j)
            if (kind.code == MONSTER_KINDS[j].code || kind.glyph == MONSTER_KINDS[j].glyph) return false;
    }
    return true;
}
static_assert(MonsterCodesAndGlyphsAreTheirOwn(), "a monster's map code or drawing character is taken");

// One record per monster laid in this run, from a fixed store. The record stays in gMonsterList after its
// monster is beaten or removed, as long as an axe may still be flying at it: pInst keeps pointing at the
// pool slot, which may by then be free or hold another instance. Use Monsters::IsAlive before trusting
// pInst.
struct MonsterInfo
{
    GameObjInst* pInst; // the monster's instance (its pData points back here while it lives)
    int power;          // 0 or more
};

// The monster list, in creation order. The level empties it at Init (Monsters::ResetList) and at Free
// (Monsters::FreeList); the monster creator first takes out the records nothing can reach any more (monster
// gone, no axe flying at it) and gives them back to the store.
extern std::vector<MonsterInfo*> gMonsterList;

// Once per program run: the first monster ahead of the party (tutorial page 2). False at program start,
// never reset.
extern bool gFirstMonsterSeen;

// The highest power the two digits can show: larger powers are shown as 99.
const int MONSTER_POWER_SHOWN_MAX = 99;
// A power digit's scale in its owner's space (a monster or the party's badge, both at scale 2): one unit
// tall in the world.
const float POWER_DIGIT_SCALE = 0.5f;
// A party member touches a monster when their centres lie within this of each other on both axes.
constexpr float MONSTER_TOUCH_REACH = 1.0f;
// A walking monster's patrol: its speed in units a second and how long it walks one way.
constexpr float PATROL_SPEED        = 1.0f;
constexpr double PATROL_LEG_SECONDS = 1.0;

namespace Monsters
{
// Level Load and tile editor Load: registers the monster types (TYPE_MONSTER_FIRST on), then the digit types.
void Load();

// Level Init: empties the monster list, every record back in the store; the list keeps room for as many
// records as the store holds, so it never grows during a run.
void ResetList();
// Level Free: the same.
void FreeList();

// Laying a map cell that holds a monster's code, with its centre at (cellX, cellY): the power comes from
// the kind's rule and gPartyPower, the monster stands its lift above the cell centre. The new record is
// appended to gMonsterList and returned. Other codes return null and lay nothing.
MonsterInfo* Lay(int code, float cellX, float cellY);

// Points two digit instances (children of a label's owner) at the digits of value, shown within 0..99,
// with the digit types from digit0 (TYPE_DIGIT_0 for monsters, TYPE_PARTY_DIGIT_0 for the party). A number
// below ten has no leading zero: its units digit stands alone in the middle and the tens digit is drawn at
// scale 0 (nothing).
void ShowNumber(GameObjInst* pTens, GameObjInst* pUnits, int value, unsigned digit0);

// The monster and pickup pass over the main pool (run by the level Update after the camera step).
// Returns true when a monster has just beaten the last troglin: the run has ended (Run::End with
// DEATH_BY_MONSTER), the particles have been updated, and the level's Update must end for this frame.
bool Update();

// A monster of the kind (a row of MONSTER_KINDS) at (x, y) with its two power digits as children; returns
// its new record (not yet in the monster list: the caller appends it). A full pool ends the program, as does
// an empty record store (only records made and never listed can empty it).
MonsterInfo* Create(float x, float y, int power, int kind);
// One patrol step of a walking monster (patrolDir 1 or 2); others are left alone. It walks at PATROL_SPEED
// one way for PATROL_LEG_SECONDS, then the other way.
void Patrol(GameObjInst* pInst);
// The walk ahead of a monster, for a prediction: its speed along x (0: it stands) and the seconds until it
// turns.
void PatrolAhead(const GameObjInst& inst, float* pSpeed, float* pTurnIn);
// Where a monster now at x, with that walk, stands t seconds from now.
float PatrolX(float x, float speed, float turnIn, float t);
// Lowers the monster's power by one unless it is 1 or less, and updates its digits if the monster is
// still alive.
void Weaken(MonsterInfo* pInfo);
// The record's monster is still in play: its slot is active and still belongs to this record.
bool IsAlive(const MonsterInfo* pInfo);
// A party member touches a monster whose centre lies (dx, dy) from its own: within MONSTER_TOUCH_REACH on
// both axes, widened by `margin` (0 in the game's contact check; the bot keeps a margin).
inline bool Touches(float dx, float dy, float margin)
{
    return std::fabs(dx) <= MONSTER_TOUCH_REACH + margin && std::fabs(dy) <= MONSTER_TOUCH_REACH + margin;
}
} // namespace Monsters
