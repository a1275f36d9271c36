// A device that keeps vertex buffers in memory and records what is drawn, with switches that make its
// operations fail, for the tests of the primitive lists.
#pragma once

#include "engine/KoGfxDevice.h"

#include <vector>

struct MemDraw
{
    const KoGfxDevBuffer* pBuf;
    bool triangles;
    unsigned int primNum;
};

// Failure switches: each counts down and fails the operation when it reaches 1 (0 = never fail).
extern int gMemFailCreateAt;
extern int gMemFailLockAt;
// References every new buffer gets beyond the creator's (a buffer that a release does not destroy).
extern unsigned int gMemExtraRefs;
// Every draw since the last MemReset.
extern std::vector<MemDraw> gMemDraws;

// Buffers not yet destroyed.
int MemLiveBuffers();
// The vertices a buffer holds.
std::vector<KoGfxVertex> MemBufferVertices(const KoGfxDevBuffer* pBuf);
// Clears the switches and the draw record (buffers stay).
void MemReset();
