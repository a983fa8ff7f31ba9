#include "app/layout.h"

#include <algorithm>
#include <cstdint>

#include "app/control_table.h"
#include "app/player.h"
#include "app/startup.h"

namespace tav {
namespace {

Rect At(int x, int y, int width, int height) {
    return {x, y, std::max(width, 0), std::max(height, 0)};
}

}  // namespace

std::array<Placement, kLayoutControlCount> ComputeLayout(int w, int h) {
    return {{
        {RandomPlayButton, At(0, 0, 80, 44)},
        {PlayButton, At(84, 0, 60, 20)},
        {StopButton, At(144, 0, 60, 20)},
        {PrevButton, At(84, 24, 60, 20)},
        {NextButton, At(144, 24, 60, 20)},
        {VolumeLabel, At(204, 4, 80, 12)},
        {PositionLabel, At(204, 28, 80, 12)},
        {VolumeBar, At(284, 0, w - 284, 20)},
        {PositionBar, At(284, 24, w - 284, 20)},
        {InfoTitle, At(0, 48, w, 30)},
        {InfoArtist, At(0, 78, w, 30)},
        {InfoAlbum, At(0, 108, w, 30)},
        {InfoComment, At(0, 138, w, 30)},
        {FolderButton, At(w - 80, 176, 80, 44)},
        {FolderEdit, At(0, 176, w - 84, 20)},
        {ExclusionSuffixLabel, At(w - 168, 204, 84, 12)},
        {ExclusionEdit, At(w - 212, 200, 40, 20)},
        {ExclusionPrefixLabel, At(w - 252, 204, 36, 12)},
        {UnitCombo, At(w - 356, 200, 100, 100)},
        {UnitLabel, At(w - 400, 204, 40, 12)},
        {TrackList, At(0, 224, w, h - 242)},
    }};
}

std::array<int, 4> StatusPartEdges(int w) {
    auto edge = [](int value) { return static_cast<int>(static_cast<int16_t>(value)); };
    return {edge(w - 280), edge(w - 160), edge(w - 100), edge(w)};
}

void LayoutControls(Player& player, int width, int height) {
    Window& window = player.window();
    for (const Placement& placement : ComputeLayout(width, height)) {
        window.MoveControl(placement.id, placement.rect);
    }
    window.ResizeStatusBar(width, height);
    window.SetStatusParts(StatusPartEdges(width));
    window.InvalidateClient();
}

}  // namespace tav
