#include "catalogue/folder_names.h"

#include "catalogue/path.h"
#include "catalogue/scan.h"

namespace tav {

std::string FolderPathOf(std::string_view path, const TextRules& text) {
    std::string folder(path);
    if (!EndsWithSeparator(folder, text)) {
        folder += text.Style().separator;
    }
    return folder;
}

// When the folder path is rooted, holds no terminator and ends with a single-byte separator,
// the character walk of SplitPath reaches the name on a character boundary, so the extension
// of folder path + name is the extension of the name alone.
FolderNames::FolderNames(const Player& player, const std::string& folderPath)
    : player_(player),
      folderPath_(folderPath),
      maxPath_(player.pathStyle().maxPath),
      splitsByName_(folderPath.find('\0') == std::string::npos &&
                    IsRootedPath(folderPath, player.text()) &&
                    EndsWithSeparator(folderPath, player.text())) {}

bool FolderNames::Fits(std::string_view name, std::size_t extra) const {
    return folderPath_.size() + name.size() + extra <= maxPath_;
}

bool FolderNames::IsPlayableFile(std::string_view name) const {
    if (!Fits(name)) {
        return false;
    }
    if (splitsByName_) {
        return IsPlayableName(player_, NameExtension(name, player_.text()));
    }
    std::string full = folderPath_;
    full += name;
    return IsPlayableName(player_, SplitPath(full, player_.text()).extension);
}

}  // namespace tav
