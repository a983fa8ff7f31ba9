#pragma once

#include <cstdint>

#include "player/player.h"

namespace tav {

int32_t PlayCurrentEntry(Player& player);
int32_t PlayPieceFile(Player& player);
int32_t StopDevice(Player& player);

}  // namespace tav
