// The bot player (--bot): it plays the level through the same input path as a player's keys. It reads the
// map ahead of the party, predicts each troglin's motion frame by frame with the game's own motion rules,
// and holds the jump key for as long as the best prediction says. It closes tutorial pages with SPACE and,
// when a run is over, types its name, confirms it and clicks Restart.
#pragma once

namespace Bot
{
// Turns the bot on. With skipDraw the level is not drawn (the run goes faster; nothing is shown).
void Enable(bool skipDraw);
bool Enabled();
// The level has just been initialised: a fresh run.
void Init();
// After each level update: decide which keys change for the next frame and queue them as input events.
void Update();
// The level's Draw does nothing.
bool SkipDraw();
} // namespace Bot
