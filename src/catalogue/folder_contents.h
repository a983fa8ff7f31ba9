#pragma once

#include <cstdint>
#include <string>

#include "player/player.h"

namespace tav {

int32_t CountEntryFiles(Player& player, const std::string& entry);
int32_t GetEntryFile(Player& player, const std::string& entry, int32_t index, std::string& out);

}  // namespace tav
