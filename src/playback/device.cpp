#include "playback/device.h"

#include <cstdio>

#include "catalogue/folder_contents.h"
#include "catalogue/path.h"
#include "info/track_info.h"
#include "player/control_table.h"
#include "player/display.h"

namespace tav {
namespace {

constexpr const char* kErrorCaption = "error";

void ShowDeviceError(Player& player, const char* text) {
    player.window().ShowMessage(text, kErrorCaption);
}

void ShowFileNumber(Player& player, const PieceRecord& piece) {
    ShowCountInPart(player, 2, piece.fileIndex, piece.fileCount);
}

// Loads the entry at the list's caret as a fresh piece, positioned at its first file.
void LoadCaretEntry(Player& player) {
    PieceRecord& piece = player.playback.piece;
    const TrackListBox& list = player.trackList();
    piece.currentEntry = list.Text(list.Caret());
    piece.fileCount = CountEntryFiles(player, piece.currentEntry);
    piece.fileIndex = 1;
    piece.entryKind = TestPath(piece.currentEntry, player.files(), player.text());
}

}  // namespace

void PlayCurrentEntry(Player& player) {
    if (player.trackList().Count() == 0) {
        return;
    }
    PieceRecord& piece = player.playback.piece;
    if (piece.fileCount == 0) {
        LoadCaretEntry(player);
    } else if (piece.fileIndex > piece.fileCount || piece.fileIndex < 1) {
        // Below 1 only after << over an unlistable folder (count -1): never ask for file 0 or -1.
        return;
    }
    PlayPieceFile(player);
}

void PlayPieceFile(Player& player) {
    const PieceRecord& piece = player.playback.piece;
    std::string path;
    if (piece.entryKind == File) {
        path = piece.currentEntry;
    } else if (GetEntryFile(player, piece.currentEntry, piece.fileIndex, path) < 0) {
        return;
    }
    if (StopDevice(player) != 0) {
        return;
    }
    MediaDevice& device = player.device();
    uint32_t opened = 0;
    if (device.Open(path, opened) != 0) {
        ShowDeviceError(player, "デバイスのオープンに失敗");
        return;
    }
    player.playback.deviceId = opened;
    if (device.Play(opened) != 0) {
        ShowDeviceError(player, "デバイスの再生に失敗");
        return;
    }
    player.playback.silence.fileStart = player.clock().TickCount();
    ShowFileNumber(player, piece);
    ShowTrackInfo(player, path);
    device.SetTimeFormatMilliseconds(opened);
    player.window().StartTimer(kDisplayTimerId, kDisplayTimerPeriodMs);
    player.playback.positionLive = true;
}

void EndFailedPlay(Player& player) {
    // Left as a failed open leaves it: no device, the display stopped, the fixed title. The box
    // comes last, as notices and ticks go on while it is shown.
    player.device().Close(player.playback.deviceId);
    player.playback.deviceId = 0;
    player.playback.paused = false;
    player.window().SetTitle(kFixedTitle);
    player.window().StopTimer(kDisplayTimerId);
    ShowDeviceError(player, "デバイスの再生に失敗");
}

int32_t StopDevice(Player& player) {
    player.window().SetTitle(kFixedTitle);
    player.playback.paused = false;
    uint32_t& deviceId = player.playback.deviceId;
    if (deviceId != 0) {
        if (player.device().Stop(deviceId) != 0) {
            ShowDeviceError(player, "デバイスの停止に失敗");
            return -1;
        }
        player.device().Close(deviceId);
        deviceId = 0;
    }
    player.window().StopTimer(kDisplayTimerId);
    return 0;
}

}  // namespace tav
