#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "player/player.h"

namespace tav {

inline constexpr const char* kBrowseTitle = "タイトルです。";
inline constexpr const char* kInvalidPathText = "不正なパス名です";
inline constexpr const char* kInvalidPathCaption = "Warning";

inline constexpr uint32_t BFFM_INITIALIZED_ = 1;
inline constexpr uint32_t BFFM_SETSELECTIONA_ = 1126;

// The open shell folder browser as its callback sees it: the Win32 front end forwards to
// SendMessageA on the browser's window.
class BrowserSelection {
public:
    virtual ~BrowserSelection() = default;
    virtual void Send(uint32_t message, uintptr_t wParam, const char* lParam) = 0;
};

// Lets the user pick the root folder; on confirmation fills FolderEdit and rescans.
void ChooseFolder(Player& player);
// The folder browser's callback: preselects `data` (a path text, or null) once the browser
// is initialised. Always 0.
int32_t BrowseCallback(BrowserSelection& dialog, uint32_t message, const char* data);
// Adds the pieces found under `path` to TrackList; depth 0 is the top-level call.
void ScanCatalogue(Player& player, const std::string& path, int16_t depth);
bool IsPlayableName(const Player& player, std::string_view extension);

}  // namespace tav
