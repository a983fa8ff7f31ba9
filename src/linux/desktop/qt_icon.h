#pragma once

#include <QIcon>

#include "linux/desktop/desktop_id.h"

namespace tav {

// The program's icon: the installed one from the icon theme, or else the same design (a pair
// of beamed notes on a blue tile) drawn at the usual sizes.
QIcon AppIcon();

}  // namespace tav
