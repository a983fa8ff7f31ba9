#pragma once

#include <cstddef>
#include <cstdint>

#include "player/player.h"

namespace tav {

inline constexpr const char* kFixedTitle = "Tavrello  Ver.1.06";
inline constexpr const char* kPlayedLogName = "PlayedMusicList.out";
inline constexpr std::size_t kExclusionTextLimit = 15;
// One wave-out channel at full volume.
inline constexpr uint32_t kFullChannel = 65535;

// Writes "<number> / <count>" into status-bar `part`.
void ShowCountInPart(Player& player, int part, int32_t number, int32_t count);
// Status-bar part 3: selected position (from 1) / number of entries.
void ShowListPosition(Player& player);
// The target label for play-target bits `value`.
void ShowPlayTarget(Player& player, int32_t value);

}  // namespace tav
