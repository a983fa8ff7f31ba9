#include "catalogue/scan.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "catalogue/folder_names.h"
#include "catalogue/path.h"
#include "player/control_table.h"
#include "player/display.h"

namespace tav {
namespace {

constexpr int kPerFolderUnit = 0;

bool IsDotName(const std::string& name) {
    return name == "." || name == "..";
}

// The folder the browser starts in: the folder of FolderEdit, or of the file it names.
std::optional<std::string> InitialSelection(Player& player, const std::string& text) {
    if (text.empty() || text.size() > player.pathStyle().maxPath) {
        return std::nullopt;
    }
    switch (TestPath(text, player.files(), player.text())) {
    case File: {
        const PathParts parts = SplitPath(text, player.text());
        std::string folder = parts.drive + parts.directory;
        return folder.empty() ? std::nullopt : std::optional<std::string>(std::move(folder));
    }
    case NotFound:
        return std::nullopt;
    default:
        return text;
    }
}

// One top-level scan. It remembers the folders on the current chain of the walk, so that a
// folder reached again through a symbolic link or junction is not walked inside itself.
class CatalogueWalk {
public:
    explicit CatalogueWalk(Player& player)
        : player_(player), maxPath_(player.pathStyle().maxPath) {}

    bool Scan(const std::string& path, int16_t depth);

private:
    void WalkFolder(const std::string& path, int16_t depth);
    bool OnChain(const std::optional<FolderIdentity>& identity) const;
    void AddPlayable(const std::string& folderPath, const std::string& name, bool& entryAdded);

    Player& player_;
    std::size_t maxPath_;
    std::vector<FolderIdentity> chain_;
};

bool CatalogueWalk::Scan(const std::string& path, int16_t depth) {
    // A path beyond the platform's limit names nothing the platform could open.
    const PathKind kind =
        path.size() <= maxPath_ ? TestPath(path, player_.files(), player_.text()) : NotFound;
    if (kind == File) {
        player_.trackList().Add(path);
        ShowListPosition(player_);
        return true;
    }
    if (kind == NotFound) {
        player_.window().ShowMessage(kInvalidPathText, kInvalidPathCaption);
        ShowListPosition(player_);
        return false;
    }
    WalkFolder(path, depth);
    return true;
}

bool CatalogueWalk::OnChain(const std::optional<FolderIdentity>& identity) const {
    return identity && std::find(chain_.begin(), chain_.end(), *identity) != chain_.end();
}

void CatalogueWalk::WalkFolder(const std::string& path, int16_t depth) {
    const std::string folderPath = FolderPathOf(path, player_.text());
    if (folderPath.size() > maxPath_) {
        return;
    }
    const std::optional<FolderIdentity> identity = player_.files().Identify(folderPath);
    if (OnChain(identity)) {
        return;
    }
    const std::unique_ptr<DirectorySearch> search = player_.files().List(folderPath);
    if (!search) {
        return;  // an unlistable folder contributes nothing, silently
    }
    if (identity) {
        chain_.push_back(*identity);
    }
    const FolderNames names(player_, folderPath);
    const char separator = player_.pathStyle().separator;
    bool entryAdded = false;
    while (const std::optional<DirectoryEntry> entry = search->Next()) {
        if (entry->isDirectory) {
            if (!IsDotName(entry->name) && names.Fits(entry->name, 1)) {
                Scan(folderPath + entry->name + separator, static_cast<int16_t>(depth + 1));
            }
        } else if (names.IsPlayableFile(entry->name)) {
            AddPlayable(folderPath, entry->name, entryAdded);
        }
        ShowListPosition(player_);
    }
    if (identity) {
        chain_.pop_back();
    }
}

void CatalogueWalk::AddPlayable(const std::string& folderPath, const std::string& name,
                                bool& entryAdded) {
    const std::string& exclusion = player_.options.exclusionText;
    const bool folderUnit = player_.window().ComboSelection() == kPerFolderUnit &&
                            (exclusion.empty() || folderPath.find(exclusion) == std::string::npos);
    if (!folderUnit) {
        player_.trackList().Add(folderPath + name);
    } else if (!entryAdded) {
        player_.trackList().Add(folderPath);
        entryAdded = true;
    }
}

}  // namespace

std::optional<std::string> ChooseRootFolder(Player& player) {
    const std::optional<std::string> initial =
        InitialSelection(player, player.window().ControlText(FolderEdit));
    std::optional<std::string> chosen = player.folderBrowser().Browse(kBrowseTitle, initial);
    if (chosen) {
        player.window().SetControlText(FolderEdit, *chosen);
    }
    return chosen;
}

bool ScanCatalogue(Player& player, const std::string& path, int16_t depth) {
    return CatalogueWalk(player).Scan(path, depth);
}

bool IsPlayableName(const Player& player, std::string_view extension) {
    const int32_t target = player.options.playTarget;
    const TextRules& text = player.text();
    return ((target & kPlayMp3) != 0 && text.CompareNoCase(extension, ".mp3") == 0) ||
           ((target & kPlayWav) != 0 && text.CompareNoCase(extension, ".wav") == 0);
}

}  // namespace tav
