// The level's overlays: HUD texts, tutorial pages, pause menu, options, confirmations, game over,
// name entry and the Hall Of Fame.
#include "level/UI.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "engine/KoMath.h"
#include "framework/ButtonPanel.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "framework/HighScore.h"
#include "framework/MeshFile.h"
#include "framework/Sound.h"
#include "level/LevelRun.h"
#include "level/Hero.h"

bool gTutorialShowing; // given their start values by ResetTutorial
bool gTutorialEnabled;
int gTutorialPage;
bool gNameEntered; // cleared by InitUI
float gUIClock       = 0.0f;
float gTextFadeTime  = 0.0f;
float gUICursorSwing = 0.0f;
uint32_t gTextColour = ButtonPanel::TEXT_COLOUR;

const char* const gPraiseTexts[10] = {
    "well done",
    "good job!",
    "you are so\n          awesome!",
    "you rock!!!",
    "trooogliiin!",
    "a true champion!",
    "holy moley!",
    "whats the \n     meaning of this?",
    "a true champion!",
    "piece of nut!",
};

namespace
{
using ButtonPanel::TEXT_COLOUR;
const uint32_t FADE_STEP        = 0x0F000000;
const float BUTTON_W            = 30.0f;
const float BUTTON_H            = 7.5f;
const float BUTTON_SCALE        = 30.0f;
const float BUTTON_SCALE_HOVER  = 33.0f;
const float CLICK_DELAY         = 0.5f; // overlay seconds after program start before clicks count
const size_t NAME_LETTERS_CHECK = 10;   // letters are taken while the name holds at most this many

// The pages stand in the band below the distance, line under line, so that they end well above the highest
// ground any map lays (its top is 350 pixels down the 800 x 600 layout, 58 % of the window's height).
const char* const TUTORIAL_TEXTS[4] = {
    "Welcome To Skarnhold!\n"
    "Control your Troglin\n"
    "by jumping on platforms!\n"
    "Press up or space to jump!",
    "Strengthen your party by\n"
    "finding new Troglins!\n"
    "They increase your power and\n"
    "throw axes to weaken enemies!",
    "Avoid monsters with power\n"
    "that are higher than yours!",
    "Diamonds make you invulnerable!\n"
    "But falling off platforms\n"
    "can still kill you!\n"
    "Good Luck and enjoy the game!",
};
const float TUTORIAL_Y      = 100.0f; // the page's first line
const float TUTORIAL_LINE_H = 24.0f;  // one line of the small font

// Overlay type table and pool.
GameObj sUIObjList[UI::UI_OBJ_NUM_MAX];
int sUIObjNum = 0;
GameObjInst sUIObjInstList[UI::UI_OBJ_INST_NUM_MAX];
// One past the last overlay record handed out since the pool was last emptied by ResetUI: no record from
// there on is ever shown, so the per-frame passes stop here.
size_t sUIObjInstEnd = 0;

// The instances made by InitUI, one of each type, in this pool order: where each stands until a screen
// places it, and its scale.
struct Made
{
    unsigned type;
    float x, y, scale;
};
const Made MADE[UI::UI_TYPE_NUM] = {
    {UI::UI_TYPE_PANEL, 0, 0, 10},  {UI::UI_TYPE_SQUARE, 0, 0, 1},        {UI::UI_TYPE_RESUME, 0, 10, 1},
    {UI::UI_TYPE_RESTART, 0, 0, 1}, {UI::UI_TYPE_SOUND_ON, 0, 0, 1},      {UI::UI_TYPE_SOUND_OFF, 0, 0, 1},
    {UI::UI_TYPE_MENU, 0, -10, 1},  {UI::UI_TYPE_FULL_SCREEN, 0, -10, 1}, {UI::UI_TYPE_WINDOWED, 0, -10, 1},
    {UI::UI_TYPE_YES, -20, -20, 1}, {UI::UI_TYPE_NO, 20, -20, 1},         {UI::UI_TYPE_OPTIONS, 0, -10, 10},
    {UI::UI_TYPE_BACK, 0, -20, 10}, {UI::UI_TYPE_CURSOR, 0, 0, 20},       {UI::UI_TYPE_RED_FRAME, 0, 0, 180},
};
GameObjInst* sInst[UI::UI_TYPE_NUM]; // by type

// What each screen shows, in screen order, and where its buttons stand (view units). The pointer shows on
// every screen but the running world and the tutorial; of two buttons in one place, the one that fits the
// setting shows.
struct ScreenItem
{
    UI::Screen screen;
    unsigned type;
    float x, y;
};
const ScreenItem SCREEN_ITEMS[] = {
    {UI::SCREEN_TUTORIAL, UI::UI_TYPE_PANEL, 0, 0},
    {UI::SCREEN_PAUSE, UI::UI_TYPE_PANEL, 0, 0},
    {UI::SCREEN_PAUSE, UI::UI_TYPE_SQUARE, 0, 0},
    {UI::SCREEN_PAUSE, UI::UI_TYPE_RESUME, 0, 10},
    {UI::SCREEN_PAUSE, UI::UI_TYPE_RESTART, 0, 0},
    {UI::SCREEN_PAUSE, UI::UI_TYPE_OPTIONS, 0, -10},
    {UI::SCREEN_PAUSE, UI::UI_TYPE_MENU, 0, -20},
    {UI::SCREEN_OPTIONS, UI::UI_TYPE_PANEL, 0, 0},
    {UI::SCREEN_OPTIONS, UI::UI_TYPE_SQUARE, 0, 0},
    {UI::SCREEN_OPTIONS, UI::UI_TYPE_SOUND_ON, 0, 0},
    {UI::SCREEN_OPTIONS, UI::UI_TYPE_SOUND_OFF, 0, 0},
    {UI::SCREEN_OPTIONS, UI::UI_TYPE_FULL_SCREEN, 0, -10},
    {UI::SCREEN_OPTIONS, UI::UI_TYPE_WINDOWED, 0, -10},
    {UI::SCREEN_OPTIONS, UI::UI_TYPE_BACK, 0, -20},
    {UI::SCREEN_ASK_RESTART, UI::UI_TYPE_PANEL, 0, 0},
    {UI::SCREEN_ASK_RESTART, UI::UI_TYPE_YES, -20, -20},
    {UI::SCREEN_ASK_RESTART, UI::UI_TYPE_NO, 20, -20},
    {UI::SCREEN_ASK_MENU, UI::UI_TYPE_PANEL, 0, 0},
    {UI::SCREEN_ASK_MENU, UI::UI_TYPE_YES, -20, -20},
    {UI::SCREEN_ASK_MENU, UI::UI_TYPE_NO, 20, -20},
    {UI::SCREEN_NAME_ENTRY, UI::UI_TYPE_PANEL, 0, 0},
    {UI::SCREEN_GAME_OVER, UI::UI_TYPE_PANEL, 0, 0},
    {UI::SCREEN_GAME_OVER, UI::UI_TYPE_RESTART, 0, -30},
    {UI::SCREEN_GAME_OVER, UI::UI_TYPE_MENU, 0, -40},
    {UI::SCREEN_GAME_OVER_ASK_MENU, UI::UI_TYPE_PANEL, 0, 0},
    {UI::SCREEN_GAME_OVER_ASK_MENU, UI::UI_TYPE_YES, -20, -20},
    {UI::SCREEN_GAME_OVER_ASK_MENU, UI::UI_TYPE_NO, 20, -20},
};

// The overlays' own part of the screen: a sub-screen of the pause menu, or a question there or on the
// game-over screen. InitUI starts it at SUB_NONE.
enum SubScreen
{
    SUB_NONE,
    SUB_OPTIONS,
    SUB_ASK_RESTART,
    SUB_ASK_MENU
};
SubScreen sSub;
bool sRestartClicked;     // the Restart button was clicked in this run
bool sRestartSoundPlayed; // the restart click sound has been started in this run

// Large and small text, sized for the 800 x 600 layout and scaled with it.
KoGfxFont* sFontLarge;
KoGfxFont* sFontSmall;

// The ENTER of this update confirmed the name: it presses no button.
bool sNameJustEntered = false;
// The run did not enter the Hall Of Fame: its game-over screen shows the run and the table, no name entry.
bool sRunOutside = false;

enum MeshKind
{
    MESH_FILE,
    MESH_RECT,
    MESH_SQUARE,
    MESH_RED_FRAME
};

struct UIMeshDesc
{
    MeshKind kind;
    const char* file;
};

const UIMeshDesc UI_MESHES[UI::UI_TYPE_NUM] = {
    {MESH_RECT, nullptr},
    {MESH_SQUARE, nullptr},
    {MESH_FILE, "Meshes/resumemesh.txt"},
    {MESH_FILE, "Meshes/restartmesh.txt"},
    {MESH_FILE, "Meshes/newsoundonmesh.txt"},
    {MESH_FILE, "Meshes/newsoundoffmesh.txt"},
    {MESH_FILE, "Meshes/menumesh.txt"},
    {MESH_FILE, "Meshes/heroweapon.txt"},
    {MESH_FILE, "Meshes/fullscrbtnmesh.txt"},
    {MESH_FILE, "Meshes/windowedmesh.txt"},
    {MESH_FILE, "Meshes/yesmesh.txt"},
    {MESH_FILE, "Meshes/nomesh.txt"},
    {MESH_FILE, "Meshes/optionsmesh.txt"},
    {MESH_FILE, "Meshes/backmesh.txt"},
    {MESH_RED_FRAME, nullptr},
};

// Four triangles from the screen's edges to its transparent centre.
void AddRedFrame()
{
    const uint32_t edge   = 0x50FF0000;
    const uint32_t centre = 0x00FFFFFF;
    const float hx = 0.5f, hy = 0.35f;
    KoGfxTriAdd(-hx, -hy, edge, hx, -hy, edge, 0.0f, 0.0f, centre);
    KoGfxTriAdd(hx, -hy, edge, hx, hy, edge, 0.0f, 0.0f, centre);
    KoGfxTriAdd(hx, hy, edge, -hx, hy, edge, 0.0f, 0.0f, centre);
    KoGfxTriAdd(-hx, hy, edge, -hx, -hy, edge, 0.0f, 0.0f, centre);
}

void LoadType(uint32_t type)
{
    GameObj* pObj = &sUIObjList[type];
    MeshTypeStart(pObj, type, &sUIObjNum);
    switch (UI_MESHES[type].kind)
    {
        case MESH_FILE:
            LoadMesh(UI_MESHES[type].file);
            break;
        case MESH_RECT:
            MeshAddRect(0.0f, 0.0f, 800.0f, 400.0f, 0xAA6C6764);
            break;
        case MESH_SQUARE:
            MeshAddRect(0.0f, 0.0f, 0.8f, 0.8f, 0xFFD2C0B6);
            MeshAddRect(0.0f, 0.0f, 1.0f, 1.0f, 0xFF666666);
            break;
        case MESH_RED_FRAME:
            AddRedFrame();
            break;
    }
    MeshTypeEnd(pObj, MESH_LOADER_UI, __LINE__,
                UI_MESHES[type].kind == MESH_FILE ? UI_MESHES[type].file : nullptr);
}

GameObjInst* Create(unsigned type, float x, float y, float scale)
{
    Vec2 pos;
    Vec2Set(&pos, x, y);
    GameObjInst* pInst = KoGameObjInstCreate(type, scale, &pos, nullptr, 0.0f, sUIObjList, sUIObjInstList,
                                             UI::UI_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
    if (pInst) sUIObjInstEnd = std::max(sUIObjInstEnd, size_t(pInst - sUIObjInstList) + 1);
    return pInst;
}

void Show(GameObjInst* pInst)
{
    pInst->flag = FLAG_ACTIVE;
}
void Hide(GameObjInst* pInst)
{
    pInst->flag = 0;
}
// Of two buttons in one place, the one that fits the setting shows.
bool FitsSettings(unsigned type)
{
    switch (type)
    {
        case UI::UI_TYPE_SOUND_ON:
            return gSoundOn;
        case UI::UI_TYPE_SOUND_OFF:
            return !gSoundOn;
        case UI::UI_TYPE_FULL_SCREEN: // shown while windowed
            return !gKoGfxFullScreen;
        case UI::UI_TYPE_WINDOWED:
            return gKoGfxFullScreen;
        default:
            return true;
    }
}
void Place(GameObjInst* pInst, float x, float y)
{
    Vec2Set(&pInst->posCurr, x, y);
}

bool IsButton(unsigned type)
{
    switch (type)
    {
        case UI::UI_TYPE_RESUME:
        case UI::UI_TYPE_RESTART:
        case UI::UI_TYPE_SOUND_ON:
        case UI::UI_TYPE_SOUND_OFF:
        case UI::UI_TYPE_MENU:
        case UI::UI_TYPE_FULL_SCREEN:
        case UI::UI_TYPE_WINDOWED:
        case UI::UI_TYPE_YES:
        case UI::UI_TYPE_NO:
        case UI::UI_TYPE_OPTIONS:
        case UI::UI_TYPE_BACK:
            return true;
        default:
            return false;
    }
}

void ButtonAction(unsigned type)
{
    switch (type)
    {
        case UI::UI_TYPE_RESUME:
            Run::SetPaused(false);
            break;
        case UI::UI_TYPE_RESTART:
            sRestartClicked = true;
            if (Run::Get().gameOver)
                gGameStateNext = GS_RESTART;
            else
                sSub = SUB_ASK_RESTART;
            break;
        case UI::UI_TYPE_MENU:
            sSub = SUB_ASK_MENU;
            break;
        case UI::UI_TYPE_SOUND_ON:
            gSoundOn = false;
            break;
        case UI::UI_TYPE_SOUND_OFF:
            gSoundOn = true;
            break;
        case UI::UI_TYPE_FULL_SCREEN:
        case UI::UI_TYPE_WINDOWED:
            KoGfxToggleScreenMode();
            break;
        case UI::UI_TYPE_YES:
            if (sSub == SUB_ASK_RESTART) gGameStateNext = GS_RESTART;
            if (sSub == SUB_ASK_MENU) gGameStateNext = GS_MENU;
            break;
        case UI::UI_TYPE_NO:
        case UI::UI_TYPE_BACK:
            sSub = SUB_NONE;
            break;
        case UI::UI_TYPE_OPTIONS:
            sSub = SUB_OPTIONS;
            break;
        default:
            break;
    }
}

// ESC closes the open sub-screen of the pause menu or of the game-over screen.
bool EscTriggered()
{
    return KoInputCheckTriggered(VK_ESCAPE);
}

// The pad's east button goes back one screen: a sub-screen to the pause menu, a question to its "no", the
// pause menu to the game (ESC keeps its own rules).
bool PadBackTriggered()
{
    return KoInputCheckTriggered(VK_PAD_B);
}

// The screen as it shows when the pause menu is up or not (`paused`).
UI::Screen ScreenOf(bool paused)
{
    if (Run::Get().gameOver)
    {
        if (sSub == SUB_ASK_MENU) return UI::SCREEN_GAME_OVER_ASK_MENU;
        return gNameEntered ? UI::SCREEN_GAME_OVER : UI::SCREEN_NAME_ENTRY;
    }
    if (paused)
    {
        // By SubScreen.
        static const UI::Screen PAUSE_SCREENS[] = {UI::SCREEN_PAUSE, UI::SCREEN_OPTIONS,
                                                   UI::SCREEN_ASK_RESTART, UI::SCREEN_ASK_MENU};
        return PAUSE_SCREENS[sSub];
    }
    return gTutorialEnabled && gTutorialShowing ? UI::SCREEN_TUTORIAL : UI::SCREEN_RUNNING;
}

// Shows what the screen shows, in its places, and hides the rest (but the pointer and the red frame).
void ShowScreen(UI::Screen screen)
{
    for (GameObjInst* pInst : sInst)
        if (pInst != sInst[UI::UI_TYPE_CURSOR] && pInst != sInst[UI::UI_TYPE_RED_FRAME]) Hide(pInst);
    for (const ScreenItem& item : SCREEN_ITEMS)
    {
        if (item.screen > screen) break; // the table is in screen order
        if (item.screen < screen || !FitsSettings(item.type)) continue;
        Place(sInst[item.type], item.x, item.y);
        Show(sInst[item.type]);
    }
}

// The game over: a run that does not enter the Hall Of Fame shows itself beside the table at once; one that
// does takes the letters of its name (with `input`) until ENTER saves it.
void TakeName(bool input)
{
    if (!gNameEntered && !UI::RunEntersHallOfFame())
    {
        sRunOutside  = true;
        gNameEntered = true;
    }
    if (gNameEntered || !input) return;
    UI::UpdateNameEntry();
    sNameJustEntered = gNameEntered;
}

// After a screen has shown, ESC closes its question or the options (the level's own ESC toggles the pause),
// and the pad's east button the game over's question.
void CloseOnEsc(UI::Screen screen)
{
    switch (screen)
    {
        case UI::SCREEN_OPTIONS:
        case UI::SCREEN_ASK_RESTART:
        case UI::SCREEN_ASK_MENU:
            if (EscTriggered()) sSub = SUB_NONE;
            break;
        case UI::SCREEN_GAME_OVER_ASK_MENU:
            if (EscTriggered() || PadBackTriggered()) sSub = SUB_NONE;
            break;
        default:
            break;
    }
}

// Moves and transforms the overlay instances: screen space, no parents, no camera.
void TransformAll(float dt)
{
    KoGameObjInstTransformAll(sUIObjInstList, sUIObjInstEnd, sizeof(GameObjInst), dt);
}

using ButtonPanel::Print;

void DrawRunningTexts(KoGfxFont* pSmall)
{
    // The best of the first five entries just beaten, its name cut as the Hall Of Fame cuts it (at the
    // banner's right margin, as wide as its left one).
    const float distance    = Run::Get().distance;
    const int meters        = static_cast<int>(distance);
    const HighScoreEntry* e = nullptr;
    for (int k = std::min(4, static_cast<int>(gHighScores.size()) - 1); k >= 0; --k)
        if (gHighScores[k].score < meters && static_cast<float>(gHighScores[k].score) + 15.0f >= distance)
            e = &gHighScores[k];
    if (e)
    {
        int clipX = 0, clipY = 0;
        KoGfxLayoutToPixel(650.0f, 0.0f, &clipX, &clipY);
        KoGfxSetTextClipRight(clipX);
        Print(150, 220, pSmall, TEXT_COLOUR, "      You beat  %.*s\n     high score of %dm",
              HIGH_SCORE_NAME_SHOWN, e->name.c_str(), e->score);
        KoGfxSetTextClipRight(0);
    }
    for (int i = 1; i <= 10; ++i)
    {
        const int mark = 100 * i * i;
        if (static_cast<float>(mark) < distance && distance <= static_cast<float>(mark + 15))
            Print(150, 285, pSmall, TEXT_COLOUR, "     %dm ! %s", mark, gPraiseTexts[i - 1]);
    }
}

// "Rest in peace.." and why the run ended, the reason from layout y `y`.
void DrawDeathTexts(KoGfxFont* pLarge, KoGfxFont* pSmall, float y)
{
    Print(110, 35, pLarge, TEXT_COLOUR, "Rest in peace..");
    const DeathCause cause = Run::Get().deathCause;
    if (cause == DEATH_FELL)
        Print(120, y, pSmall, TEXT_COLOUR, "the troglins fell\n off a cliff!");
    else if (cause == DEATH_BY_MONSTER)
        Print(120, y, pSmall, TEXT_COLOUR, "the troglins have\n been slayed by monsters!");
    else if (cause == DEATH_WALL)
        Print(120, y, pSmall, TEXT_COLOUR, "a wall stopped the troglins:\n jump over walls!");
    else if (cause == DEATH_LEFT)
        Print(120, y, pSmall, TEXT_COLOUR, "the troglins were\n left behind!");
}

// The game over: a run that enters the Hall Of Fame asks for the name and then shows the table; one that
// does not shows itself beside the table at once (and the rows that end above the Restart button).
void DrawGameOverTexts(KoGfxFont* pLarge, KoGfxFont* pSmall)
{
    if (sSub == SUB_ASK_MENU) return;
    const LevelRun& run = Run::Get();
    const int meters    = static_cast<int>(run.distance);
    if (!gNameEntered)
    {
        DrawDeathTexts(pLarge, pSmall, 150);
        Print(120, 210, pSmall, TEXT_COLOUR, "You Slayed\n\nYou Ran\n\nYour Name..?");
        const bool blink = static_cast<long long>(gTotalTime) % 2 != 0;
        Print(390, 210, pSmall, TEXT_COLOUR, "%d Foul Creatures\n\n%d Meters\n\n%s%s", run.kills, meters,
              gPlayerName.c_str(), blink ? "_" : "");
        Print(120, 340, pSmall, TEXT_COLOUR, "Type your name, ENTER saves");
    }
    else if (sRunOutside)
    {
        DrawDeathTexts(pLarge, pSmall, 110);
        Print(120, 180, pSmall, TEXT_COLOUR, "You Slayed");
        Print(390, 180, pSmall, TEXT_COLOUR, "%d Foul Creatures", run.kills);
        Print(120, 210, pSmall, TEXT_COLOUR, "Your run: %d m", meters);
        Print(210, 250, pSmall, TEXT_COLOUR, "Hall Of Fame");
        ButtonPanel::PrintHallOfFame(280, 30, 20, -30.0f, BUTTON_H, pSmall, TEXT_COLOUR);
    }
    else
    {
        Print(170, 35, pLarge, TEXT_COLOUR, "Hall Of Fame");
        ButtonPanel::PrintHallOfFame(160, 40, 20, -30.0f, BUTTON_H, pSmall, TEXT_COLOUR);
    }
}
// SPACE or the pad's south button closes the tutorial page; closing the last one ends the tutorial.
void UpdateTutorial()
{
    if (!gTutorialShowing || !gTutorialEnabled || gTutorialPage > 3) return;
    if (KoInputCheckTriggered(VK_SPACE) || KoInputCheckTriggered(VK_PAD_A))
    {
        gTutorialShowing = false;
        if (gTutorialPage == 3) gTutorialEnabled = false;
    }
}

} // namespace

namespace UI
{
void ResetUI()
{
    for (GameObj& obj : sUIObjList) obj = GameObj();
    sUIObjNum = 0;
    for (GameObjInst& inst : sUIObjInstList) inst = GameObjInst();
    sUIObjInstEnd = 0;
}

void LoadUI()
{
    for (uint32_t type = 0; type < UI_TYPE_NUM; ++type) LoadType(type);
    sFontLarge = KoGfxCreateLayoutFont(65, 35, 600, false, "Flintstone");
    sFontSmall = KoGfxCreateLayoutFont(20, 15, 600, false, "Flintstone");
}

void InitUI()
{
    sSub                = SUB_NONE;
    sRestartClicked     = false;
    sRestartSoundPlayed = false;
    gNameEntered        = false;
    sRunOutside         = false;

    for (const Made& made : MADE) sInst[made.type] = Create(made.type, made.x, made.y, made.scale);
    // Every instance gets its transform now, so one shown before the next update draws in place.
    TransformAll(0.0f);
    Hide(sInst[UI_TYPE_CURSOR]);
    Hide(sInst[UI_TYPE_RED_FRAME]);

    ButtonPanel::Panel panel;
    panel.pPool      = sUIObjInstList;
    panel.poolNum    = sUIObjInstEnd;
    panel.isButton   = IsButton;
    panel.act        = ButtonAction;
    panel.pPointer   = sInst[UI_TYPE_CURSOR];
    panel.hitW       = BUTTON_W;
    panel.hitH       = BUTTON_H;
    panel.scale      = BUTTON_SCALE;
    panel.hoverScale = BUTTON_SCALE_HOVER;
    ButtonPanel::Use(panel);
}

Screen CurrentScreen()
{
    return ScreenOf(Run::Get().paused);
}

bool ButtonPosition(Screen screen, unsigned type, float* pX, float* pY)
{
    for (const ScreenItem& item : SCREEN_ITEMS)
        if (item.screen == screen && item.type == type && IsButton(type))
        {
            *pX = item.x;
            *pY = item.y;
            return true;
        }
    return false;
}

void UpdateUI(Pass pass)
{
    const bool input    = pass == PASS_STEP;
    const float dt      = gFrameTime;
    const LevelRun& run = Run::Get();

    if (!run.paused && sSub == SUB_OPTIONS) sSub = SUB_NONE;
    gUIClock += dt;
    gTextFadeTime += dt;

    if (!run.gameOver && !gTutorialShowing && gTextFadeTime >= 2.0f)
    {
        gTextFadeTime = 0.0f;
        gTextColour -= FADE_STEP;
        if (gTextColour == (TEXT_COLOUR & 0x00FFFFFF)) gTextColour = TEXT_COLOUR;
    }

    // The pad's east button goes back one screen from the pause menu's: a question or the options to the
    // pause menu, the pause menu to the game (this update still shows the pause menu's screen).
    sNameJustEntered       = false;
    const bool pausedShown = run.paused;
    if (input && pausedShown && PadBackTriggered())
    {
        if (sSub == SUB_NONE)
            Run::SetPaused(false);
        else
            sSub = SUB_NONE;
    }
    if (run.gameOver) TakeName(input);
    const Screen shown = ScreenOf(pausedShown);
    ShowScreen(shown);
    if (input) CloseOnEsc(shown);
    if (run.paused || run.gameOver)
        Show(sInst[UI_TYPE_CURSOR]);
    else
        Hide(sInst[UI_TYPE_CURSOR]);

    // The pointer follows the mouse (or the focus); a press swings it in the pause menu and on the game-over
    // screen, with a slash or an axe hit (Resume's press too, though it ends the pause). After the world the
    // panel only sizes the buttons shown and places the pointer: the step's presses have been taken.
    const bool pauseShown = run.paused, gameOverShown = run.gameOver;
    const bool pressed =
        ButtonPanel::Update(CurrentScreen(), input, gUIClock > CLICK_DELAY, sNameJustEntered);
    if (pauseShown) ButtonPanel::Swing(&gUICursorSwing, pressed, SND_SLASH, dt);
    if (gameOverShown) ButtonPanel::Swing(&gUICursorSwing, pressed, SND_AXE_HIT, dt);

    if (sRestartClicked && !sRestartSoundPlayed)
    {
        SoundPlay(SND_AXE_HIT_BUTTON, 0.0f);
        sRestartSoundPlayed = true;
    }

    TransformAll(dt);
    if (input) UpdateTutorial();
}

void UpdateNameEntry()
{
    // Letters pressed together go in alphabetical order while the name has room.
    for (unsigned char key = VK_A; key <= VK_Z; ++key)
        if (gPlayerName.size() <= NAME_LETTERS_CHECK && KoInputCheckTriggered(key))
            gPlayerName.push_back(static_cast<char>(key));
    if (!gPlayerName.empty())
    {
        if (KoInputCheckTriggered(VK_BACK)) gPlayerName.pop_back();
        if (KoInputCheckTriggered(VK_RETURN))
        {
            RecordHighScore(gPlayerName, Run::Get().distance);
            gNameEntered = true;
        }
    }
}

void DrawUI()
{
    // The overlays stand in the layout; the red frame borders the whole window, so it keeps the world
    // camera (it is the last instance of the pool).
    KoGfxSetBlendMode(KO_GFX_BM_BLEND);
    GameObjInst* const pRedFrame = sInst[UI_TYPE_RED_FRAME];
    const size_t redFrameAt      = static_cast<size_t>(pRedFrame - sUIObjInstList);
    KoGfxSetLayoutCamera(true);
    KoGameObjInstDrawAll(sUIObjInstList, redFrameAt, sizeof(GameObjInst));
    KoGfxSetLayoutCamera(false);
    KoGameObjInstDrawAll(pRedFrame, sUIObjInstEnd - redFrameAt, sizeof(GameObjInst));
    KoGfxSetBlendMode(KO_GFX_BM_NONE);

    KoGfxFont* const large = sFontLarge;
    KoGfxFont* const small = sFontSmall;
    const LevelRun& run    = Run::Get();

    if (!run.gameOver) Print(18, 12, large, TEXT_COLOUR, "%.fm", run.distance);
    // A tutorial page stands alone over the still world.
    if (!run.gameOver && !run.paused && !gTutorialShowing) DrawRunningTexts(small);
    if (gTutorialEnabled && gTutorialShowing && !run.gameOver && gTutorialPage >= 0 && gTutorialPage <= 3)
    {
        const char* pText = TUTORIAL_TEXTS[gTutorialPage];
        const float lines = float(std::count(pText, pText + strlen(pText), '\n') + 1);
        Print(120, TUTORIAL_Y, small, TEXT_COLOUR, "%s", pText);
        Print(120, TUTORIAL_Y + (lines + 0.5f) * TUTORIAL_LINE_H, small, TEXT_COLOUR,
              "Press SPACE to continue...");
    }
    if (run.invulnerable && !run.paused && !run.gameOver && !gTutorialShowing)
        Print(120, 100, large, gTextColour, "Invulnerability!");
    if (sSub == SUB_ASK_MENU || sSub == SUB_ASK_RESTART) Print(250, 220, large, TEXT_COLOUR, "Really??");
    if (run.gameOver) DrawGameOverTexts(large, small);
}

void FreeUI()
{
    KoGameObjInstDestroyAll(sUIObjInstList, UI_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
}

void UnloadUI()
{
    KoGfxFont** fonts[] = {&sFontLarge, &sFontSmall};
    for (KoGfxFont** ppFont : fonts)
    {
        KoGfxFreeFont(*ppFont);
        *ppFont = nullptr;
    }
    KoGameObjFreeAll(sUIObjList, sUIObjNum);
}

void ResetTutorial()
{
    gTutorialShowing = false;
    gTutorialEnabled = true;
    gTutorialPage    = 0;
}

void ShowBannerWhole()
{
    gTextColour = TEXT_COLOUR;
}

void RequestTutorial(int page)
{
    if (!gTutorialEnabled) return;
    gTutorialPage    = page;
    gTutorialShowing = !gTutorialShowing;
}

bool HintAhead(bool* pSeen, int page, float x)
{
    if (*pSeen || !gTutorialEnabled || gTutorialShowing || !gFirstLandingSeen) return false;
    if (!gLeader || !gLeader->body) return false;
    const GameObjInst* pFront = gLeader->body;
    // The party's speed settles where the run push equals what the damping takes.
    const float speed = std::max(pFront->velCurr.x, Run::Get().speed / HERO_SPEED_LOST);
    const float ahead = x - pFront->posCurr.x;
    if (ahead <= 0.0f || ahead > speed * HINT_LEAD_SECONDS) return false;
    RequestTutorial(page);
    *pSeen = true;
    return true;
}

bool RunEntersHallOfFame()
{
    return !gHighScores.empty() && static_cast<int>(Run::Get().distance) > gHighScores.back().score;
}

void ShowRedFrame(bool show)
{
    GameObjInst* const pRedFrame = sInst[UI_TYPE_RED_FRAME];
    if (!pRedFrame) return;
    if (show)
        Show(pRedFrame);
    else
        Hide(pRedFrame);
}
} // namespace UI
