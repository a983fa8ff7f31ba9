#pragma once

#include <cstdint>

#include "app/player.h"

namespace tav {

constexpr std::size_t kExclusionTextLimit = 15;

void UnitChanged(Player& player);
void ExclusionChanged(Player& player);
void CyclePlayTarget(Player& player);
void ShowPlayTarget(Player& player, int32_t value);

}  // namespace tav
