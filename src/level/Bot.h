// The bot player (--bot): it plays the game through the same input path as a player's keys and mouse. In
// the main menu it clicks Play. In the level it reads the map ahead of the party, predicts each troglin's
// motion frame by frame with the game's own motion rules, and holds the jump key for as long as the best
// prediction says. It closes tutorial pages with SPACE. Runs end in turn four ways: after the game over
// (name typed and confirmed) by Restart, then by Menu and Play again; a few seconds into the run by the
// pause menu's Restart, then by its Menu (a run over sooner leaves by the game-over screen's button).
// After four minutes of running it jumps no more, so every run comes to its end. The human model
// (EnableHuman) sees the same but presses like a newcomer, early or late and too short or too long.
#pragma once

#include <cstdint>

namespace Bot
{
// Turns the bot on: it hooks itself before every step's input.
void Enable();
// Turns on the human model instead: the same sight, a newcomer's presses, its errors drawn from a generator
// of its own seeded by `seed`.
void EnableHuman(uint32_t seed);
bool Enabled();
// The level has just been initialised: a fresh run.
void Init();
// Before each step's input: decide which keys and buttons change and press or release them.
void Tick();
} // namespace Bot
