#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "player/player.h"

namespace tav {

inline constexpr const char* kBrowseTitle = "タイトルです。";
inline constexpr const char* kInvalidPathText = "不正なパス名です";
inline constexpr const char* kInvalidPathCaption = "Warning";

// Lets the user pick the root folder; on confirmation fills FolderEdit and returns it.
std::optional<std::string> ChooseRootFolder(Player& player);
// Adds the pieces found under `path` to TrackList; depth 0 is the top-level call. False when
// the path names nothing (the user has been told so).
bool ScanCatalogue(Player& player, const std::string& path, int16_t depth);
bool IsPlayableName(const Player& player, std::string_view extension);

}  // namespace tav
