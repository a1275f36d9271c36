// The main menu state.
#include "states/GameState_Menu.h"

#include <cstdint>
#include <cstring>

#include "engine/KoAssert.h"
#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "engine/KoMath.h"
#include "framework/ButtonPanel.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "framework/HighScore.h"
#include "framework/MeshFile.h"
#include "framework/Sound.h"

// The menu's object types; the id is the index in the menu's type table.
enum
{
    MENU_TYPE_PLAY = 0,
    MENU_TYPE_EXIT,
    MENU_TYPE_SOUND_ON,  // shown while sound is on; a click turns it off
    MENU_TYPE_SOUND_OFF, // shown while sound is off; a click turns it on
    MENU_TYPE_CREDITS,
    MENU_TYPE_BODY, // troglin body in the title area
    MENU_TYPE_LOGO,
    MENU_TYPE_FULL_SCREEN, // shown while windowed
    MENU_TYPE_WINDOWED,    // shown while full screen
    MENU_TYPE_YES,
    MENU_TYPE_NO,
    MENU_TYPE_POINTER, // the axe that serves as the mouse pointer
    MENU_TYPE_OPTIONS,
    MENU_TYPE_BACK,
    MENU_TYPE_HIGH_SCORES,
    MENU_TYPE_HOW_TO_PLAY,
    MENU_TYPE_BACKDROP,  // loading backdrop, built in code
    MENU_TYPE_FULL_HERO, // whole troglin: how-to-play picture and loading scene
    MENU_TYPE_DARK_MAGE,
    MENU_TYPE_BEAST,
    MENU_TYPE_NUM
};

static const int MENU_OBJ_NUM_MAX      = 32;
static const int MENU_OBJ_INST_NUM_MAX = 80;
static const int MENU_LOADING_TROGLINS = 15;

static const unsigned int MENU_TEXT_COLOUR = ButtonPanel::TEXT_COLOUR;
static const float MENU_BUTTON_W           = 40.0f; // hit rectangle of a button, world units
static const float MENU_BUTTON_H           = 10.0f;
static const float MENU_BUTTON_SCALE       = 40.0f;
static const float MENU_BUTTON_SCALE_HOVER = 45.0f;
static const float MENU_CLICK_DELAY        = 0.5f; // seconds of menu time before buttons take clicks

// Mesh file of each type; the loading backdrop has none (it is one rectangle built in code).
static const char* const sMenuMeshFiles[MENU_TYPE_NUM] = {
    "Meshes/newplaymesh.txt",
    "Meshes/newexitmesh.txt",
    "Meshes/newsoundonmesh.txt",
    "Meshes/newsoundoffmesh.txt",
    "Meshes/newcreditsmesh.txt",
    "Meshes/herobodymesh.txt",
    "Meshes/logomesh.txt",
    "Meshes/fullscrbtnmesh.txt",
    "Meshes/windowedmesh.txt",
    "Meshes/yesmesh.txt",
    "Meshes/nomesh.txt",
    "Meshes/heroweapon.txt",
    "Meshes/optionsmesh.txt",
    "Meshes/backmesh.txt",
    "Meshes/highscoremesh.txt",
    "Meshes/howtoplaymesh.txt",
    nullptr,
    "Meshes/fullheromesh.txt",
    "Meshes/darkmagemesh.txt",
    "Meshes/neonbeast2mesh.txt",
};

// The credits screen: the game's own credits by role, and the notice of the libraries and fonts it uses.
static const char* const sCreditBlock1 = "A Skarnhold team game\n   built from scratch";
static const char* const sCreditBlock2 = "Programming\n"
                                         "engine, level, menus, editors\n"
                                         "the Skarnhold team";
static const char* const sCreditBlock3 = "Art and Sound\n"
                                         "meshes from pixel grids\n"
                                         "synthesised music\n"
                                         "the Skarnhold team";
static const char* const sCreditBlock4 = "Level Design and Testing\n"
                                         "eleven maps and a bot that runs them\n"
                                         "the Skarnhold team\n"
                                         "\n"
                                         "Thanks for playing, troglin!";
static const char* const sNoticeBlock =
    "SDL2, SDL2_ttf, SDL2_mixer (zlib), FreeType (FTL), fontconfig (MIT licence)\n"
    "Fonts: Cherry Bomb (OFL 1.1), FreeFont (GPLv3+), DejaVu (Bitstream Vera)";

MenuScreen gMenuScreen = MENU_SCREEN_MAIN;

float gMenuClickTime   = 0.0f;
float gCursorSwingTime = 0.0f;

static GameObj sMenuObjList[MENU_OBJ_NUM_MAX];
static int sMenuObjNum = 0;
static GameObjInst sMenuObjInstList[MENU_OBJ_INST_NUM_MAX];

// The instances the menu moves, shows and hides.
static GameObjInst* sPlay;
static GameObjInst* sExit;
static GameObjInst* sSoundOn;
static GameObjInst* sSoundOff;
static GameObjInst* sCredits;
static GameObjInst* sBody;
static GameObjInst* sLogo;
static GameObjInst* sFullScreen;
static GameObjInst* sWindowed;
static GameObjInst* sYes;
static GameObjInst* sNo;
static GameObjInst* sOptions;
static GameObjInst* sBack;
static GameObjInst* sHowToPlay;
static GameObjInst* sHighScores;
static GameObjInst* sBackdrop;
static GameObjInst* sFullHero;
static GameObjInst* sDarkMage;
static GameObjInst* sBeast;
static GameObjInst* sPointer;
static GameObjInst* sLoadingTroglins[MENU_LOADING_TROGLINS];

// Large and small text, sized for the 800 x 600 layout and scaled with it.
static KoGfxFont* sFontLarge;
static KoGfxFont* sFontSmall;

static void Show(GameObjInst* pInst, bool show)
{
    pInst->flag = show ? uint32_t(FLAG_ACTIVE) : 0u;
}

static GameObjInst* CreateMenuInst(unsigned int type, float x, float y, float scale, float dir = 0.0f)
{
    Vec2 pos;
    Vec2Set(&pos, x, y);
    GameObjInst* pInst = KoGameObjInstCreate(type, scale, &pos, nullptr, dir, sMenuObjList, sMenuObjInstList,
                                             MENU_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
    KO_ASSERT_FN(pInst, "GameStateMenuInit");
    return pInst;
}

static bool IsButton(unsigned int type)
{
    switch (type)
    {
        case MENU_TYPE_PLAY:
        case MENU_TYPE_EXIT:
        case MENU_TYPE_SOUND_ON:
        case MENU_TYPE_SOUND_OFF:
        case MENU_TYPE_CREDITS:
        case MENU_TYPE_FULL_SCREEN:
        case MENU_TYPE_WINDOWED:
        case MENU_TYPE_YES:
        case MENU_TYPE_NO:
        case MENU_TYPE_OPTIONS:
        case MENU_TYPE_BACK:
        case MENU_TYPE_HIGH_SCORES:
        case MENU_TYPE_HOW_TO_PLAY:
            return true;
        default:
            return false;
    }
}

// The one layout pass: the instances of the current screen shown, every other one hidden. The screens of
// text (how to play, Hall Of Fame, credits) have a small logo, no troglin body and their back button at the
// bottom.
static void LayoutScreen()
{
    for (GameObjInst* pInst :
         {sPlay, sExit, sSoundOn, sSoundOff, sCredits, sFullScreen, sWindowed, sYes, sNo, sOptions, sBack,
          sHowToPlay, sHighScores, sBackdrop, sFullHero, sDarkMage, sBeast})
        Show(pInst, false);
    const bool text = gMenuScreen == MENU_SCREEN_HOW_TO_PLAY || gMenuScreen == MENU_SCREEN_HALL_OF_FAME ||
                      gMenuScreen == MENU_SCREEN_CREDITS;
    Vec2Set(&sLogo->posCurr, 0.0f, text ? 50.0f : 30.0f);
    sLogo->scale = text ? 50.0f : 100.0f;
    Show(sBody, !text);
    Vec2Set(&sBack->posCurr, 0.0f, text ? -50.0f : -40.0f);
    Show(sBack, text || gMenuScreen == MENU_SCREEN_OPTIONS);
    const bool loading = gMenuScreen == MENU_SCREEN_LOADING;
    Show(sPointer, !loading);
    Show(sBackdrop, loading);
    for (GameObjInst* pTroglin : sLoadingTroglins) Show(pTroglin, loading);

    switch (gMenuScreen)
    {
        case MENU_SCREEN_MAIN:
        case MENU_SCREEN_LOADING: // the loading picture covers the main screen
            for (GameObjInst* pInst : {sPlay, sExit, sCredits, sOptions, sHighScores, sHowToPlay})
                Show(pInst, true);
            break;
        case MENU_SCREEN_HOW_TO_PLAY:
            for (GameObjInst* pInst : {sFullHero, sDarkMage, sBeast}) Show(pInst, true);
            break;
        case MENU_SCREEN_OPTIONS:
            Show(sSoundOn, gSoundOn);
            Show(sSoundOff, !gSoundOn);
            Show(sWindowed, gKoGfxFullScreen);
            Show(sFullScreen, !gKoGfxFullScreen);
            break;
        case MENU_SCREEN_QUIT_ASK:
            Show(sYes, true);
            Show(sNo, true);
            break;
        case MENU_SCREEN_HALL_OF_FAME:
        case MENU_SCREEN_CREDITS:
            break;
    }
}

// The action of a button pressed on the current screen. A new screen is laid out from the next update on,
// but for the loading picture: the level loads after this very frame.
static void ButtonAct(unsigned int type)
{
    switch (type)
    {
        case MENU_TYPE_PLAY:
            gMenuScreen = MENU_SCREEN_LOADING;
            LayoutScreen();
            gGameStateNext = GS_LEVEL; // after this frame's Draw has put up the loading picture
            break;
        case MENU_TYPE_SOUND_ON:
            gSoundOn = false;
            break;
        case MENU_TYPE_SOUND_OFF:
            gSoundOn = true;
            break;
        case MENU_TYPE_FULL_SCREEN:
        case MENU_TYPE_WINDOWED:
            KoGfxToggleScreenMode();
            break;
        case MENU_TYPE_YES:
            gGameStateNext = GS_QUIT;
            break;
        case MENU_TYPE_EXIT:
            gMenuScreen = MENU_SCREEN_QUIT_ASK;
            break;
        case MENU_TYPE_HOW_TO_PLAY:
            gMenuScreen = MENU_SCREEN_HOW_TO_PLAY;
            break;
        case MENU_TYPE_OPTIONS:
            gMenuScreen = MENU_SCREEN_OPTIONS;
            break;
        case MENU_TYPE_HIGH_SCORES:
            gMenuScreen = MENU_SCREEN_HALL_OF_FAME;
            break;
        case MENU_TYPE_CREDITS:
            gMenuScreen = MENU_SCREEN_CREDITS;
            break;
        case MENU_TYPE_NO:
        case MENU_TYPE_BACK:
            gMenuScreen = MENU_SCREEN_MAIN;
            break;
        default:
            break;
    }
}

// ESC (or the pad's east button): a sub-screen goes back to the main screen, the main screen to the quit
// question. SPACE closes how to play too.
static void GoBack()
{
    if (gMenuScreen == MENU_SCREEN_LOADING) return;
    gMenuScreen = gMenuScreen == MENU_SCREEN_MAIN ? MENU_SCREEN_QUIT_ASK : MENU_SCREEN_MAIN;
}

void GameStateMenuLoad()
{
    gHighScores.clear();
    LoadHighScores();

    memset(sMenuObjList, 0, sizeof sMenuObjList);
    sMenuObjNum = 0;
    memset(sMenuObjInstList, 0, sizeof sMenuObjInstList);

    SoundLoad(SND_ROAD_HAZARD, "Sounds/04 - Road Hazard.mp3");
    SoundLoad(SND_AXE_HIT, "Sounds/AxeHit.wav");
    SoundLoad(SND_SLASH, "Sounds/Slash.wav");
    SoundLoad(SND_AXE_HIT_BUTTON, "Sounds/AxeHitButton.wav");

    sFontLarge = KoGfxCreateLayoutFont(75, 30, 600, false, "Flintstone");
    sFontSmall = KoGfxCreateLayoutFont(25, 10, 600, false, "Flintstone");

    for (uint32_t type = 0; type < MENU_TYPE_NUM; ++type)
    {
        GameObj* pObj = &sMenuObjList[type];
        MeshTypeStart(pObj, type, &sMenuObjNum);
        if (sMenuMeshFiles[type])
            LoadMesh(sMenuMeshFiles[type]);
        else
            MeshAddRect(0.0f, 0.0f, 800.0f, 400.0f, 0xFF6C6764);
        MeshTypeEnd(pObj, MESH_LOADER_MENU, __LINE__, sMenuMeshFiles[type]);
    }
}

void GameStateMenuInit()
{
    gCursorSwingTime = 0.0f;
    if (gMenuScreen != MENU_SCREEN_HALL_OF_FAME && gMenuScreen != MENU_SCREEN_CREDITS)
        gMenuScreen = MENU_SCREEN_MAIN;

    sPlay       = CreateMenuInst(MENU_TYPE_PLAY, 0.0f, 0.0f, 1.0f);
    sExit       = CreateMenuInst(MENU_TYPE_EXIT, 0.0f, -50.0f, 1.0f);
    sSoundOn    = CreateMenuInst(MENU_TYPE_SOUND_ON, 0.0f, -20.0f, 1.0f);
    sSoundOff   = CreateMenuInst(MENU_TYPE_SOUND_OFF, 0.0f, -20.0f, 1.0f);
    sCredits    = CreateMenuInst(MENU_TYPE_CREDITS, 0.0f, -40.0f, 1.0f);
    sBody       = CreateMenuInst(MENU_TYPE_BODY, 0.0f, 40.0f, 30.0f);
    sLogo       = CreateMenuInst(MENU_TYPE_LOGO, 0.0f, 30.0f, 100.0f);
    sFullScreen = CreateMenuInst(MENU_TYPE_FULL_SCREEN, 0.0f, -30.0f, 1.0f);
    sWindowed   = CreateMenuInst(MENU_TYPE_WINDOWED, 0.0f, -30.0f, 1.0f);
    sYes        = CreateMenuInst(MENU_TYPE_YES, -30.0f, -20.0f, 1.0f);
    sNo         = CreateMenuInst(MENU_TYPE_NO, 30.0f, -20.0f, 1.0f);
    sOptions    = CreateMenuInst(MENU_TYPE_OPTIONS, 0.0f, -20.0f, 1.0f);
    sBack       = CreateMenuInst(MENU_TYPE_BACK, 0.0f, -40.0f, 1.0f);
    sHowToPlay  = CreateMenuInst(MENU_TYPE_HOW_TO_PLAY, 0.0f, -10.0f, 1.0f);
    sHighScores = CreateMenuInst(MENU_TYPE_HIGH_SCORES, 0.0f, -30.0f, 1.0f);
    sBackdrop   = CreateMenuInst(MENU_TYPE_BACKDROP, 0.0f, 0.0f, 10.0f);
    sFullHero   = CreateMenuInst(MENU_TYPE_FULL_HERO, -10.0f, -30.0f, 10.0f);
    sDarkMage   = CreateMenuInst(MENU_TYPE_DARK_MAGE, 0.0f, -30.0f, 10.0f);
    sBeast      = CreateMenuInst(MENU_TYPE_BEAST, 10.0f, -30.0f, 10.0f);
    sPointer    = CreateMenuInst(MENU_TYPE_POINTER, 0.0f, 0.0f, 20.0f, 0.2f);

    // The loading scene: a ragged row of troglins, each leaning by up to an eighth of a turn.
    float x = -50.0f;
    for (GameObjInst*& pTroglin : sLoadingTroglins)
    {
        x += 15.0f * KoRandFloat();
        float dir = KoRandFloat() * KO_PI * 0.25f - KO_PI / 8.0f;
        pTroglin  = CreateMenuInst(MENU_TYPE_FULL_HERO, x, -30.0f, 20.0f, dir);
    }
    LayoutScreen();

    ButtonPanel::Panel panel;
    panel.pPool      = sMenuObjInstList;
    panel.poolNum    = MENU_OBJ_INST_NUM_MAX;
    panel.isButton   = IsButton;
    panel.act        = ButtonAct;
    panel.pPointer   = sPointer;
    panel.hitW       = MENU_BUTTON_W;
    panel.hitH       = MENU_BUTTON_H;
    panel.scale      = MENU_BUTTON_SCALE;
    panel.hoverScale = MENU_BUTTON_SCALE_HOVER;
    ButtonPanel::Use(panel);
}

void GameStateMenuUpdate()
{
    if (KoInputCheckTriggered(VK_F2)) gGameStateNext = GS_TILE_EDITOR;
    if (KoInputCheckTriggered(VK_F3)) gGameStateNext = GS_MESH_EDITOR;

    gMenuClickTime += gFrameTime;

    // The menu music starts again whenever it has ended.
    bool musicPlaying = false;
    AudioChannelIsPlaying(gChannelTable[SND_ROAD_HAZARD], &musicPlaying);
    if (!musicPlaying) SoundPlay(SND_ROAD_HAZARD, 0.0f);

    LayoutScreen();
    // A press (a click anywhere) swings the pointer axe up with a slash; then it comes back down.
    const bool pressed = ButtonPanel::Update(gMenuScreen, true, gMenuClickTime > MENU_CLICK_DELAY, false);
    ButtonPanel::Swing(&gCursorSwingTime, pressed, SND_SLASH, gFrameTime);
    if (KoInputCheckTriggered(VK_ESCAPE) || KoInputCheckTriggered(VK_PAD_B)) GoBack();
    if (gMenuScreen == MENU_SCREEN_HOW_TO_PLAY && KoInputCheckTriggered(VK_SPACE))
        gMenuScreen = MENU_SCREEN_MAIN;

    // The menu's instances sit directly in the layout's view units: no world camera.
    KoGameObjInstTransformAll(sMenuObjInstList, MENU_OBJ_INST_NUM_MAX, sizeof(GameObjInst), gFrameTime);
}

// The colours of the level's power digits (the palette's light moss and red).
static const uint32_t POWER_GREEN = 0xFFA8D86A;
static const uint32_t POWER_RED   = 0xFFD9412B;

// What the level's tutorial pages tell, for a player who reads first.
static const char* const sHowToPlayMore = "Hold the key down longer to jump higher\n"
                                          "Beat monsters whose power (red) is not above yours (green)\n"
                                          "Troglins on the way join you: more power, and they throw axes\n"
                                          "Diamonds make you invulnerable for ten seconds";

void GameStateMenuDraw()
{
    using ButtonPanel::Print;
    KoGfxFont* pLarge = sFontLarge;
    KoGfxFont* pSmall = sFontSmall;

    // The pictures first and the texts over them, so that no mesh hides a text (the loading backdrop covers
    // the whole view).
    KoGfxSetLayoutCamera(true);
    KoGameObjInstDrawAll(sMenuObjInstList, MENU_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
    KoGfxSetLayoutCamera(false);

    if (gMenuScreen == MENU_SCREEN_LOADING) Print(273, 280, pLarge, MENU_TEXT_COLOUR, "Loading..");
    if (gMenuScreen == MENU_SCREEN_QUIT_ASK) Print(270, 280, pLarge, MENU_TEXT_COLOUR, "really?");
    if (gMenuScreen == MENU_SCREEN_CREDITS)
    {
        Print(345, 105, pSmall, MENU_TEXT_COLOUR, "Credits");
        Print(45, 470, pSmall, MENU_TEXT_COLOUR, "%s", sNoticeBlock);
        Print(305, 155, pSmall, MENU_TEXT_COLOUR, "%s", sCreditBlock1);
        Print(55, 205, pSmall, MENU_TEXT_COLOUR, "%s", sCreditBlock2);
        Print(495, 205, pSmall, MENU_TEXT_COLOUR, "%s", sCreditBlock3);
        Print(50, 310, pSmall, MENU_TEXT_COLOUR, "%s", sCreditBlock4);
    }
    if (gMenuScreen == MENU_SCREEN_HOW_TO_PLAY)
    {
        Print(320, 110, pSmall, MENU_TEXT_COLOUR, "How to play");
        Print(170, 145, pSmall, MENU_TEXT_COLOUR, "Control your troglin by \npressing up or space to jump");
        Print(30, 205, pSmall, MENU_TEXT_COLOUR, "Navigate your way through monsters and obstacles!");
        Print(30, 250, pSmall, MENU_TEXT_COLOUR, "%s", sHowToPlayMore);
        // The powers as the level shows them: the troglin's in green, the monsters' in red.
        Print(346, 380, pSmall, POWER_GREEN, "2");
        Print(396, 380, pSmall, POWER_RED, "1");
        Print(446, 380, pSmall, POWER_RED, "3");
    }
    if (gMenuScreen == MENU_SCREEN_HALL_OF_FAME)
    {
        Print(170, 105, pLarge, MENU_TEXT_COLOUR, "Hall Of Fame");
        // The rows that end above the back button.
        ButtonPanel::PrintHallOfFame(200, 40, 25, -50.0f, MENU_BUTTON_H, pSmall, MENU_TEXT_COLOUR);
    }
}

void GameStateMenuFree()
{
    SoundFreeAll();
    KoGameObjInstDestroyAll(sMenuObjInstList, MENU_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
}

void GameStateMenuUnload()
{
    for (KoGfxFont** ppFont : {&sFontLarge, &sFontSmall})
    {
        KoGfxFreeFont(*ppFont);
        *ppFont = nullptr;
    }
    KoGameObjFreeAll(sMenuObjList, sMenuObjNum);
    sMenuObjNum = 0;
}
