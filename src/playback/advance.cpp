#include "playback/advance.h"

#include "app/control_table.h"
#include "playback/device.h"
#include "playback/transport.h"
#include "random/random.h"

namespace tav {

void OnPlaybackNotify(Player& player, uint32_t flags, uint32_t deviceId) {
    if (flags != NotifySuccessful) {
        return;
    }
    player.device().Close(deviceId);
    // A file can end just before a command leaves it (Stop, >>, a new play): its notice then
    // arrives after that device was closed and must neither close the device now playing nor
    // advance past what the user chose.
    if (deviceId != player.playback.deviceId) {
        return;
    }
    player.playback.deviceId = 0;
    player.window().StopTimer(kDisplayTimerId);
    PieceRecord& piece = player.playback.piece;
    ++piece.fileIndex;
    if (piece.fileIndex <= piece.fileCount) {
        PlayCurrentEntry(player);
    } else if (player.playback.randomMode) {
        PlayRandomEntry(player);
    } else {
        SelectNextEntry(player);
    }
}

}  // namespace tav
