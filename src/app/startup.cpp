#include "app/startup.h"

#include <array>

#include "catalogue/path.h"
#include "playback/position.h"
#include "player/control_table.h"
#include "player/display.h"
#include "random/random.h"
#include "settings/settings.h"

namespace tav {
namespace {

constexpr std::array<int, 4> kCreationPartEdges{40, 80, 120, 160};

void InitStatusBar(Window& window) {
    window.CreateStatusBar();
    window.SetStatusParts(kCreationPartEdges);
    window.SetStatusText(1, "\t0:00:00 / 0:00:00");
    window.SetStatusText(2, "\t0 / 0");
    window.SetStatusText(3, "\t0 / 0");
}

// Starts with both channels at their average, so the bar shows one level for both.
void BalanceVolume(Player& player) {
    const uint32_t packed = player.volume().Read().value_or(0);
    const uint32_t left = packed & 0xFFFF;
    const uint32_t right = packed >> 16;
    const uint32_t average = (left + right) / 2;
    player.volume().Write(average | (average << 16));
    Window& window = player.window();
    window.SetTrackbarRange(VolumeBar, 0, kTrackbarScale, false);
    window.SetTrackbarPosition(VolumeBar, static_cast<int>(average * kTrackbarScale / kFullChannel),
                               true);
}

}  // namespace

void StartupInit(Player& player) {
    SeedRandom(player);
    Window& window = player.window();
    window.SetTitle(kFixedTitle);
    InitStatusBar(window);
    window.AddComboItem("フォルダ単位");
    window.AddComboItem("ファイル単位");
    window.SetComboSelection(0);

    player.playback.piece.fileCount = 0;
    player.options.exclusionText.clear();
    ReleasePool(player);

    BalanceVolume(player);
    const PathParts exe = SplitPath(player.files().ExecutablePath(), player.text());
    player.settingsFile = exe.baseName + ".ini";
    LoadSettings(player);

    // Only a regular file switches the log on: a FIFO or device of that name would block or
    // swallow every record.
    if (!player.files().IsRegularFile(kPlayedLogName)) {
        player.log.logEnabled = false;
        player.log.logRewritePending = false;
    }
}

void Shutdown(Player& player) {
    ReleasePool(player);
    SaveSettings(player);
    // An MP3 device still open when the process ends crashes it under Wine, and on Linux it
    // would cut the stream mid-buffer: close it so the exit is always clean.
    if (player.playback.deviceId != 0) {
        player.device().Close(player.playback.deviceId);
        player.playback.deviceId = 0;
    }
    player.window().ReleaseResourcesAndQuit(0);
}

}  // namespace tav
