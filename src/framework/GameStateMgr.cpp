#include "framework/GameStateMgr.h"

#include "level/GameState_Level.h"
#include "states/GameState_Menu.h"
#include "states/GameState_Mesheditor.h"
#include "states/GameState_Splash.h"
#include "states/GameState_TileEditor.h"

namespace
{
struct GameStateEntry
{
    GameStateFn load, init, update, draw, free, unload;
};

// The callbacks of every state, by id. A state that is not built yet has an empty entry.
const GameStateEntry sStateTable[GS_RESTART] = {
    /* GS_SPLASH */
    {GameStateSplashLoad, GameStateSplashInit, GameStateSplashUpdate, GameStateSplashDraw,
     GameStateSplashFree, GameStateSplashUnload},
    /* GS_MENU */
    {GameStateMenuLoad, GameStateMenuInit, GameStateMenuUpdate, GameStateMenuDraw, GameStateMenuFree,
     GameStateMenuUnload},
    /* GS_LEVEL */
    {GameStateLevelLoad, GameStateLevelInit, GameStateLevelUpdate, GameStateLevelDraw, GameStateLevelFree,
     GameStateLevelUnload},
    /* GS_TILE_EDITOR */
    {GameStateTileEditorLoad, GameStateTileEditorInit, GameStateTileEditorUpdate, GameStateTileEditorDraw,
     GameStateTileEditorFree, GameStateTileEditorUnload},
    /* GS_MESH_EDITOR */
    {GameStateMesheditorLoad, GameStateMesheditorInit, GameStateMesheditorUpdate, GameStateMesheditorDraw,
     GameStateMesheditorFree, GameStateMesheditorUnload},
};
} // namespace

bool GameStateMgrHasState(int state)
{
    return state >= 0 && state < GS_RESTART && sStateTable[state].load != nullptr;
}

void GameStateMgrUpdate()
{
    if (!GameStateMgrHasState(gGameStateCurr)) return;
    const GameStateEntry& e = sStateTable[gGameStateCurr];
    GameStateLoad           = e.load;
    GameStateInit           = e.init;
    GameStateUpdate         = e.update;
    GameStateDraw           = e.draw;
    GameStateFree           = e.free;
    GameStateUnload         = e.unload;
}
