// Shared between the platform's own source files only (the engine never includes it).
#pragma once

struct SDL_Window;
struct SDL_Renderer;

SDL_Window* PlatGetSdlWindow();
SDL_Renderer* PlatGetSdlRenderer();
// Releases every cached font face and the font library (renderer shut-down).
void PlatFontShutdown();
