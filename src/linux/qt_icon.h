#pragma once

#include <QIcon>

namespace tav {

// The program's icon: a pair of beamed notes on a blue tile, drawn at the usual sizes.
QIcon AppIcon();

}  // namespace tav
