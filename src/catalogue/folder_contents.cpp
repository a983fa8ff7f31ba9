#include "catalogue/folder_contents.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "catalogue/folder_names.h"
#include "catalogue/path.h"

namespace tav {
namespace {

// A folder's pieces are numbered up to this many, so FileIndex never passes the last one.
constexpr int32_t kMaxEntryFiles = 256;

// Null when the folder cannot be listed.
std::unique_ptr<DirectorySearch> ListFolder(Player& player, const std::string& folderPath) {
    if (folderPath.size() > player.pathStyle().maxPath) {
        return nullptr;
    }
    return player.files().List(folderPath);
}

// A folder is never a playable file, whatever its name.
bool IsPlayableEntry(const DirectoryEntry& entry, const FolderNames& names) {
    return !entry.isDirectory && names.IsPlayableFile(entry.name);
}

}  // namespace

int32_t CountEntryFiles(Player& player, const std::string& entry) {
    if (TestPath(entry, player.files(), player.text()) == File) {
        return 1;
    }
    const std::string folderPath = FolderPathOf(entry, player.text());
    const std::unique_ptr<DirectorySearch> search = ListFolder(player, folderPath);
    if (!search) {
        return -1;
    }
    const FolderNames names(player, folderPath);
    int32_t count = 0;
    while (count < kMaxEntryFiles) {
        const std::optional<DirectoryEntry> found = search->Next();
        if (!found) {
            break;
        }
        count += IsPlayableEntry(*found, names) ? 1 : 0;
    }
    return count;
}

int32_t GetEntryFile(Player& player, const std::string& entry, int32_t index, std::string& out) {
    const std::string folderPath = FolderPathOf(entry, player.text());
    const std::unique_ptr<DirectorySearch> search = ListFolder(player, folderPath);
    if (!search) {
        out.clear();
        return -1;
    }
    const FolderNames names(player, folderPath);
    std::vector<std::string> playable;
    while (std::optional<DirectoryEntry> found = search->Next()) {
        if (IsPlayableEntry(*found, names)) {
            playable.push_back(std::move(found->name));
        }
    }
    // Case-insensitive name order; equal names keep the order the platform listed them in.
    const TextRules& text = player.text();
    std::stable_sort(playable.begin(), playable.end(),
                     [&text](const std::string& a, const std::string& b) {
                         return text.CompareNoCase(a, b) < 0;
                     });
    const auto numbered = std::min<std::size_t>(playable.size(), kMaxEntryFiles);
    out = folderPath;
    if (index >= 1 && static_cast<std::size_t>(index) <= numbered) {
        out += playable[static_cast<std::size_t>(index) - 1];
    }
    return 0;
}

}  // namespace tav
