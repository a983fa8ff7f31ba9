#pragma once

#include <cstdint>

#include "player/player.h"

namespace tav {

void PlayCurrentEntry(Player& player);
void PlayPieceFile(Player& player);
// The device playing failed under its file (its output went away): the play ends, reported.
void EndFailedPlay(Player& player);
int32_t StopDevice(Player& player);

}  // namespace tav
