#pragma once

#include <cstdint>
#include <string>

#include "player/player.h"

namespace tav {

// Both trackbars work on 0..1000: thousandths of the file's length, of the full volume.
inline constexpr int kTrackbarScale = 1000;

// "\t0:01:23 / 1:02:05": hours unpadded and unwrapped, minutes and seconds of two digits.
std::string TimePairText(uint32_t firstMs, uint32_t secondMs);

void OnPositionTimer(Player& player);
void OnPositionScroll(Player& player, uint16_t scrollCode, uint16_t thumb, intptr_t sender);
void OnPositionRelease(Player& player);
// Moves the playing or paused file to `toMs` (at most its end); a paused file stays paused.
void SeekTo(Player& player, uint32_t toMs);
void OnVolumeDraw(Player& player);

}  // namespace tav
