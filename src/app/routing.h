#pragma once

#include <optional>

#include "player/messages.h"
#include "player/player.h"

namespace tav {

// The routing table: runs the operation a message stands for. Returns the window procedure's
// result for a handled message, or nothing for one the default window procedure must answer.
// WM_COMMAND and WM_NOTIFY are always handled, matched or not.
std::optional<intptr_t> RouteMessage(Player& player, const Message& message);

}  // namespace tav
