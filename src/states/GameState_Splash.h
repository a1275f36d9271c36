// The splash screen: three seconds of the logo and a line of text, then the main menu.
#pragma once

void GameStateSplashLoad();
void GameStateSplashInit();
void GameStateSplashUpdate();
void GameStateSplashDraw();
void GameStateSplashFree();
void GameStateSplashUnload();
