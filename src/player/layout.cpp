#include "player/layout.h"

#include <algorithm>
#include <cstdint>

#include "player/control_table.h"
#include "player/player.h"

namespace tav {
namespace {

Rect At(int x, int y, int width, int height) {
    return {x, y, std::max(width, 0), std::max(height, 0)};
}

// Windows draws an invisible resize border of 8 pixels around a window: a maximised window
// stands that far beyond its screen, and is still usable there.
constexpr int64_t kBorderSlack = 8;
// How much of the title bar must be on the screen for the window to be dragged by it.
constexpr int64_t kTitleBarGrip = 32;

struct Span {
    int64_t start;
    int64_t length;
};

// The title bar's row on the area, and one of its ends with some of the bar beside it.
bool TitleBarReachable(Span x, Span y, const Edges& area) {
    const bool rowOn = y.start >= area.top - kBorderSlack && y.start <= area.bottom - kTitleBarGrip;
    const bool leftOn =
        x.start >= area.left - kBorderSlack && x.start <= area.right - kTitleBarGrip;
    const int64_t end = x.start + x.length;
    const bool rightOn = end >= area.left + kTitleBarGrip && end <= area.right + kBorderSlack;
    return rowOn && (leftOn || rightOn);
}

bool Usable(Span x, Span y, const Edges& area) {
    const bool fits = x.length >= kMainWindowWidth && y.length >= kMainWindowHeight &&
                      x.length <= int64_t{area.right} - area.left + 2 * kBorderSlack &&
                      y.length <= int64_t{area.bottom} - area.top + 2 * kBorderSlack;
    return fits && TitleBarReachable(x, y, area);
}

// At least the creation size, at most the area's; the area wins on a smaller screen.
Span FitSpan(Span span, int64_t minimum, int64_t areaStart, int64_t areaEnd) {
    const int64_t length = std::min(std::max(span.length, minimum), areaEnd - areaStart);
    const int64_t start = std::clamp(span.start, areaStart, std::max(areaStart, areaEnd - length));
    return {start, length};
}

}  // namespace

Rect FitSavedWindow(const Edges& saved, const Edges& area) {
    Span x{saved.left, int64_t{saved.right} - saved.left};
    Span y{saved.top, int64_t{saved.bottom} - saved.top};
    if (!Usable(x, y, area)) {
        x = FitSpan(x, kMainWindowWidth, area.left, area.right);
        y = FitSpan(y, kMainWindowHeight, area.top, area.bottom);
    }
    return {static_cast<int>(x.start), static_cast<int>(y.start), static_cast<int>(x.length),
            static_cast<int>(y.length)};
}

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
