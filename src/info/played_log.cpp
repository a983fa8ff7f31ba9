#include "info/played_log.h"

#include "app/control_table.h"
#include "app/startup.h"
#include "app/text_cut.h"

namespace tav {
namespace {

// What the log reads back from a line, as from a 256-byte control buffer.
constexpr std::size_t kLineTextLimit = 255;

std::string LineText(Player& player, int id) {
    return CutToLimit(player.window().ControlText(id), kLineTextLimit, player.text());
}

}  // namespace

void AppendPlayedLog(Player& player, bool titleFound) {
    if (!player.log.logEnabled) {
        return;
    }
    const std::string title = LineText(player, InfoTitle);
    const std::string artist = LineText(player, InfoArtist);
    // With a tag: artist／title (the slash only between two texts); without: folder + name.
    const bool slash = titleFound && !artist.empty() && !title.empty();
    const std::string record = artist + (slash ? "／" : "") + title + "\r\n";

    const WriteMode mode = player.log.logRewritePending ? WriteMode::Truncate : WriteMode::Append;
    // Cleared by the first attempt, so a failed first open never empties the file later.
    player.log.logRewritePending = false;
    player.files().WriteToFile(kPlayedLogName, record, mode);
}

}  // namespace tav
