#pragma once

#include <QIcon>

namespace tav {

// The name of the installed desktop entry and icon.
inline constexpr const char* kDesktopId = "org.tavrello.Tavrello";

// The program's icon: the installed one from the icon theme, or else the same design (a pair
// of beamed notes on a blue tile) drawn at the usual sizes.
QIcon AppIcon();

}  // namespace tav
