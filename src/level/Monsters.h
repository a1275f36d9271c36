// Monsters: their object types, the monster record and the level's monster list, laying a monster from a
// map cell with its two power digits, the skull patrol, the weakening of a monster, and the pass the level
// runs once per running frame over the world's instances (monsters against the party, diamonds, removal of
// everything far behind the front troglin).
#pragma once

#include <vector>

struct GameObjInst;

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

namespace Monsters
{
// Level Load: registers the monster types 17 to 25, then the digit types 7 to 16.
void Load();

// Level Init: empties the monster list, every record back in the store; the list keeps room for as many
// records as the store holds, so it never grows during a run.
void ResetList();
// Level Free: the same.
void FreeList();

// Laying a map cell of value 17 to 25 (a monster type) with its centre at (cellX, cellY): the power
// comes from the type and gPartyPower, the monster stands a little above the cell centre, scale 2.
// The new record is appended to gMonsterList and returned. Other values return null and lay nothing.
MonsterInfo* Lay(int type, float cellX, float cellY);
// The power a monster of this type gets when laid while the party has partyPower troglins (-1 for a
// type that is not a monster).
int PowerFor(int type, int partyPower);

// Points two digit instances (children of a label's owner) at the digits of value, shown within 0..99,
// with the digit types from digit0 (TYPE_DIGIT_0 for monsters, TYPE_PARTY_DIGIT_0 for the party). A number
// below ten has no leading zero: its units digit stands alone in the middle and the tens digit is drawn at
// scale 0 (nothing).
void ShowNumber(GameObjInst* pTens, GameObjInst* pUnits, int value, unsigned digit0);

// The monster and pickup pass over the main pool (run by the level Update after the camera step).
// Returns true when a monster has just beaten the last troglin: gDeathCause is DEATH_BY_MONSTER, gGameOver is
// set, the particles have been updated, and the level's Update must end for this frame.
bool Update();

// A monster of the type at (x, y) with the scale, its two power digits as children; returns its new
// record (not yet in the monster list: the caller appends it). A full pool ends the program, as does an
// empty record store (only records made and never listed can empty it).
MonsterInfo* Create(float x, float y, int power, int type, float scale);
// One patrol step of a walking monster (patrolDir 1 or 2); others are left alone.
void Patrol(GameObjInst* pInst);
// Lowers the monster's power by one unless it is 1 or less, and updates its digits if the monster is
// still alive.
void Weaken(MonsterInfo* pInfo);
// The record's monster is still in play: its slot is active and still belongs to this record.
bool IsAlive(const MonsterInfo* pInfo);
} // namespace Monsters
