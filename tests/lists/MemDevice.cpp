#include "MemDevice.h"

#include <cstring>

struct KoGfxDevBuffer
{
    unsigned int refs;
    std::vector<KoGfxVertex> vtx;
};

int gMemFailCreateAt       = 0;
int gMemFailLockAt         = 0;
unsigned int gMemExtraRefs = 0;
std::vector<MemDraw> gMemDraws;
static int sLive = 0;

static bool FailNow(int* pCounter)
{
    if (*pCounter == 0) return false;
    return --*pCounter == 0;
}

bool KoGfxDevCreateVertexBuffer(unsigned int length, KoGfxDevBuffer** ppBuf)
{
    if (length == 0 || FailNow(&gMemFailCreateAt)) return false;
    KoGfxDevBuffer* pBuf = new KoGfxDevBuffer();
    pBuf->refs           = 1 + gMemExtraRefs;
    pBuf->vtx.resize(length / sizeof(KoGfxVertex));
    *ppBuf = pBuf;
    ++sLive;
    return true;
}

bool KoGfxDevLock(KoGfxDevBuffer* pBuf, void** ppData)
{
    if (FailNow(&gMemFailLockAt)) return false;
    *ppData = pBuf->vtx.data();
    return true;
}

void KoGfxDevUnlock(KoGfxDevBuffer*) {}

unsigned int KoGfxDevRelease(KoGfxDevBuffer* pBuf)
{
    if (--pBuf->refs > 0) return pBuf->refs;
    delete pBuf;
    --sLive;
    return 0;
}

void KoGfxDevDrawPrimitive(KoGfxDevBuffer* pBuf, bool triangles, unsigned int primNum)
{
    gMemDraws.push_back(MemDraw{pBuf, triangles, primNum});
}

int MemLiveBuffers()
{
    return sLive;
}

std::vector<KoGfxVertex> MemBufferVertices(const KoGfxDevBuffer* pBuf)
{
    return pBuf->vtx;
}

void MemReset()
{
    gMemFailCreateAt = 0;
    gMemFailLockAt   = 0;
    gMemExtraRefs    = 0;
    gMemDraws.clear();
}
