// The flag's object type: never laid in the level, painted by the tile editor.
#pragma once

namespace Flag
{
// Registers the flag type 28 (level Load and tile editor Load).
void LoadFlag();
} // namespace Flag
