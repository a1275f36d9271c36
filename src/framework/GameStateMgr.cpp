// The state manager: the table of state callbacks the program hands over, and the switch of the six
// current callbacks to the state the main loop enters.
#include "framework/GameStateMgr.h"

#include "engine/KoAssert.h"

static const GameStateCallbacks* sStates = nullptr; // GS_STATE_NUM entries

void GameStateMgrSetStates(const GameStateCallbacks (&states)[GS_STATE_NUM])
{
    sStates = states;
}

void GameStateMgrUpdate()
{
    KO_ASSERT_MESG(sStates && gGameStateCurr >= 0 && gGameStateCurr < GS_STATE_NUM,
                   "no callbacks for this state");
    const GameStateCallbacks& e = sStates[gGameStateCurr];
    GameStateLoad               = e.load;
    GameStateInit               = e.init;
    GameStateUpdate             = e.update;
    GameStateDraw               = e.draw;
    GameStateFree               = e.free;
    GameStateUnload             = e.unload;
}
