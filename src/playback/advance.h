#pragma once

#include <cstdint>

#include "player/player.h"

namespace tav {

void OnPlaybackNotify(Player& player, uint32_t flags, uint32_t deviceId);

}  // namespace tav
