#include "playback/advance.h"

#include <utility>

#include "playback/device.h"
#include "playback/transport.h"
#include "player/control_table.h"
#include "random/random.h"

namespace tav {
namespace {

// A file that ends sooner than this after it started gave no sound worth the name.
constexpr uint32_t kSoundlessMs = 50;

void NoteFileEnd(Player& player) {
    SilenceWatch& watch = player.playback.silence;
    if (player.clock().TickCount() - watch.fileStart >= kSoundlessMs) {
        watch.pieceSounded = true;
        watch.silent.clear();
        watch.silentCount = 0;
    }
}

// Called at the end of each piece: true once every list position has ended without sound
// since anything last sounded, that is a whole cycle of the list or of the random pool.
bool WholeListSilent(Player& player) {
    SilenceWatch& watch = player.playback.silence;
    if (std::exchange(watch.pieceSounded, false)) {
        return false;
    }
    const TrackListBox& list = player.trackList();
    const auto count = static_cast<std::size_t>(list.Count());
    if (watch.silent.size() != count) {  // another list: start counting afresh
        watch.silent.assign(count, false);
        watch.silentCount = 0;
    }
    const int32_t position = list.Selection();
    if (position < 0 || static_cast<std::size_t>(position) >= count) {
        return false;
    }
    if (!watch.silent[static_cast<std::size_t>(position)]) {
        watch.silent[static_cast<std::size_t>(position)] = true;
        ++watch.silentCount;
    }
    if (static_cast<std::size_t>(watch.silentCount) < count) {
        return false;
    }
    watch.silent.clear();
    watch.silentCount = 0;
    return true;
}

}  // namespace

void OnPlaybackNotify(Player& player, uint32_t flags, uint32_t deviceId) {
    // Aborted and superseded plays were ended by the command that ended them. A failure ends
    // the play unless the user has already left that device.
    if (flags == NotifyFailure && deviceId == player.playback.deviceId) {
        EndFailedPlay(player);
    }
    if (flags != NotifySuccessful) {
        return;
    }
    // The end came as the pause began: the device stands at its end, and the resume's play
    // ends at once and moves on then.
    if (player.playback.paused && deviceId == player.playback.deviceId) {
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
    NoteFileEnd(player);
    PieceRecord& piece = player.playback.piece;
    ++piece.fileIndex;
    if (piece.fileIndex <= piece.fileCount) {
        PlayCurrentEntry(player);
    } else if (WholeListSilent(player)) {
        // Stopped as Stop leaves it, on the file that ended last; nothing new is shown.
        --piece.fileIndex;
        OnStop(player);
    } else if (player.playback.randomMode) {
        PlayRandomEntry(player);
    } else {
        SelectNextEntry(player);
    }
}

}  // namespace tav
