#pragma once

#include <cstdint>

#include "player/player.h"

namespace tav {

void PlayCurrentEntry(Player& player);
void PlayPieceFile(Player& player);
int32_t StopDevice(Player& player);

}  // namespace tav
