// Pickups: the diamond's object type and what taking a diamond does.
#pragma once

struct GameObjInst;

// Once per program run: the first diamond ahead of the party (tutorial page 3). False at program start,
// never reset.
extern bool gFirstDiamondSeen;

namespace Pickups
{
// Level Load and tile editor Load: registers the diamond type.
void Load();
// A diamond in play, once per running frame (the monster pass calls it for each one): it opens its tutorial
// page as it comes near, sparkles, and is taken by the first party member whose box touches it: ten seconds
// of invulnerability (RUN_INVULN_SECONDS), the banner at full strength, the level music paused.
void UpdateDiamond(GameObjInst* pDiamond);
} // namespace Pickups
