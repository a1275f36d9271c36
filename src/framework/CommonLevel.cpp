#include "framework/CommonLevel.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/KoAssert.h"
#include "engine/KoGraphics.h"
#include "framework/GameStateMgr.h"

GameObj sGameObjList[GAME_OBJ_NUM_MAX];
int sGameObjNum = 0;
GameObjInst sGameObjInstList[GAME_OBJ_INST_NUM_MAX];
// One past the last record of the main pool that may be active: every create moves it on, the transform
// pass brings it back to the last active record, emptying the pool to 0.
static size_t sMainEnd = 0;

float gCamPosX = 0.0f;
float gCamPosY = 0.0f;
float gCamZoom = 1.0f;

std::string gPlayerName;

static GameObjInst* PoolRecord(void* pInstList, size_t index, size_t instSize)
{
    return reinterpret_cast<GameObjInst*>(static_cast<char*>(pInstList) + index * instSize);
}

GameObjInst* KoGameObjInstCreate(uint32_t type, float scale, const Vec2* pPos, const Vec2* pVel, float dir,
                                 GameObj* pObjList, void* pInstList, size_t instNum, size_t instSize)
{
    for (size_t i = 0; i < instNum; ++i)
    {
        GameObjInst* pInst = PoolRecord(pInstList, i, instSize);
        if (pInst->flag != 0) continue;
        pInst->pObject = &pObjList[type];
        pInst->flag    = FLAG_ACTIVE;
        pInst->scale   = scale;
        pInst->posCurr = pPos ? *pPos : Vec2{0.0f, 0.0f};
        pInst->velCurr = pVel ? *pVel : Vec2{0.0f, 0.0f};
        pInst->dirCurr = dir;
        if (pInstList == sGameObjInstList && i >= sMainEnd) sMainEnd = i + 1;
        return pInst;
    }
    return nullptr;
}

GameObjInst* KoGameObjInstDestroy(GameObjInst* pInst)
{
    if (pInst->flag != 0) pInst->flag = 0;
    return pInst;
}

void KoGameObjInstDestroyAll(void* pInstList, size_t instNum, size_t instSize)
{
    for (size_t i = 0; i < instNum; ++i)
    {
        GameObjInst* pInst = PoolRecord(pInstList, i, instSize);
        if (pInst->flag & FLAG_ACTIVE) pInst->flag = 0;
    }
}

void KoGameObjInstDrawAll(void* pInstList, size_t instNum, size_t instSize)
{
    for (size_t i = 0; i < instNum; ++i)
    {
        GameObjInst* pInst = PoolRecord(pInstList, i, instSize);
        if (!(pInst->flag & FLAG_ACTIVE)) continue;
        KoGfxSetTransform(&pInst->transform);
        KoGfxDraw(pInst->pObject->pMesh);
    }
    Mtx33 identity;
    Mtx33Identity(&identity);
    KoGfxSetTransform(&identity);
}

void KoGameObjInstTransformAll(void* pInstList, size_t instNum, size_t instSize, float dt)
{
    for (size_t i = 0; i < instNum; ++i)
    {
        GameObjInst* pInst = PoolRecord(pInstList, i, instSize);
        if (!(pInst->flag & FLAG_ACTIVE)) continue;
        pInst->posCurr.x += pInst->velCurr.x * dt;
        pInst->posCurr.y += pInst->velCurr.y * dt;
        Mtx33ViewTransRotScale(&pInst->transform, 1.0f, 0.0f, 0.0f, pInst->posCurr.x, pInst->posCurr.y,
                               pInst->dirCurr, pInst->scale);
    }
}

void KoGameObjFreeAll(GameObj* pObjList, int objNum)
{
    for (int i = 0; i < objNum; ++i)
        if (pObjList[i].pMesh) KoGfxFree(pObjList[i].pMesh);
}

namespace CommonLevel
{

// What is filling the pool right now (a map being laid), named when the pool runs out.
static const char* sPoolFiller = nullptr;

void SetPoolFiller(const char* what)
{
    sPoolFiller = what;
}

GameObjInst* CreateInst(uint32_t type, float scale, const Vec2* pPos, const Vec2* pVel, float dir)
{
    GameObjInst* pInst = KoGameObjInstCreate(type, scale, pPos, pVel, dir, sGameObjList, sGameObjInstList,
                                             GAME_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
    if (!pInst && sPoolFiller)
        fprintf(stderr, "%s: laying it fills the pool of %d instances; the game cannot go on\n", sPoolFiller,
                GAME_OBJ_INST_NUM_MAX);
    KO_ASSERT_FN(pInst, "CommonLevel::CreateInst");
    pInst->flag      = FLAG_ACTIVE;
    pInst->pData     = nullptr;
    pInst->pParent   = nullptr;
    pInst->pChild[0] = nullptr;
    pInst->pChild[1] = nullptr;
    return pInst;
}

void DestroyInst(GameObjInst* pInst)
{
    if (!pInst) return;
    // The links are cleared before the children go, so a record that names itself or an ancestor as a
    // child cannot recurse without end.
    GameObjInst* pChild0 = pInst->pChild[0];
    GameObjInst* pChild1 = pInst->pChild[1];
    pInst->pData         = nullptr;
    pInst->pParent       = nullptr;
    pInst->pChild[0]     = nullptr;
    pInst->pChild[1]     = nullptr;
    DestroyInst(pChild0);
    DestroyInst(pChild1);
    KoGameObjInstDestroy(pInst);
    pInst->flag = 0;
}

void DestroyAllInst()
{
    for (GameObjInst& inst : sGameObjInstList) DestroyInst(&inst);
    sMainEnd = 0;
}

size_t ActiveEnd()
{
    return sMainEnd;
}

void UpdateAllInst()
{
    // The camera's view zoom x (p - camera) as a zoom and a move.
    const float dt = gFrameTime, zoom = gCamZoom, moveX = -gCamZoom * gCamPosX, moveY = -gCamZoom * gCamPosY;
    size_t end = 0;
    for (size_t i = 0; i < sMainEnd; ++i)
    {
        GameObjInst& inst = sGameObjInstList[i];
        if (!(inst.flag & FLAG_ACTIVE)) continue;
        end = i + 1;
        inst.posCurr.x += inst.velCurr.x * dt;
        inst.posCurr.y += inst.velCurr.y * dt;
        Mtx33& m                   = inst.transform;
        const bool world           = (inst.flag & FLAG_WORLD) != 0;
        const GameObjInst* pParent = (inst.flag & FLAG_CHILD) ? inst.pParent : nullptr;
        const bool view            = world && !pParent; // a child gets the view through its parent
        Mtx33ViewTransRotScale(&m, view ? zoom : 1.0f, view ? moveX : 0.0f, view ? moveY : 0.0f,
                               inst.posCurr.x, inst.posCurr.y, inst.dirCurr, inst.scale);
        if (!pParent) continue;

        // A child sits later in the pool than its parent, whose matrix is therefore this frame's, with the
        // view when the parent is in world space.
        Mtx33Concat(&m, &pParent->transform, &m);
        const bool viewed = (pParent->flag & FLAG_WORLD) != 0;
        if (world && !viewed)
            Mtx33ZoomMove(&m, zoom, moveX, moveY);
        else if (!world && viewed && zoom != 0.0f) // a screen-space child of a world-space parent
            Mtx33ZoomMove(&m, 1.0f / zoom, -moveX / zoom, -moveY / zoom);
    }
    sMainEnd = end;
}

void ResetAll()
{
    memset(sGameObjList, 0, sizeof(sGameObjList));
    sGameObjNum = 0;
    memset(static_cast<void*>(sGameObjInstList), 0, sizeof(sGameObjInstList));
    sMainEnd = 0;
    gPlayerName.clear();
}

} // namespace CommonLevel
