#pragma once

#include <cstdint>

#include "player/player.h"

namespace tav {

void UnitChanged(Player& player);
void ExclusionChanged(Player& player);
void CyclePlayTarget(Player& player);

}  // namespace tav
