#pragma once

#include "app/player.h"

namespace tav {

inline constexpr const char* kFixedTitle = "Tavrello  Ver.1.06";
inline constexpr const char* kPlayedLogName = "PlayedMusicList.out";

// Runs once at the end of window creation, after every control exists.
void StartupInit(Player& player);
// Places every control and the status-bar parts for a new client size.
void LayoutControls(Player& player, int width, int height);
// Status-bar part 3: selected position (from 1) / number of entries.
void ShowListPosition(Player& player);
// WM_DESTROY: releases the pool, saves the settings, closes the device, quits with 0.
void Shutdown(Player& player);

}  // namespace tav
