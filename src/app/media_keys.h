#pragma once

#include <optional>

namespace tav {

// The transport commands of media keys and desktop media controls.
enum class MediaCommand { Play, Pause, PlayPause, Stop, Next, Previous };

// The button whose click the command stands for, given whether a file is playing; nothing
// when the command has nothing to do. The player has no pause: pausing stops, and Play while
// playing leaves the file alone rather than restarting it as the Play button would.
std::optional<int> MediaCommandButton(MediaCommand command, bool playing);

}  // namespace tav
