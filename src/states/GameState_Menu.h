// The main menu: the title logo, a column of mesh buttons (play, how to play, options, high scores,
// credits, exit), five sub-screens (how to play, options, quit confirmation, Hall Of Fame, credits), the
// menu music, the axe that stands in for the mouse pointer, and the loading picture shown while the
// level loads. The menu keeps its own type table and instance pool; after Init it only shows and hides
// its instances.
#pragma once

// The menu's screens: the main screen with the column of buttons, its five sub-screens, and the loading
// picture shown while the level loads. Init opens the main screen, or the Hall Of Fame or the credits again
// when the menu was left from there.
enum MenuScreen
{
    MENU_SCREEN_MAIN,
    MENU_SCREEN_HOW_TO_PLAY,
    MENU_SCREEN_OPTIONS,
    MENU_SCREEN_QUIT_ASK,
    MENU_SCREEN_HALL_OF_FAME,
    MENU_SCREEN_CREDITS,
    MENU_SCREEN_LOADING, // play was pressed: the level loads after this frame
};
extern MenuScreen gMenuScreen;

// Seconds of menu updates since program start, never reset: clicks on buttons count only once it is
// above half a second.
extern float gMenuClickTime;
// Seconds left of the pointer axe's upward swing after a click.
extern float gCursorSwingTime;

void GameStateMenuLoad();
void GameStateMenuInit();
void GameStateMenuUpdate();
void GameStateMenuDraw();
void GameStateMenuFree();
void GameStateMenuUnload();
