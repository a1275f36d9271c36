// The diamond pickup's object type (the pickup rule itself runs in Factory::UpdateMonsters).
#pragma once

namespace Coins
{
// Level Load: registers the diamond type 27.
void LoadCoins();
} // namespace Coins
