#include "info/played_log.h"

#include "player/control_table.h"
#include "player/display.h"
#include "player/text_cut.h"

namespace tav {
namespace {

// What the log reads back from a tag line, as from a 256-byte control buffer.
constexpr std::size_t kLineTextLimit = 255;

std::string LineText(Player& player, int id) {
    return CutToLimit(player.window().ControlText(id), kLineTextLimit, player.text());
}

// With a tag: artist／title, each cut as a 256-byte control buffer would; the slash only
// between two texts. Without: folder and name joined uncut, so the record names the file
// itself, up to the platform's path limit.
std::string RecordText(Player& player, bool titleFound) {
    if (!titleFound) {
        const Window& window = player.window();
        return CutToLimit(window.ControlText(InfoArtist) + window.ControlText(InfoTitle),
                          player.pathStyle().maxPath, player.text());
    }
    const std::string title = LineText(player, InfoTitle);
    const std::string artist = LineText(player, InfoArtist);
    const bool slash = !artist.empty() && !title.empty();
    return artist + (slash ? "／" : "") + title;
}

}  // namespace

void AppendPlayedLog(Player& player, bool titleFound) {
    if (!player.log.logEnabled) {
        return;
    }
    const std::string record = RecordText(player, titleFound) + "\r\n";

    const WriteMode mode = player.log.logRewritePending ? WriteMode::Truncate : WriteMode::Append;
    // Cleared by the first attempt, so a failed first open never empties the file later.
    player.log.logRewritePending = false;
    player.files().WriteToFile(kPlayedLogName, record, mode);
}

}  // namespace tav
