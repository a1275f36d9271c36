// Mesh text files and shape builders.
//
// The readers and shape functions add triangles to the triangle list the caller has opened with
// KoGfxTriStart; they neither open nor close a list. A file that cannot be opened adds nothing; reading
// stops at the end of the tokens, at the first token that is not a number of the expected kind, or at a
// rectangle record whose corners lie beyond the float range, and what was added before it stays.
//
// General mesh file: triangles of nine tokens "x0 y0 c0 x1 y1 c1 x2 y2 c2"; x and y decimal floats, c a
// hexadecimal 0xAARRGGBB colour with or without "0x". Monster mesh file: records "cx cy w h c" drawn over
// a circle of radius 0.5 in 0xFF8C2318. Flag mesh file: exactly two such records, no circle.
#pragma once

#include <cstdint>

#include "framework/CommonLevel.h"

void LoadMesh(const char* fileName);
// LoadMesh that stops after maxTriangles triangles; returns how many it added.
int LoadMeshMax(const char* fileName, int maxTriangles);
void LoadMonsterMesh(const char* fileName);
void LoadFlagMesh(const char* fileName);

// A filled circle: a counter-clockwise fan of 25 triangles starting at (cx + r, cy).
void MeshAddCircle(float cx, float cy, float r, uint32_t colour);
// An axis-aligned rectangle of two triangles.
void MeshAddRect(float cx, float cy, float w, float h, uint32_t colour);
// A colour token [b, e) of the mesh files: 0xAARRGGBB in hexadecimal, "0x" or "0X" may lead, one to eight
// digits of either case. False for anything else.
bool MeshParseColour(const char* b, const char* e, uint32_t* pColour);

// Who loads a type: printed when its mesh cannot be built.
struct MeshLoader
{
    const char* func; // "LoadHero"
    const char* mesg; // "fail to create object!!" (printed after "Mesg: ")
};

extern const MeshLoader MESH_LOADER_PICKUPS;        // Pickups::Load
extern const MeshLoader MESH_LOADER_MONSTERS;       // Monsters::Load
extern const MeshLoader MESH_LOADER_SKY;            // Terrain::LoadSky
extern const MeshLoader MESH_LOADER_PARTY_DIGITS;   // LoadPartyDigits
extern const MeshLoader MESH_LOADER_FLAG;           // GameStateTileEditorLoad, the flag
extern const MeshLoader MESH_LOADER_HERO;           // LoadHero
extern const MeshLoader MESH_LOADER_TERRAIN;        // Terrain::LoadTerrain
extern const MeshLoader MESH_LOADER_EDITOR_TERRAIN; // Terrain::LoadEditorTerrain
extern const MeshLoader MESH_LOADER_PARTICLE_DUST;  // ParticleSys::ParticleLoad, the dust
extern const MeshLoader MESH_LOADER_PARTICLE;       // ParticleSys::ParticleLoad, skull head and star
extern const MeshLoader MESH_LOADER_UI;             // UI::LoadUI
extern const MeshLoader MESH_LOADER_MENU;           // GameStateMenuLoad
extern const MeshLoader MESH_LOADER_MESHEDITOR;     // GameStateMesheditorLoad

typedef void (*MeshReader)(const char* fileName);

// The type loader pattern, in two halves for shapes built in code:
//   MeshTypeStart: ++*pObjNum, pObj->type = type, KoGfxTriStart.
//   MeshTypeEnd:   pObj->pMesh = KoGfxTriEnd; a null mesh prints the "pObj->pMesh" check with the
//                  loader's function and message, the caller's source file and the given line, and ends
//                  with exit code 1. For a mesh read from fileName, one line on standard error first names
//                  the file and what is wrong with it (missing, refused, no triangle).
// srcFile is the calling source file (the compiler fills it in at the call).
void MeshTypeStart(GameObj* pObj, uint32_t type, int* pObjNum);
void MeshTypeEnd(GameObj* pObj, const MeshLoader& loader, int line, const char* fileName = nullptr,
                 const char* srcFile = __builtin_FILE());
// Both halves around reader(fileName): pObj is the record `type` of the caller's table.
void MeshLoadType(GameObj* pObj, uint32_t type, int* pObjNum, MeshReader reader, const char* fileName,
                  const MeshLoader& loader, int line, const char* srcFile = __builtin_FILE());
