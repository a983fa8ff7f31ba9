#include "player/display.h"

#include <cstdio>

#include "player/control_table.h"

namespace tav {

void ShowCountInPart(Player& player, int part, int32_t number, int32_t count) {
    char text[36];
    std::snprintf(text, sizeof text, "\t%d / %d", number, count);
    player.window().SetStatusText(part, text);
}

void ShowListPosition(Player& player) {
    const TrackListBox& list = player.trackList();
    const int32_t count = list.Count();
    const int32_t index = count == 0 ? 0 : list.Selection();
    ShowCountInPart(player, 3, index + 1, count);
}

void ShowPlayTarget(Player& player, int32_t value) {
    const bool mp3 = (value & kPlayMp3) != 0;
    const bool wav = (value & kPlayWav) != 0;
    const char* text = mp3 && wav ? "MP3+WAV" : (wav ? "WAV" : "MP3");
    player.window().SetControlText(TargetLabel, text);
}

}  // namespace tav
