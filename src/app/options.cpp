#include "app/options.h"

#include "player/control_table.h"
#include "player/display.h"
#include "player/text_cut.h"

namespace tav {

void UnitChanged(Player& player) {
    player.window().EnableControl(ExclusionEdit, player.window().ComboSelection() != 1);
}

void ExclusionChanged(Player& player) {
    player.options.exclusionText =
        CutToLimit(player.window().ControlText(ExclusionEdit), kExclusionTextLimit, player.text());
}

void CyclePlayTarget(Player& player) {
    // Widened first: a hand-edited settings file may leave the largest int32 here.
    const int64_t next = static_cast<int64_t>(player.options.playTarget) + 1;
    player.options.playTarget = next > kPlayBoth ? kPlayMp3 : static_cast<int32_t>(next);
    ShowPlayTarget(player, player.options.playTarget);
}

}  // namespace tav
