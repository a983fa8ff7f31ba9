#pragma once

#include "app/player.h"

namespace tav {

void AppendPlayedLog(Player& player, bool titleFound);

}  // namespace tav
