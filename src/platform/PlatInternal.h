// Shared between the platform's own source files only (the engine never includes it).
#pragma once

struct SDL_Window;
struct SDL_Renderer;

SDL_Window* PlatGetSdlWindow();
SDL_Renderer* PlatGetSdlRenderer();
// Releases every cached font face and the font library (renderer shut-down).
void PlatFontShutdown();

// ---------------------------------------------------------------------------------------------------------
// Drawing straight to SDL (PlatRender.cpp), for the retained picture's own drawing. Colours are 0xAARRGGBB;
// blend is a PlatBlendMode.

#include <cstdint>
struct SDL_Rect;
struct SDL_Surface;
struct SDL_Texture;
struct PlatVertex;

// A rectangle of one colour (unblended: written straight into the window's surface).
void PlatDrawFill(const SDL_Rect& r, uint32_t argb, int blend);
// Triangles, three vertices each.
void PlatDrawGeometry(const PlatVertex* pVtx, int vtxNum, int blend);
// A copy of the texture's src to dst (blended), tinted.
void PlatDrawText(SDL_Texture* pTex, const SDL_Rect& src, const SDL_Rect& dst, uint32_t argb);
// True for a surface whose pixels are written directly: 32-bit, and needing no lock.
bool PlatPixelsWritable(const SDL_Surface* pSurface);
// Limits what SDL draws to the rectangle (null: no limit).
void PlatDrawSetClip(const SDL_Rect* pClip);
// A text's copy of the frame (PlatFont.cpp): recorded, or drawn at once. serial: see PlatFrameText.
void PlatRendererCopyText(SDL_Texture* pTex, uint64_t serial, const SDL_Rect& src, const SDL_Rect& dst,
                          uint32_t argb);

// ---------------------------------------------------------------------------------------------------------
// The retained picture of the software renderer (PlatFrame.cpp): the window's surface keeps the last frame
// and a frame draws again, and sends to the window, only the 32 x 32 cells whose drawing changed.

// Starts recording the frame's drawing (at its clear). False when the picture cannot be kept (a surface
// that is not 32-bit or over 8192 pixels): the frame then draws at once.
bool PlatFrameBegin();
// Record one drawing of the frame; false when the frame is not recorded (the caller draws it at once).
bool PlatFrameFill(const SDL_Rect& r, uint32_t argb, int blend);
bool PlatFrameGeometry(const PlatVertex* pVtx, int vtxNum, int blend);
// serial: names what the texture holds (a texture composed again gets a new one).
bool PlatFrameText(SDL_Texture* pTex, uint64_t serial, const SDL_Rect& src, const SDL_Rect& dst,
                   uint32_t argb);
// Draws what was recorded over the whole picture; the rest of the frame draws at once (lines, whose
// clipped pieces SDL places elsewhere than the whole line's).
void PlatFrameDrawNow();
// Before a texture is changed or destroyed: a frame that still has to copy it draws now.
void PlatFrameForgetTexture(SDL_Texture* pTex);
// Draws the changed cells (before the picture is read).
void PlatFrameFinish();
// Finishes the frame and sends its changed cells to the window. False when the frame was not recorded
// (the caller presents it as SDL does).
bool PlatFramePresent();
// The window no longer shows the last frame (exposed, resized, drawn over by others): the next frame draws
// and sends every cell.
void PlatFramePictureLost();
// The renderer is gone: nothing is recorded, and the next picture is drawn whole.
void PlatFrameReset();
