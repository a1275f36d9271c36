// The level's overlays: the distance counter and running messages, the tutorial pages, the pause menu
// with its options panel and yes/no confirmations, and the game-over screen with the name entry and
// the Hall Of Fame. The overlays are screen-space instances of their own type table in their own pool,
// plus texts printed with the "Flintstone" fonts. The level state drives everything here; what they show
// of the run (pause, game over, distance, death cause, ...) they read from the run's record (LevelRun).
#pragma once

#include <cstdint>

namespace UI
{
// Overlay type ids (the index in the overlay type table).
enum
{
    UI_TYPE_PANEL = 0, // dimming panel
    UI_TYPE_SQUARE,    // centre square of the pause menu
    UI_TYPE_RESUME,
    UI_TYPE_RESTART,
    UI_TYPE_SOUND_ON, // shown while sound is on
    UI_TYPE_SOUND_OFF,
    UI_TYPE_MENU,
    UI_TYPE_CURSOR,      // the mouse cursor, an axe
    UI_TYPE_FULL_SCREEN, // shown while windowed
    UI_TYPE_WINDOWED,    // shown while full screen
    UI_TYPE_YES,
    UI_TYPE_NO,
    UI_TYPE_OPTIONS,
    UI_TYPE_BACK,
    UI_TYPE_RED_FRAME, // red frame of the camera shake
    UI_TYPE_NUM
};

const int UI_OBJ_NUM_MAX      = 32;   // room of the overlay type table
const int UI_OBJ_INST_NUM_MAX = 1024; // overlay pool size

// Level Load: empties the overlay type table and the overlay pool (before LoadUI).
void ResetUI();
// Level Load: loads the overlay types in order and creates the two fonts.
void LoadUI();
// Level Init (also after a restart): resets the overlay flags and creates the fifteen instances.
void InitUI();
// The overlays' screens, one at a time, chosen from the run (paused, over) and the overlays' own state.
enum Screen : unsigned
{
    SCREEN_RUNNING = 0,        // nothing over the running world
    SCREEN_TUTORIAL,           // a tutorial page over the still world
    SCREEN_PAUSE,              // Resume, Restart, Options, Menu
    SCREEN_OPTIONS,            // sound, window or full screen, Back
    SCREEN_ASK_RESTART,        // "Really??" before restarting: Yes, No
    SCREEN_ASK_MENU,           // "Really??" before leaving for the main menu: Yes, No
    SCREEN_NAME_ENTRY,         // the game over of a run that enters the Hall Of Fame, until its name is saved
    SCREEN_GAME_OVER,          // the game over with the Hall Of Fame: Restart, Menu
    SCREEN_GAME_OVER_ASK_MENU, // "Really??" before leaving the game over for the main menu: Yes, No
};
Screen CurrentScreen();
// Where the screen shows the button of this overlay type (view units: 160 x 120 around the window's
// centre, y up), from the overlays' own table. False when the screen does not show it.
bool ButtonPosition(Screen screen, unsigned type, float* pX, float* pY);

// The level's Update runs the overlays once a step before the world moves (PASS_STEP: the step's keys and
// clicks act, the clocks run, the screen shows) and again after a step in which the world ran
// (PASS_WORLD_RAN: the screen shows what the world changed, a page opened or the run ended, and the clocks
// run; nothing is pressed or typed twice). The banner's fade and the click delay count both passes.
enum Pass
{
    PASS_STEP,
    PASS_WORLD_RAN
};
void UpdateUI(Pass pass);
// Called by UpdateUI (PASS_STEP) on the game-over screen of a run that enters the Hall Of Fame until the name
// is confirmed.
void UpdateNameEntry();
// The run's whole meters beat the lowest entry of the Hall Of Fame, so recording them keeps them (saving
// drops the lowest entry, a tie included; an empty table keeps nothing).
bool RunEntersHallOfFame();
// Level Draw: last, after the world and the particles.
void DrawUI();
// Level Free: destroys every overlay instance.
void FreeUI();
// Level Unload: frees the two fonts and the overlay meshes.
void UnloadUI();

// The tutorial pages.
enum
{
    TUTORIAL_WELCOME = 0, // the party's first landing
    TUTORIAL_RECRUIT,     // a troglin waiting ahead
    TUTORIAL_MONSTER,     // a monster ahead
    TUTORIAL_DIAMOND      // a diamond ahead; closing this page ends the tutorial
};
// How long before the party reaches what a page names (a recruit, a monster, a diamond) the page opens.
const float HINT_LEAD_SECONDS = 1.5f;

// A tutorial page request from the party or the monster pass: only while the tutorial is enabled,
// shows page `page` (0 to 3) by inverting gTutorialShowing. The caller keeps its own once-per-program
// flag (gFirstLandingSeen, ...).
void RequestTutorial(int page);
// The tutorial at its start: enabled, on page 0, nothing showing (when a run starts).
void ResetTutorial();
// The "Invulnerability!" banner at its full colour again (a diamond was taken).
void ShowBannerWhole();
// The page that names something at world x opens once per program (*pSeen) when the welcome page has been
// and no page shows, while x lies ahead of the front troglin by no more than it runs in HINT_LEAD_SECONDS
// (at its speed or the speed the run push settles at, whichever is higher). True when it opened.
bool HintAhead(bool* pSeen, int page, float x);
// The red frame shown around the screen while the camera shakes.
void ShowRedFrame(bool show);
} // namespace UI

// The tutorial: a request for page p sets gTutorialPage = p and inverts gTutorialShowing, only while
// gTutorialEnabled is set. ResetTutorial gives them their start values.
extern bool gTutorialShowing;
extern bool gTutorialEnabled;
extern int gTutorialPage;

// Overlay state. InitUI resets it; the clocks run from program start and are never reset.
extern bool gNameEntered;    // the name entry is over: the name confirmed and the score recorded, or the run
                             // did not enter the Hall Of Fame and no name was asked
extern float gUIClock;       // seconds of overlay updates since program start
extern float gTextFadeTime;  // seconds since the last fade step of gTextColour
extern float gUICursorSwing; // seconds left of the cursor's swing after a click

// Colour of the "Invulnerability!" banner; its alpha fades in steps. ShowBannerWhole sets it back to
// ButtonPanel::TEXT_COLOUR when a diamond is taken.
extern uint32_t gTextColour;

// Praise for the milestone of 100 * i * i meters is gPraiseTexts[i - 1].
extern const char* const gPraiseTexts[10];
