// Monsters and the sky: the monster and sky object types, the monster record and the level's monster
// list, the monster creator with its two power digits, the skull patrol, the weakening of a monster, and
// the monster and pickup pass that the level runs once per running frame (monsters, diamonds, removal
// of everything far behind the front troglin).
#pragma once

#include <vector>

struct GameObjInst;

// One record per monster laid in this run, from a fixed store. The record stays in gMonsterList after its
// monster is beaten or removed, as long as an axe may still be flying at it: pInst keeps pointing at the
// pool slot, which may by then be free or hold another instance. Use IsMonsterAlive before trusting pInst.
struct MonsterInfo
{
    GameObjInst* pInst; // the monster's instance (its pData points back here while it lives)
    int power;          // 0 or more
};

// The monster list, in creation order. The level empties it at Init (ResetMonsterList) and at Free
// (FreeMonsterList); the monster creator first takes out the records nothing can reach any more (monster
// gone, no axe flying at it) and gives them back to the store.
extern std::vector<MonsterInfo*> gMonsterList;

// Once per program run: the first monster, the first diamond ahead of the party (tutorial pages 2 and 3).
// False at program start, never reset.
extern bool gFirstMonsterSeen;
extern bool gFirstDiamondSeen;

// The highest power the two digits can show: larger powers are shown as 99.
const int MONSTER_POWER_SHOWN_MAX = 99;
// A power digit's scale in its owner's space (a monster or the party's badge, both at scale 2): one unit
// tall in the world.
const float POWER_DIGIT_SCALE = 0.5f;

namespace Factory
{
// Level Load: registers the monster types 17 to 25, then the digit types 7 to 16.
void LoadMonster();
// Level Load: registers the sky type 32.
void LoadBackground();
// Level Load: registers the party's digit types 33 to 42 (the power badge over the front troglin).
void LoadPartyDigits();

// Level Init: empties the monster list, every record back in the store; the list keeps room for as many
// records as the store holds, so it never grows during a run.
void ResetMonsterList();
// Level Free: the same.
void FreeMonsterList();

// Laying a map cell of value 17 to 25 (a monster type) with its centre at (cellX, cellY): the power
// comes from the type and gPartyPower, the monster stands a little above the cell centre, scale 2.
// The new record is appended to gMonsterList and returned. Other values return null and lay nothing.
MonsterInfo* LayMonster(int type, float cellX, float cellY);
// The power a monster of this type gets when laid while the party has partyPower troglins (-1 for a
// type that is not a monster).
int MonsterPowerFor(int type, int partyPower);

// Points two digit instances (children of a label's owner) at the digits of value, shown within 0..99,
// with the digit types from digit0 (TYPE_DIGIT_0 for monsters, TYPE_PARTY_DIGIT_0 for the party). A number
// below ten has no leading zero: its units digit stands alone in the middle and the tens digit is drawn at
// scale 0 (nothing).
void ShowNumber(GameObjInst* pTens, GameObjInst* pUnits, int value, unsigned digit0);

// The monster and pickup pass over the main pool (run by the level Update after the camera step).
// Returns true when a monster has just beaten the last troglin: gDeathCause is DEATH_BY_MONSTER, gGameOver is
// set, the particles have been updated, and the level's Update must end for this frame.
bool UpdateMonsters();
} // namespace Factory

// A monster of the type at (x, y) with the scale, its two power digits as children; returns its new
// record (not yet in the monster list: the caller appends it). A full pool ends the program, as does an
// empty record store (only records made and never listed can empty it).
MonsterInfo* CreateMonster(float x, float y, int power, int type, float scale);
// The sky, a screen-space instance behind everything; the level Init creates it first.
void CreateSky();
// One patrol step of a walking monster (patrolDir 1 or 2); others are left alone.
void PatrolMonster(GameObjInst* pInst);
// Lowers the monster's power by one unless it is 1 or less, and updates its digits if the monster is
// still alive.
void WeakenMonster(MonsterInfo* pInfo);
// The record's monster is still in play: its slot is active and still belongs to this record.
bool IsMonsterAlive(const MonsterInfo* pInfo);
