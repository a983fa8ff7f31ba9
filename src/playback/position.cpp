#include "playback/position.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "player/control_table.h"
#include "player/display.h"
#include "player/messages.h"

namespace tav {

std::string TimePairText(uint32_t firstMs, uint32_t secondMs) {
    const auto hours = [](uint32_t ms) { return ms / 3600000; };
    const auto minutes = [](uint32_t ms) { return ms / 60000 % 60; };
    const auto seconds = [](uint32_t ms) { return ms / 1000 % 60; };
    char text[36];
    std::snprintf(text, sizeof text, "\t%u:%02u:%02u / %u:%02u:%02u", hours(firstMs),
                  minutes(firstMs), seconds(firstMs), hours(secondMs), minutes(secondMs),
                  seconds(secondMs));
    return text;
}

namespace {

constexpr int kBarScale = kTrackbarScale;
constexpr int64_t kLineStepMs = 5000;
constexpr int64_t kPageStepMs = 30000;

uint32_t AskDevice(Player& player, StatusItem item) {
    uint32_t value = 0;
    player.device().Status(player.playback.deviceId, item, value);
    return value;
}

void ShowTimePair(Player& player, uint32_t first, uint32_t second) {
    player.window().SetStatusText(1, TimePairText(first, second));
}

// Thousandths of the length; a length of 0 puts the bar at 0.
int BarPosition(uint32_t positionMs, uint32_t lengthMs) {
    if (lengthMs == 0) {
        return 0;
    }
    const int64_t scaled = int64_t{positionMs} * kBarScale / lengthMs;
    return static_cast<int>(std::min<int64_t>(scaled, kBarScale));
}

// The time the thumb points at.
uint32_t BarMs(Player& player, uint32_t lengthMs) {
    const auto bar = static_cast<uint64_t>(player.window().TrackbarPosition(PositionBar));
    return static_cast<uint32_t>(bar * lengthMs / kBarScale);
}

// The keys (and a click beside the thumb, which pages) step by time, not by thousandths of
// the length, which are minutes on a long file: from where the keys last left it, else from
// what is playing. Nothing for the thumb's own moves and the closing code.
std::optional<uint32_t> KeyedTarget(Player& player, uint16_t scrollCode, uint32_t lengthMs) {
    const int64_t from =
        player.playback.keyedPositionMs.value_or(AskDevice(player, StatusItem::Position));
    int64_t to = 0;
    switch (scrollCode) {
    case TB_LINEUP_:
    case TB_LINEDOWN_:
        to = from + (scrollCode == TB_LINEUP_ ? -kLineStepMs : kLineStepMs);
        break;
    case TB_PAGEUP_:
    case TB_PAGEDOWN_:
        to = from + (scrollCode == TB_PAGEUP_ ? -kPageStepMs : kPageStepMs);
        break;
    case TB_TOP_:
        break;
    case TB_BOTTOM_:
        to = lengthMs;
        break;
    default:
        return std::nullopt;
    }
    return static_cast<uint32_t>(std::clamp<int64_t>(to, 0, lengthMs));
}

}  // namespace

void OnPositionTimer(Player& player) {
    if (!player.playback.positionLive || player.playback.deviceId == 0) {
        return;
    }
    const uint32_t position = AskDevice(player, StatusItem::Position);
    const uint32_t length = AskDevice(player, StatusItem::Length);
    ShowTimePair(player, position, length);
    Window& window = player.window();
    window.SetTrackbarRange(PositionBar, 0, kBarScale, false);
    window.SetTrackbarPosition(PositionBar, BarPosition(position, length), true);
}

void OnPositionScroll(Player& player, uint16_t scrollCode, uint16_t /*thumb*/, intptr_t sender) {
    if (player.window().ControlIdFromHandle(sender) != PositionBar) {
        return;
    }
    player.playback.positionLive = false;
    if (player.playback.deviceId == 0) {
        return;
    }
    const uint32_t length = AskDevice(player, StatusItem::Length);
    std::optional<uint32_t>& keyed = player.playback.keyedPositionMs;
    if (const std::optional<uint32_t> to = KeyedTarget(player, scrollCode, length)) {
        keyed = to;
        player.window().SetTrackbarPosition(PositionBar, BarPosition(*to, length), true);
    } else if (scrollCode != TB_ENDTRACK_) {
        keyed.reset();  // the thumb itself was moved
    }
    ShowTimePair(player, keyed.value_or(BarMs(player, length)), length);
}

void OnPositionRelease(Player& player) {
    const std::optional<uint32_t> keyed = std::exchange(player.playback.keyedPositionMs, {});
    if (player.playback.deviceId == 0) {
        return;
    }
    player.window().SetTrackbarRange(PositionBar, 0, kBarScale, false);
    const uint32_t length = AskDevice(player, StatusItem::Length);
    // A device that cannot tell the length would seek to 0 wherever the thumb was dropped,
    // restarting the file: it plays on from where it is instead.
    if (length > 0) {
        SeekTo(player, keyed.value_or(BarMs(player, length)));
    }
    player.playback.positionLive = true;
}

void SeekTo(Player& player, uint32_t toMs) {
    const uint32_t deviceId = player.playback.deviceId;
    if (deviceId == 0) {
        return;
    }
    player.device().Seek(deviceId, toMs);
    if (player.playback.paused) {
        player.playback.positionLive = true;
        OnPositionTimer(player);  // no tick comes while paused
    } else {
        player.device().Play(deviceId);
    }
}

void OnVolumeDraw(Player& player) {
    Window& window = player.window();
    window.SetTrackbarRange(VolumeBar, 0, kBarScale, false);
    const int bar = window.TrackbarPosition(VolumeBar);
    const auto level =
        static_cast<uint32_t>(bar * static_cast<double>(kFullChannel) / kBarScale) & 0xFFFF;
    player.volume().Write(level | (level << 16));
}

}  // namespace tav
