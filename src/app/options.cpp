#include "app/options.h"

#include "app/control_table.h"
#include "app/text_cut.h"

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
    player.options.playTarget = next > 3 ? 1 : static_cast<int32_t>(next);
    ShowPlayTarget(player, player.options.playTarget);
}

void ShowPlayTarget(Player& player, int32_t value) {
    const bool mp3 = (value & 1) > 0;
    const bool wav = (value & 2) > 0;
    const char* text = mp3 && wav ? "MP3+WAV" : (wav ? "WAV" : "MP3");
    player.window().SetControlText(TargetLabel, text);
}

}  // namespace tav
