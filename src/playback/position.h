#pragma once

#include <cstdint>

#include "app/player.h"

namespace tav {

void OnPositionTimer(Player& player);
void OnPositionScroll(Player& player, uint16_t scrollCode, uint16_t thumb, intptr_t sender);
void OnPositionRelease(Player& player);
void OnVolumeDraw(Player& player);

}  // namespace tav
