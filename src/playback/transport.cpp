#include "playback/transport.h"

#include "catalogue/folder_contents.h"
#include "catalogue/path.h"
#include "catalogue/scan.h"
#include "playback/device.h"
#include "playback/position.h"
#include "player/control_table.h"
#include "player/display.h"
#include "player/text_cut.h"
#include "random/random.h"

namespace tav {
namespace {

// Moves the selection to another entry and forgets the piece, so that the next play loads it.
void SelectEntry(Player& player, int32_t index) {
    player.trackList().Select(index);
    ShowListPosition(player);
    player.playback.piece.fileCount = 0;
    player.playback.piece.fileIndex = 0;
}

// The root folder the folder field names, if it exists.
std::optional<std::string> NamedRootFolder(Player& player) {
    std::string folder = CutToLimit(player.window().ControlText(FolderEdit),
                                    player.pathStyle().maxPath, player.text());
    if (folder.empty() || TestPath(folder, player.files(), player.text()) == NotFound) {
        return std::nullopt;
    }
    return folder;
}

}  // namespace

void ListRootFolder(Player& player, const std::string& folder) {
    player.trackList().Reset();
    if (ScanCatalogue(player, folder, 0)) {
        RebuildPool(player);  // the pool follows the new list
    }
}

void ChooseFolder(Player& player) {
    if (const std::optional<std::string> chosen = ChooseRootFolder(player)) {
        ListRootFolder(player, *chosen);
    }
}

void EnsureCatalogue(Player& player) {
    if (player.trackList().Count() > 0) {
        return;
    }
    if (const std::optional<std::string> folder = NamedRootFolder(player)) {
        ListRootFolder(player, *folder);
    } else {
        ChooseFolder(player);
    }
}

void OnPlay(Player& player) {
    player.playback.randomMode = false;
    EnsureCatalogue(player);
    if (player.trackList().Selection() < 0) {
        player.trackList().Select(0);
        // Every other selection made for the user shows its position at once.
        ShowListPosition(player);
    }
    PlayCurrentEntry(player);
}

void OnRandomPlay(Player& player) {
    player.playback.randomMode = true;
    EnsureCatalogue(player);
    PlayRandomEntry(player);
}

void OnStop(Player& player) {
    StopDevice(player);
}

void OnPause(Player& player) {
    PlaybackState& playback = player.playback;
    if (playback.deviceId == 0 || playback.paused) {
        return;
    }
    if (player.device().Pause(playback.deviceId) != 0) {
        return;  // still playing: nothing changed
    }
    playback.paused = true;
    player.window().StopTimer(kDisplayTimerId);
    OnPositionTimer(player);  // the display stands at the paused position
}

void OnResume(Player& player) {
    PlaybackState& playback = player.playback;
    if (!playback.paused) {
        return;
    }
    playback.paused = false;
    if (player.device().Play(playback.deviceId) != 0) {
        EndFailedPlay(player);
        return;
    }
    player.window().StartTimer(kDisplayTimerId, kDisplayTimerPeriodMs);
}

bool CanStartPlay(Player& player) {
    return player.trackList().Count() > 0 || NamedRootFolder(player).has_value();
}

void OnNext(Player& player) {
    PieceRecord& piece = player.playback.piece;
    ++piece.fileIndex;
    if (piece.fileIndex <= piece.fileCount) {
        PlayCurrentEntry(player);
    } else if (player.playback.randomMode) {
        piece.fileIndex = 1;
        PlayCurrentEntry(player);
    } else {
        SelectNextEntry(player);
    }
}

void OnPrevious(Player& player) {
    PieceRecord& piece = player.playback.piece;
    --piece.fileIndex;
    if (piece.fileIndex >= 1) {
        PlayCurrentEntry(player);
    } else if (player.playback.randomMode) {
        piece.fileIndex = piece.fileCount;
        PlayCurrentEntry(player);
    } else {
        SelectPreviousEntry(player);
    }
}

void OnListDoubleClick(Player& player) {
    PlayCurrentEntry(player);
}

void OnListSelChange(Player& player) {
    player.playback.piece.fileIndex = 0;
    player.playback.piece.fileCount = 0;
    ShowListPosition(player);
}

void SelectNextEntry(Player& player) {
    const TrackListBox& list = player.trackList();
    const int32_t next = list.Selection() + 1;
    SelectEntry(player, next < list.Count() ? next : 0);
    PlayCurrentEntry(player);
}

void SelectPreviousEntry(Player& player) {
    const TrackListBox& list = player.trackList();
    const int32_t selection = list.Selection();
    const int32_t previous = selection > 0 ? selection - 1 : list.Count() - 1;
    SelectEntry(player, previous);
    if (previous < 0) {
        return;  // an empty list: an empty entry text would name the root folder
    }
    PieceRecord& piece = player.playback.piece;
    piece.currentEntry = list.Text(previous);
    piece.fileCount = CountEntryFiles(player, piece.currentEntry);
    piece.fileIndex = piece.fileCount;
    piece.entryKind = TestPath(piece.currentEntry, player.files(), player.text());
    PlayCurrentEntry(player);
}

}  // namespace tav
