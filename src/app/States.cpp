#include "app/States.h"

#include "framework/GameStateMgr.h"
#include "level/GameState_Level.h"
#include "states/GameState_Menu.h"
#include "states/GameState_Mesheditor.h"
#include "states/GameState_Splash.h"
#include "states/GameState_TileEditor.h"

namespace
{
// The callbacks of every state, by id.
const GameStateCallbacks STATES[GS_STATE_NUM] = {
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

namespace States
{
void Register()
{
    GameStateMgrSetStates(STATES);
}
} // namespace States
