#include "app/media_keys.h"

#include "player/control_table.h"

namespace tav {

std::optional<int> MediaCommandButton(MediaCommand command, bool playing) {
    switch (command) {
    case MediaCommand::Play:
        return playing ? std::nullopt : std::optional<int>(PlayButton);
    case MediaCommand::Pause:
        return playing ? std::optional<int>(StopButton) : std::nullopt;
    case MediaCommand::PlayPause:
        return playing ? StopButton : PlayButton;
    case MediaCommand::Stop:
        return StopButton;
    case MediaCommand::Next:
        return NextButton;
    case MediaCommand::Previous:
        return PrevButton;
    }
    return std::nullopt;
}

}  // namespace tav
