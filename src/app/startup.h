#pragma once

#include "player/player.h"

namespace tav {

// Runs once at the end of window creation, after every control exists.
void StartupInit(Player& player);
// WM_DESTROY: releases the pool, saves the settings, closes the device, quits with 0.
void Shutdown(Player& player);

}  // namespace tav
