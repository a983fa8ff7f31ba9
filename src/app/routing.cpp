#include "app/routing.h"

#include "app/options.h"
#include "app/startup.h"
#include "playback/advance.h"
#include "playback/position.h"
#include "playback/transport.h"
#include "player/control_table.h"
#include "player/layout.h"
#include "settings/settings.h"

namespace tav {
namespace {

using CommandOperation = void (*)(Player&);

struct CommandRoute {
    int controlId;
    uint16_t code;
    CommandOperation operation;
};

constexpr CommandRoute kCommandRoutes[] = {
    {TrackList, LBN_SELCHANGE_, OnListSelChange},
    {TrackList, LBN_DBLCLK_, OnListDoubleClick},
    {PlayButton, BN_CLICKED_, OnPlay},
    {StopButton, BN_CLICKED_, OnStop},
    {RandomPlayButton, BN_CLICKED_, OnRandomPlay},
    {UnitCombo, CBN_SELCHANGE_, UnitChanged},
    {ExclusionEdit, EN_CHANGE_, ExclusionChanged},
    {PrevButton, BN_CLICKED_, OnPrevious},
    {NextButton, BN_CLICKED_, OnNext},
    {FolderButton, BN_CLICKED_, ChooseFolder},
    {TargetButton, BN_CLICKED_, CyclePlayTarget},
};

void RouteCommand(Player& player, uintptr_t wParam) {
    const int controlId = LowWord(wParam);
    const uint16_t code = HighWord(wParam);
    for (const CommandRoute& route : kCommandRoutes) {
        if (route.controlId == controlId && route.code == code) {
            route.operation(player);
            return;
        }
    }
}

void RouteNotify(Player& player, uintptr_t wParam, intptr_t lParam) {
    const auto* header = reinterpret_cast<const NotifyHeader*>(lParam);
    if (header == nullptr) {
        return;
    }
    const int controlId = LowWord(wParam);
    const auto code = static_cast<int32_t>(header->code);
    if (controlId == VolumeBar && code == NM_CUSTOMDRAW_) {
        OnVolumeDraw(player);
    } else if (controlId == PositionBar && code == NM_RELEASEDCAPTURE_) {
        OnPositionRelease(player);
    }
    // Custom draw from PositionBar, and everything else, leaves the bar's own drawing alone.
}

}  // namespace

std::optional<intptr_t> RouteMessage(Player& player, const Message& message) {
    const uintptr_t w = message.wParam;
    const auto l = static_cast<uintptr_t>(message.lParam);
    switch (message.id) {
    case WM_CREATE_:
        player.window().CreateControls();
        StartupInit(player);
        return 0;
    case WM_DESTROY_:
        Shutdown(player);
        return 0;
    case WM_SIZE_:
        LayoutControls(player, static_cast<int16_t>(LowWord(l)), static_cast<int16_t>(HighWord(l)));
        return 0;
    case WM_CLOSE_:
        player.window().Destroy();
        return 0;
    case WM_QUERYENDSESSION_:
        // The session may end, and an ended session sends no close: keep the settings now.
        SaveSettings(player);
        return 1;
    case WM_ENDSESSION_:
        if (w != 0) {  // the session does end: close as WM_CLOSE does
            player.window().Destroy();
        }
        return 0;
    case WM_NOTIFY_:
        RouteNotify(player, w, message.lParam);
        return 0;
    case WM_COMMAND_:
        RouteCommand(player, w);
        return 0;
    case WM_TIMER_:
        OnPositionTimer(player);
        return 0;
    case WM_HSCROLL_:
        OnPositionScroll(player, LowWord(w), HighWord(w), message.lParam);
        return 0;
    case MM_MCINOTIFY_:
        OnPlaybackNotify(player, static_cast<uint32_t>(w), static_cast<uint32_t>(l));
        return 0;
    default:
        return std::nullopt;
    }
}

}  // namespace tav
