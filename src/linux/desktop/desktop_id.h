#pragma once

namespace tav {

// The name of the installed desktop entry and icon.
inline constexpr const char* kDesktopId = "org.tavrello.Tavrello";

}  // namespace tav
