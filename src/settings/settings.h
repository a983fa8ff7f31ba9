#pragma once

#include <string_view>

#include "player/player.h"

namespace tav {

void LoadSettings(Player& player);
void SaveSettings(Player& player);
double ParseNumber(std::string_view text);

}  // namespace tav
