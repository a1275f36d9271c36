// Inside the graphics module: the few device operations the primitive lists need, and the list
// bookkeeping the rest of the graphics module drives. The game uses KoGraphics.h only.
//
// The device operations are plain functions. KoGfxDevice.cpp implements them over the drawing device of the
// platform layer; a test program links a memory implementation instead, so the list logic (KoGfxLists.cpp)
// runs without any window.
#pragma once

#include "engine/KoGraphics.h"

// Creates a vertex buffer of `length` bytes. False (and *ppBuf untouched) when the device refuses, as it
// does for a length of 0.
bool KoGfxDevCreateVertexBuffer(unsigned int length, KoGfxDevBuffer** ppBuf);
// A writable pointer to the whole buffer until Unlock; false on failure.
bool KoGfxDevLock(KoGfxDevBuffer* pBuf, void** ppData);
void KoGfxDevUnlock(KoGfxDevBuffer* pBuf);
// Drops one reference; returns the references left (0: the buffer is destroyed).
unsigned int KoGfxDevRelease(KoGfxDevBuffer* pBuf);
// Draws the buffer's first primNum triangles (3 vertices each) or lines (2 vertices each).
void KoGfxDevDrawPrimitive(KoGfxDevBuffer* pBuf, bool triangles, unsigned int primNum);

// Drawing state of the window's device (KoGfxDevice.cpp only; the memory device has none).
// layout: the screen layout's camera (the drawn-rectangle hook tells it).
void KoGfxDevSetCamera(const Mtx44* pView, const Mtx44* pProj, bool layout = false);
void KoGfxDevSetWorld(const Mtx44* pWorld);
void KoGfxDevSetViewport(int x, int y, int w, int h);
void KoGfxDevSetBlendMode(int blendMode);
// Draw calls reach the device only between the frame's begin and end; outside they are ignored.
void KoGfxDevSetDrawing(bool drawing);
bool KoGfxDevIsDrawing();

// ---------------------------------------------------------------------------------------------------------
// List bookkeeping (KoGfxLists.cpp)

// Reserves the registries (1024 lists each) and the vertex stores (24576 vertices each).
void KoGfxListsReserve();
// Closes and empties both builders (device-state setup).
void KoGfxListsResetBuilders();
// Releases every list's buffer, triangle lists then line lists (before a device reset).
void KoGfxListsReleaseAll();
// Recreates every list's buffer from the vertex stores (after a device reset).
void KoGfxListsRebuildAll();
// Frees every list still alive (engine shut-down).
void KoGfxListsFreeAll();

// The vertex store and registry of the triangle lists (tri) or the line lists, for inspection.
unsigned int KoGfxListsStoreSize(bool tri);
const KoGfxVertex* KoGfxListsStoreData(bool tri);
unsigned int KoGfxListsRegistrySize(bool tri);
KoGfxVertexList* KoGfxListsRegistryEntry(bool tri, unsigned int index);
