// Pickups: the diamond type and the diamond pickup.
#include "level/Pickups.h"

#include "framework/CommonLevel.h"
#include "framework/MeshFile.h"
#include "framework/Sound.h"
#include "level/Hero.h"
#include "level/LevelRun.h"
#include "level/ParticleSys.h"
#include "level/UI.h"

bool gFirstDiamondSeen = false;

// A party member takes a diamond when their boxes touch.
static const float MEMBER_BOX  = 2.0f;
static const float DIAMOND_BOX = 1.0f;

namespace Pickups
{
void Load()
{
    MeshLoadType(&sGameObjList[TYPE_DIAMOND], TYPE_DIAMOND, &sGameObjNum, LoadMesh, "Meshes/invulnmesh.txt",
                 MESH_LOADER_PICKUPS, __LINE__);
}

void UpdateDiamond(GameObjInst* pInst)
{
    UI::HintAhead(&gFirstDiamondSeen, UI::TUTORIAL_DIAMOND, pInst->posCurr.x);
    ParticleSys::EmitSparkle(1.0f, pInst->posCurr.x, pInst->posCurr.y);
    for (const Hero& hero : gHeroes)
    {
        if (!IsInParty(hero)) continue;
        if (!KoTestRectToRect(&hero.body->posCurr, MEMBER_BOX, MEMBER_BOX, &pInst->posCurr, DIAMOND_BOX,
                              DIAMOND_BOX))
            continue;
        Run::StartInvulnerability();
        UI::ShowBannerWhole();
        SoundPause(SND_DISTRESSED);
        CommonLevel::DestroyInst(pInst);
        // A taken diamond is gone: the members behind cannot take it a second time.
        return;
    }
}
} // namespace Pickups
