#include "info/track_info.h"

#include <memory>
#include <optional>

#include "catalogue/path.h"
#include "info/played_log.h"
#include "player/control_table.h"
#include "player/text_cut.h"

namespace tav {
namespace {

constexpr std::size_t kWindowTitleLimit = 1027;

struct ValueSet {
    const char* title;
    const char* artist;
    const char* album;
    const char* comment;
    const char* separator;  // between title and artist in the window title
};

constexpr ValueSet kId3v2{"INAM_v2", "IART_v2", "IPRD_v2", "ICMT_v2", " - "};
constexpr ValueSet kId3v1{"INAM_v1", "IART_v1", "IPRD_v1", "ICMT_v1", " - "};
constexpr ValueSet kRiffInfo{"INAM", "IART", "IPRD", "ICMT", " / "};

constexpr uint32_t kMp3Kind = 1;
constexpr uint32_t kWavKind = 2;
constexpr uint32_t kId3v1Bit = 1;
constexpr uint32_t kId3v2Bit = 2;

// ID3v2 wins over ID3v1; a WAV file is read from its RIFF INFO whatever its ID3 bits say.
// Any other kind has no values: the file then shows like one without a tag.
const ValueSet* ChooseValueSet(uint32_t kind, uint32_t tagBits) {
    if (kind == kWavKind) {
        return &kRiffInfo;
    }
    if (kind != kMp3Kind) {
        return nullptr;
    }
    if ((tagBits & kId3v2Bit) != 0) {
        return &kId3v2;
    }
    return (tagBits & kId3v1Bit) != 0 ? &kId3v1 : nullptr;
}

// The hint names the library file of the platform the paths belong to.
std::string MissingLibraryHint(const PathStyle& style) {
    return style.driveLetterRoots
               ? "※mp3infp.dll "
                 "を実行ファイルと同じディレクトリに入れると、ID3タグの情報を表示します。"
               : "※mp3infp.so "
                 "を実行ファイルと同じディレクトリに入れると、ID3タグの情報を表示します。";
}

void SetWindowTitle(Player& player, const std::string& text) {
    player.window().SetTitle(CutToLimit(text, kWindowTitleLimit, player.text()));
}

// Name and folder instead of a tag; the path is the window title.
void ShowFileName(Player& player, const std::string& path, const std::string& comment) {
    const PathParts parts = SplitPath(path, player.text());
    Window& window = player.window();
    window.SetControlText(InfoTitle, parts.baseName + parts.extension);
    window.SetControlText(InfoArtist, parts.drive + parts.directory);
    window.SetControlText(InfoAlbum, "");
    window.SetControlText(InfoComment, comment);
    SetWindowTitle(player, path);
    AppendPlayedLog(player, false);
}

// Puts the four values into their lines; the window title text when the title is not empty.
std::optional<std::string> ShowTagValues(Player& player, TagLibrary& library, const ValueSet& set) {
    Window& window = player.window();
    const std::string title = library.GetValue(set.title);
    window.SetControlText(InfoTitle, title);
    const std::string artist = library.GetValue(set.artist);
    window.SetControlText(InfoArtist, artist);
    window.SetControlText(InfoAlbum, library.GetValue(set.album));
    window.SetControlText(InfoComment, library.GetValue(set.comment));
    if (title.empty()) {
        return std::nullopt;
    }
    return title + set.separator + artist;
}

}  // namespace

void ShowTrackInfo(Player& player, const std::string& path) {
    std::unique_ptr<TagLibrary> library = player.tags().Load();
    if (library && !library->HasAllExports()) {
        library.reset();
    }
    if (!library) {
        ShowFileName(player, path, MissingLibraryHint(player.pathStyle()));
        return;
    }
    // A file the library cannot read changes nothing, and is not logged.
    if (library->Load(player.windowHandle(), path) != 0) {
        return;
    }
    const uint32_t kind = library->GetType();
    const uint32_t tagBits = library->GetTagType();
    const ValueSet* set = ChooseValueSet(kind, tagBits);
    const std::optional<std::string> windowTitle =
        set != nullptr ? ShowTagValues(player, *library, *set) : std::nullopt;
    library.reset();
    if (!windowTitle) {
        ShowFileName(player, path, "");
        return;
    }
    SetWindowTitle(player, *windowTitle);
    AppendPlayedLog(player, true);
}

}  // namespace tav
