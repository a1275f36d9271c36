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

bool gTutorialShowing; // given their start values by LevelResetRun
bool gTutorialEnabled;
int gTutorialPage;
bool gAskMenu; // the run's overlay flags, cleared by InitUI
bool gAskRestart;
bool gOptionsOpen;
bool gRestartClicked;
bool gRestartSoundPlayed;
bool gNameEntered;
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

// The fifteen instances made by InitUI, in pool order.
GameObjInst* sPanel;
GameObjInst* sSquare;
GameObjInst* sResume;
GameObjInst* sRestart;
GameObjInst* sSoundOn;
GameObjInst* sSoundOff;
GameObjInst* sMenu;
GameObjInst* sFullScreen;
GameObjInst* sWindowed;
GameObjInst* sYes;
GameObjInst* sNo;
GameObjInst* sOptions;
GameObjInst* sBack;
GameObjInst* sCursor;
GameObjInst* sRedFrame;

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
// Of two buttons in one place, shows the first when the setting holds and the second otherwise.
void ShowEither(bool first, GameObjInst* pFirst, GameObjInst* pSecond)
{
    Show(first ? pFirst : pSecond);
    Hide(first ? pSecond : pFirst);
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
            gRestartClicked = true;
            if (Run::Get().gameOver)
                gGameStateNext = GS_RESTART;
            else
                gAskRestart = !gAskRestart;
            break;
        case UI::UI_TYPE_MENU:
            gAskMenu = !gAskMenu;
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
            if (gAskRestart) gGameStateNext = GS_RESTART;
            if (gAskMenu) gGameStateNext = GS_MENU;
            break;
        case UI::UI_TYPE_NO:
            gAskMenu    = false;
            gAskRestart = false;
            break;
        case UI::UI_TYPE_OPTIONS:
            gOptionsOpen = true;
            break;
        case UI::UI_TYPE_BACK:
            gOptionsOpen = false;
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

// A yes/no question replaces the pause menu's buttons.
void HideForQuestion()
{
    GameObjInst* const hidden[] = {sSquare,  sResume,   sRestart,    sMenu,
                                   sSoundOn, sSoundOff, sFullScreen, sWindowed};
    for (GameObjInst* pInst : hidden) Hide(pInst);
    Show(sYes);
    Show(sNo);
}

void UpdatePauseMenu()
{
    if (PadBackTriggered())
    {
        if (gAskMenu || gAskRestart)
            ButtonAction(UI::UI_TYPE_NO);
        else if (gOptionsOpen)
            gOptionsOpen = false;
        else
            Run::SetPaused(false);
    }
    Show(sCursor);
    Show(sPanel);
    Show(sSquare);
    Show(sResume);
    Place(sRestart, 0.0f, 0.0f);
    Show(sRestart);
    Place(sMenu, 0.0f, -20.0f);
    Show(sMenu);
    Show(sOptions);

    if (gOptionsOpen && !Run::Get().gameOver)
    {
        if (EscTriggered()) gOptionsOpen = !gOptionsOpen;
        Hide(sResume);
        Hide(sRestart);
        Hide(sMenu);
        Hide(sOptions);
        Show(sBack);
        ShowEither(gSoundOn, sSoundOn, sSoundOff);
        ShowEither(gKoGfxFullScreen, sWindowed, sFullScreen);
    }
    if (gAskMenu)
    {
        Hide(sOptions);
        if (EscTriggered()) gAskMenu = !gAskMenu;
        HideForQuestion();
    }
    if (gAskRestart)
    {
        if (EscTriggered()) gAskRestart = !gAskRestart;
        HideForQuestion();
        Hide(sOptions);
    }
}

void UpdateGameOver()
{
    Show(sCursor);
    Show(sPanel);
    Place(sRestart, 0.0f, -30.0f);
    Show(sRestart);
    Place(sMenu, 0.0f, -40.0f);
    Show(sMenu);

    if (!gNameEntered && !UI::RunEntersHallOfFame())
    {
        // Nothing to type: the run and the table show at once.
        sRunOutside  = true;
        gNameEntered = true;
    }
    if (!gNameEntered)
    {
        UI::UpdateNameEntry();
        sNameJustEntered = gNameEntered;
        if (!gNameEntered)
        {
            Hide(sRestart);
            Hide(sMenu);
        }
    }
    if (gAskMenu)
    {
        if (EscTriggered()) gAskMenu = !gAskMenu;
        if (PadBackTriggered()) gAskMenu = false;
        Hide(sRestart);
        Hide(sMenu);
        Show(sYes);
        Show(sNo);
    }
}

// Moves and transforms the overlay instances: screen space, no parents, no camera.
void TransformAll(float dt)
{
    KoGameObjInstTransformAll(sUIObjInstList, sUIObjInstEnd, sizeof(GameObjInst), dt);
}

using ButtonPanel::Print;

// Which screen shows: the panel's focus starts on the first button of each.
unsigned OverlayScreen()
{
    const LevelRun& run = Run::Get();
    return (run.paused ? 1u : 0u) | (run.gameOver ? 2u : 0u) | (gOptionsOpen ? 4u : 0u) |
           (gAskMenu ? 8u : 0u) | (gAskRestart ? 16u : 0u) | (gNameEntered ? 32u : 0u);
}

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
    if (gAskMenu) return;
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
    gAskMenu            = false;
    gAskRestart         = false;
    gOptionsOpen        = false;
    gRestartClicked     = false;
    gRestartSoundPlayed = false;
    gNameEntered        = false;
    sRunOutside         = false;

    sPanel      = Create(UI_TYPE_PANEL, 0, 0, 10);
    sSquare     = Create(UI_TYPE_SQUARE, 0, 0, 1);
    sResume     = Create(UI_TYPE_RESUME, 0, 10, 1);
    sRestart    = Create(UI_TYPE_RESTART, 0, 0, 1);
    sSoundOn    = Create(UI_TYPE_SOUND_ON, 0, 0, 1);
    sSoundOff   = Create(UI_TYPE_SOUND_OFF, 0, 0, 1);
    sMenu       = Create(UI_TYPE_MENU, 0, -10, 1);
    sFullScreen = Create(UI_TYPE_FULL_SCREEN, 0, -10, 1);
    sWindowed   = Create(UI_TYPE_WINDOWED, 0, -10, 1);
    sYes        = Create(UI_TYPE_YES, -20, -20, 1);
    sNo         = Create(UI_TYPE_NO, 20, -20, 1);
    sOptions    = Create(UI_TYPE_OPTIONS, 0, -10, 10);
    sBack       = Create(UI_TYPE_BACK, 0, -20, 10);
    sCursor     = Create(UI_TYPE_CURSOR, 0, 0, 20);
    sRedFrame   = Create(UI_TYPE_RED_FRAME, 0, 0, 180);
    // Every instance gets its transform now, so one shown before the next update draws in place.
    TransformAll(0.0f);
    Hide(sCursor);
    Hide(sRedFrame);

    ButtonPanel::Panel panel;
    panel.pPool      = sUIObjInstList;
    panel.poolNum    = sUIObjInstEnd;
    panel.isButton   = IsButton;
    panel.act        = ButtonAction;
    panel.pPointer   = sCursor;
    panel.hitW       = BUTTON_W;
    panel.hitH       = BUTTON_H;
    panel.scale      = BUTTON_SCALE;
    panel.hoverScale = BUTTON_SCALE_HOVER;
    ButtonPanel::Use(panel);
}

void UpdateUI()
{
    const float dt      = gFrameTime;
    const LevelRun& run = Run::Get();

    if (!run.paused) gOptionsOpen = false;
    gUIClock += dt;
    gTextFadeTime += dt;

    if (!run.gameOver && !gTutorialShowing && gTextFadeTime >= 2.0f)
    {
        gTextFadeTime = 0.0f;
        gTextColour -= FADE_STEP;
        if (gTextColour == (TEXT_COLOUR & 0x00FFFFFF)) gTextColour = TEXT_COLOUR;
    }

    GameObjInst* screens[] = {sPanel,      sSquare,   sResume,  sRestart, sMenu, sSoundOff, sSoundOn,
                              sFullScreen, sWindowed, sOptions, sBack,    sYes,  sNo};
    for (GameObjInst* pInst : screens) Hide(pInst);

    sNameJustEntered = false;
    if (gTutorialEnabled && gTutorialShowing) Show(sPanel);
    if (run.paused) UpdatePauseMenu();
    if (run.gameOver) UpdateGameOver();
    if (!run.paused && !run.gameOver) Hide(sCursor);

    // The pointer follows the mouse (or the focus); a press swings it in the pause menu and on the game-over
    // screen, with a slash or an axe hit (Resume's press too, though it ends the pause).
    const bool pauseShown = run.paused, gameOverShown = run.gameOver;
    const bool pressed = ButtonPanel::Update(OverlayScreen(), gUIClock > CLICK_DELAY, sNameJustEntered);
    if (pauseShown) ButtonPanel::Swing(&gUICursorSwing, pressed, SND_SLASH, dt);
    if (gameOverShown) ButtonPanel::Swing(&gUICursorSwing, pressed, SND_AXE_HIT, dt);

    if (gRestartClicked && !gRestartSoundPlayed)
    {
        SoundPlay(SND_AXE_HIT_BUTTON, 0.0f);
        gRestartSoundPlayed = true;
    }

    TransformAll(dt);
}

void UpdateTutorial()
{
    if (!gTutorialShowing || !gTutorialEnabled || gTutorialPage > 3) return;
    if (KoInputCheckTriggered(VK_SPACE) || KoInputCheckTriggered(VK_PAD_A))
    {
        gTutorialShowing = false;
        if (gTutorialPage == 3) gTutorialEnabled = false;
    }
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
    const size_t redFrameAt = static_cast<size_t>(sRedFrame - sUIObjInstList);
    KoGfxSetLayoutCamera(true);
    KoGameObjInstDrawAll(sUIObjInstList, redFrameAt, sizeof(GameObjInst));
    KoGfxSetLayoutCamera(false);
    KoGameObjInstDrawAll(sRedFrame, sUIObjInstEnd - redFrameAt, sizeof(GameObjInst));
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
    if (gAskMenu || gAskRestart) Print(250, 220, large, TEXT_COLOUR, "Really??");
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
    if (!sRedFrame) return;
    if (show)
        Show(sRedFrame);
    else
        Hide(sRedFrame);
}
} // namespace UI
