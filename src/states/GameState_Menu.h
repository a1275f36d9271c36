// The main menu: the title logo, a column of mesh buttons (play, how to play, options, high scores,
// credits, exit), five sub-screens (how to play, options, quit confirmation, Hall Of Fame, credits), the
// menu music, the axe that stands in for the mouse pointer, and the loading picture shown while the
// level loads. The menu keeps its own type table and instance pool; after Init it only shows and hides
// its instances.
#pragma once

// Sub-screens; the main screen is the one with none of them set. Init clears the quit, options,
// how-to-play and play flags; the Hall Of Fame and credits flags keep their value across visits.
extern bool gMenuHowToPlay;
extern bool gMenuOptions;
extern bool gMenuQuitAsk;
extern bool gMenuHallOfFame;
extern bool gMenuCredits;
extern bool gMenuPlay; // the play button was clicked: the loading picture is up

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
