#include "framework/CommonLevel.h"

#include <cmath>
#include <cstring>

#include "engine/KoAssert.h"
#include "engine/KoGraphics.h"
#include "framework/GameStateMgr.h"
#include "level/Terrain.h"

GameObj sGameObjList[GAME_OBJ_NUM_MAX];
int sGameObjNum = 0;
GameObjInst sGameObjInstList[GAME_OBJ_INST_NUM_MAX];

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

// transform = T(pos) x R(dir) x S(scale), written out (most instances do not turn).
static void SetTransformTRS(GameObjInst* pInst)
{
    float c = pInst->scale, s = 0.0f;
    if (pInst->dirCurr != 0.0f)
    {
        c = cosf(pInst->dirCurr) * pInst->scale;
        s = sinf(pInst->dirCurr) * pInst->scale;
    }
    Mtx33& m  = pInst->transform;
    m.m[0][0] = c;
    m.m[0][1] = -s;
    m.m[0][2] = pInst->posCurr.x;
    m.m[1][0] = s;
    m.m[1][1] = c;
    m.m[1][2] = pInst->posCurr.y;
    m.m[2][0] = 0.0f;
    m.m[2][1] = 0.0f;
    m.m[2][2] = 1.0f;
}

void KoGameObjInstTransformAll(void* pInstList, size_t instNum, size_t instSize, float dt)
{
    for (size_t i = 0; i < instNum; ++i)
    {
        GameObjInst* pInst = PoolRecord(pInstList, i, instSize);
        if (!(pInst->flag & FLAG_ACTIVE)) continue;
        pInst->posCurr.x += pInst->velCurr.x * dt;
        pInst->posCurr.y += pInst->velCurr.y * dt;
        SetTransformTRS(pInst);
    }
}

void KoGameObjFreeAll(GameObj* pObjList, int objNum)
{
    for (int i = 0; i < objNum; ++i) KoGfxFree(pObjList[i].pMesh);
}

namespace CommonLevel
{

GameObjInst* CreateInst(uint32_t type, float scale, const Vec2* pPos, const Vec2* pVel, float dir)
{
    GameObjInst* pInst = KoGameObjInstCreate(type, scale, pPos, pVel, dir, sGameObjList, sGameObjInstList,
                                             GAME_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
    if (!pInst)
        KoAssertFail("KO_ASSERT", "pInst", 274, "CommonLevel::CreateInst", "src\\CommonLevel", nullptr);
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
}

void UpdateAllInst()
{
    int end = 0; // one past the last active record: the camera sweep stops there
    for (int i = 0; i < GAME_OBJ_INST_NUM_MAX; ++i)
    {
        GameObjInst& inst = sGameObjInstList[i];
        if (!(inst.flag & FLAG_ACTIVE)) continue;
        end = i + 1;
        inst.posCurr.x += inst.velCurr.x * gFrameTime;
        inst.posCurr.y += inst.velCurr.y * gFrameTime;
        SetTransformTRS(&inst);
        Mtx33& m = inst.transform;

        // A child sits later in the pool than its parent, whose matrix is therefore this frame's and still
        // without the camera.
        if ((inst.flag & FLAG_CHILD) && inst.pParent) Mtx33Concat(&m, &inst.pParent->transform, &m);
    }

    // Camera: S(zoom) x T(-camera) x transform. The camera matrix has the rows (z, 0, -z cx), (0, z, -z cy),
    // (0, 0, 1) and every transform the third row (0, 0, 1), so the product reduces to this.
    const float zoom = gCamZoom, tx = -gCamZoom * gCamPosX, ty = -gCamZoom * gCamPosY;
    for (int i = 0; i < end; ++i)
    {
        GameObjInst& inst = sGameObjInstList[i];
        if ((inst.flag & (FLAG_ACTIVE | FLAG_WORLD)) != (FLAG_ACTIVE | FLAG_WORLD)) continue;
        Mtx33& m = inst.transform;
        for (int col = 0; col < 3; ++col)
        {
            m.m[0][col] = zoom * m.m[0][col] + tx * m.m[2][col];
            m.m[1][col] = zoom * m.m[1][col] + ty * m.m[2][col];
        }
    }
}

void ResetAll()
{
    memset(sGameObjList, 0, sizeof(sGameObjList));
    sGameObjNum = 0;
    memset(static_cast<void*>(sGameObjInstList), 0, sizeof(sGameObjInstList));
    Terrain::ClearMaps();
    gPlayerName.clear();
}

} // namespace CommonLevel
