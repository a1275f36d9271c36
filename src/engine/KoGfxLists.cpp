// Primitive lists: the builders of triangle and line meshes, the registries of live lists and the CPU copy
// of every list's vertices, from which the device buffers are rebuilt after a device reset.
#include "engine/KoAssert.h"
#include "engine/KoGfxDevice.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

static bool sTriFlag         = false;
static unsigned int sTriNum  = 0;
static bool sLineFlag        = false;
static unsigned int sLineNum = 0;
static KoGfxVertex sTriStage[KO_GFX_TRI_NUM_MAX * 3];
static KoGfxVertex sLineStage[KO_GFX_LINE_NUM_MAX * 2];

static std::vector<KoGfxVertexList*> sTriLists;
static std::vector<KoGfxVertexList*> sLineLists;
static std::vector<KoGfxVertex> sTriStore;
static std::vector<KoGfxVertex> sLineStore;

static const unsigned int KO_GFX_REGISTRY_RESERVE = 1024;
static const unsigned int KO_GFX_STORE_RESERVE    = 24576;

void KoGfxListsReserve()
{
    sTriLists.reserve(KO_GFX_REGISTRY_RESERVE);
    sLineLists.reserve(KO_GFX_REGISTRY_RESERVE);
    sTriStore.reserve(KO_GFX_STORE_RESERVE);
    sLineStore.reserve(KO_GFX_STORE_RESERVE);
}

void KoGfxListsResetBuilders()
{
    sTriNum   = 0;
    sTriFlag  = false;
    sLineNum  = 0;
    sLineFlag = false;
}

static KoGfxVertex Vtx(float x, float y, unsigned int c)
{
    KoGfxVertex v = {x, y, 0.0f, c};
    return v;
}

// Closes a builder into a new list: the staged vertices go into a new device buffer. On failure the open
// list is dropped (its vertices leave the store) so that lists built later stay in step with the store.
static KoGfxVertexList* EndList(bool tri, const char* pFunc)
{
    std::vector<KoGfxVertex>& store = tri ? sTriStore : sLineStore;
    const unsigned int perPrim      = tri ? 3 : 2;
    const unsigned int primNum      = tri ? sTriNum : sLineNum;
    const KoGfxVertex* pStage       = tri ? sTriStage : sLineStage;

    KoGfxVertexList* pList = new (std::nothrow) KoGfxVertexList();
    if (!pList)
        KoAssertFail("KO_ASSERT_PARM", tri ? "pTriList" : "pLineList", __LINE__, pFunc, __FILE__, nullptr);

    const unsigned int vtxNum = primNum * perPrim;
    KoGfxDevBuffer* pBuf      = nullptr;
    void* pData               = nullptr;
    bool ok                   = KoGfxDevCreateVertexBuffer(vtxNum * (unsigned int)sizeof(KoGfxVertex), &pBuf);
    if (ok && !KoGfxDevLock(pBuf, &pData))
    {
        KoGfxDevRelease(pBuf);
        ok = false;
    }
    if (tri)
    {
        sTriNum  = 0;
        sTriFlag = false;
    }
    else
    {
        sLineNum  = 0;
        sLineFlag = false;
    }
    if (!ok)
    {
        delete pList;
        store.resize(store.size() - vtxNum);
        return nullptr;
    }
    memcpy(pData, pStage, vtxNum * sizeof(KoGfxVertex));
    pList->pVtxBuffer = pBuf;
    pList->vtxNum     = vtxNum;
    KoGfxDevUnlock(pBuf);
    pList->triFlag = tri;
    (tri ? sTriLists : sLineLists).push_back(pList);
    return pList;
}

// Removes a list's vertices from its store, releases its buffer and deletes the record.
static void FreeList(KoGfxVertexList* pList, bool tri)
{
    std::vector<KoGfxVertexList*>& lists = tri ? sTriLists : sLineLists;
    std::vector<KoGfxVertex>& store      = tri ? sTriStore : sLineStore;
    size_t first                         = 0;
    size_t i                             = 0;
    for (; i < lists.size() && lists[i] != pList; ++i) first += lists[i]->vtxNum;
    if (i == lists.size())
    {
        fprintf(stderr, "graphics: freeing a list that is not alive; ignored\n");
        return;
    }
    store.erase(store.begin() + first, store.begin() + first + pList->vtxNum);
    if (pList->pVtxBuffer) KoGfxDevRelease(pList->pVtxBuffer);
    lists.erase(lists.begin() + i);
    delete pList;
}

// ---------------------------------------------------------------------------------------------------------
// Triangle lists

void KoGfxTriStart()
{
    KO_ASSERT_MESG_FN(sTriFlag == false, "triangle list was started already!!", "KoGfxTriStart");
    sTriFlag = true;
}

void KoGfxTriAdd(float x0, float y0, unsigned int c0, float x1, float y1, unsigned int c1, float x2, float y2,
                 unsigned int c2)
{
    KO_ASSERT_MESG_FN(sTriFlag, "triangle list is NOT started yet!!", "KoGfxTriAdd");
    KO_ASSERT_MESG_FN(sTriNum < KO_GFX_TRI_NUM_MAX, "triangle list overflow!!", "KoGfxTriAdd");
    KoGfxVertex* pV = sTriStage + sTriNum * 3;
    pV[0]           = Vtx(x0, y0, c0);
    pV[1]           = Vtx(x1, y1, c1);
    pV[2]           = Vtx(x2, y2, c2);
    ++sTriNum;
    sTriStore.insert(sTriStore.end(), pV, pV + 3);
}

KoGfxVertexList* KoGfxTriEnd()
{
    return EndList(true, "KoGfxTriEnd");
}

void KoGfxTriDraw(KoGfxVertexList* pTriList)
{
    KO_ASSERT_PARM_FN(pTriList, "KoGfxTriDraw");
    KoGfxDevDrawPrimitive(pTriList->pVtxBuffer, true, pTriList->vtxNum / 3);
}

void KoGfxTriFree(KoGfxVertexList* pTriList)
{
    KO_ASSERT_PARM_FN(pTriList, "KoGfxTriFree");
    FreeList(pTriList, true);
}

// ---------------------------------------------------------------------------------------------------------
// Line lists

void KoGfxLineStart()
{
    KO_ASSERT_MESG_FN(sLineFlag == false, "line list was started already!!", "KoGfxLineStart");
    sLineFlag = true;
}

void KoGfxLineAdd(float x0, float y0, unsigned int c0, float x1, float y1, unsigned int c1)
{
    KO_ASSERT_MESG_FN(sLineFlag, "line list is NOT started yet!!", "KoGfxLineAdd");
    KO_ASSERT_MESG_FN(sLineNum < KO_GFX_LINE_NUM_MAX, "line list overflow!!", "KoGfxLineAdd");
    KoGfxVertex* pV = sLineStage + sLineNum * 2;
    pV[0]           = Vtx(x0, y0, c0);
    pV[1]           = Vtx(x1, y1, c1);
    ++sLineNum;
    sLineStore.insert(sLineStore.end(), pV, pV + 2);
}

KoGfxVertexList* KoGfxLineEnd()
{
    return EndList(false, "KoGfxLineEnd");
}

void KoGfxLineFree(KoGfxVertexList* pLineList)
{
    KO_ASSERT_PARM_FN(pLineList, "KoGfxLineFree");
    FreeList(pLineList, false);
}

// ---------------------------------------------------------------------------------------------------------
// Either kind

void KoGfxDraw(KoGfxVertexList* pVtxList)
{
    KO_ASSERT_PARM_FN(pVtxList, "KoGfxDraw");
    if (pVtxList->triFlag)
        KoGfxDevDrawPrimitive(pVtxList->pVtxBuffer, true, pVtxList->vtxNum / 3);
    else
        KoGfxDevDrawPrimitive(pVtxList->pVtxBuffer, false, pVtxList->vtxNum / 2);
}

void KoGfxFree(KoGfxVertexList* pVtxList)
{
    KO_ASSERT_PARM_FN(pVtxList, "KoGfxFree");
    if (pVtxList->triFlag)
        KoGfxTriFree(pVtxList);
    else
        KoGfxLineFree(pVtxList);
}

// ---------------------------------------------------------------------------------------------------------
// Device loss

static void ReleaseLists(std::vector<KoGfxVertexList*>& lists)
{
    for (KoGfxVertexList* pList : lists)
    {
        if (!pList->pVtxBuffer) continue;
        unsigned int refs = KoGfxDevRelease(pList->pVtxBuffer);
        pList->pVtxBuffer = nullptr;
        if (refs > 0)
        {
            static char sMesg[128];
            snprintf(sMesg, sizeof(sMesg),
                     "The vertex buffer object failed to cleanup properly.\nRelease() returned a reference "
                     "count of %d",
                     (int)refs);
            KO_ASSERT_MESG_FN(0, sMesg, "OnLostDevice");
        }
    }
}

void KoGfxListsReleaseAll()
{
    ReleaseLists(sTriLists);
    ReleaseLists(sLineLists);
}

static void RebuildLists(std::vector<KoGfxVertexList*>& lists, const std::vector<KoGfxVertex>& store,
                         bool tri)
{
    static char sMesg[128];
    size_t offset = 0;
    for (KoGfxVertexList* pList : lists)
    {
        KoGfxDevBuffer* pBuf = nullptr;
        if (!KoGfxDevCreateVertexBuffer(pList->vtxNum * (unsigned int)sizeof(KoGfxVertex), &pBuf))
        {
            snprintf(sMesg, sizeof(sMesg), "Failed to recreate the vtx buffer of %d vertices",
                     (int)pList->vtxNum);
            KO_ASSERT_MESG_FN(0, sMesg, "OnResetDevice");
        }
        pList->pVtxBuffer = pBuf;
        void* pData       = nullptr;
        if (!KoGfxDevLock(pBuf, &pData))
        {
            snprintf(sMesg, sizeof(sMesg), "Failed to lock the vtx buffer of %d vertices",
                     (int)pList->vtxNum);
            KO_ASSERT_MESG_FN(0, sMesg, "OnResetDevice");
        }
        memcpy(pData, store.data() + offset, pList->vtxNum * sizeof(KoGfxVertex));
        KoGfxDevUnlock(pBuf);
        offset += pList->vtxNum;
        pList->triFlag = tri;
    }
}

void KoGfxListsRebuildAll()
{
    RebuildLists(sTriLists, sTriStore, true);
    RebuildLists(sLineLists, sLineStore, false);
}

void KoGfxListsFreeAll()
{
    while (!sTriLists.empty()) FreeList(sTriLists.back(), true);
    while (!sLineLists.empty()) FreeList(sLineLists.back(), false);
}

// ---------------------------------------------------------------------------------------------------------
// Inspection

unsigned int KoGfxListsStoreSize(bool tri)
{
    return (unsigned int)(tri ? sTriStore : sLineStore).size();
}
const KoGfxVertex* KoGfxListsStoreData(bool tri)
{
    return (tri ? sTriStore : sLineStore).data();
}
unsigned int KoGfxListsRegistrySize(bool tri)
{
    return (unsigned int)(tri ? sTriLists : sLineLists).size();
}

KoGfxVertexList* KoGfxListsRegistryEntry(bool tri, unsigned int index)
{
    const std::vector<KoGfxVertexList*>& lists = tri ? sTriLists : sLineLists;
    return index < lists.size() ? lists[index] : nullptr;
}
