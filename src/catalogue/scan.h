#pragma once

#include <cstdint>
#include <string>

#include "app/player.h"

namespace tav {

inline constexpr const char* kBrowseTitle = "タイトルです。";

void ChooseFolder(Player& player);
void ScanCatalogue(Player& player, const std::string& path, int16_t depth);
bool IsPlayableName(const Player& player, const std::string& extension);

}  // namespace tav
