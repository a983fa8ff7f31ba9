#pragma once

#include "player/player.h"

namespace tav {

// The transport commands of media keys and desktop media controls.
enum class MediaCommand { Play, Pause, PlayPause, Stop, Next, Previous };

// Carries out a media command. Unlike the window's Play button, Play and PlayPause resume a
// paused file where it was and leave a playing one alone; with no root folder to play from
// they do nothing rather than ask for one, as no dialog may answer a key or a remote call.
void OnMediaCommand(Player& player, MediaCommand command);

}  // namespace tav
