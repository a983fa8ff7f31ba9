// Operations whose owners have not landed yet. Each owner deletes its entries here when it
// lands; this file disappears once it is empty.
#include "app/player.h"
#include "catalogue/folder_contents.h"
#include "catalogue/scan.h"
#include "playback/advance.h"
#include "playback/device.h"
#include "playback/position.h"
#include "playback/transport.h"

namespace tav {

// playback
int32_t PlayCurrentEntry(Player&) {
    return 0;
}
int32_t PlayPieceFile(Player&) {
    return 0;
}
int32_t StopDevice(Player&) {
    return 0;
}
void OnPlay(Player&) {}
void OnRandomPlay(Player&) {}
void OnStop(Player&) {}
void OnPrevious(Player&) {}
void OnNext(Player&) {}
void OnListDoubleClick(Player&) {}
void OnListSelChange(Player&) {}
void SelectNextEntry(Player&) {}
void SelectPreviousEntry(Player&) {}
void EnsureCatalogue(Player&) {}
void OnPositionTimer(Player&) {}
void OnPositionScroll(Player&, uint16_t, uint16_t, intptr_t) {}
void OnPositionRelease(Player&) {}
void OnVolumeDraw(Player&) {}
void OnPlaybackNotify(Player&, uint32_t, uint32_t) {}

}  // namespace tav
