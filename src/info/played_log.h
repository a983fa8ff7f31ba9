#pragma once

#include "player/player.h"

namespace tav {

void AppendPlayedLog(Player& player, bool titleFound);

}  // namespace tav
