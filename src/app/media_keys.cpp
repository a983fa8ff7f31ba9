#include "app/media_keys.h"

#include "playback/transport.h"

namespace tav {
namespace {

void PlayOrResume(Player& player) {
    if (player.playback.paused) {
        OnResume(player);
    } else if (player.playback.deviceId == 0 && CanStartPlay(player)) {
        OnPlay(player);
    }
}

}  // namespace

void OnMediaCommand(Player& player, MediaCommand command) {
    const bool playing = player.playback.deviceId != 0 && !player.playback.paused;
    switch (command) {
    case MediaCommand::Play:
        PlayOrResume(player);
        break;
    case MediaCommand::Pause:
        OnPause(player);
        break;
    case MediaCommand::PlayPause:
        playing ? OnPause(player) : PlayOrResume(player);
        break;
    case MediaCommand::Stop:
        OnStop(player);
        break;
    case MediaCommand::Next:
        OnNext(player);
        break;
    case MediaCommand::Previous:
        OnPrevious(player);
        break;
    }
}

}  // namespace tav
