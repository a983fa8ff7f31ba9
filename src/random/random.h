#pragma once

#include <cstdint>

#include "player/player.h"

namespace tav {

int32_t NextRandom15(Player& player);
double RandomFraction(Player& player);
void PlayRandomEntry(Player& player);
void RebuildPool(Player& player);
void SeedRandom(Player& player);
void ReleasePool(Player& player);

}  // namespace tav
