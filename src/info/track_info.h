#pragma once

#include <string>

#include "player/player.h"

namespace tav {

void ShowTrackInfo(Player& player, const std::string& path);

}  // namespace tav
