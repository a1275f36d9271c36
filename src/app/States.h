// The program's states: the splash, the main menu, the level and the two editors.
#pragma once

namespace States
{
// Hands the callbacks of every state to the state manager; called before GameMain.
void Register();
} // namespace States
