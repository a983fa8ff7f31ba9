#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "player/player.h"

namespace tav {

// The folder path a catalogue operation lists: the path with a separator appended unless it
// already ends with one.
std::string FolderPathOf(std::string_view path, const TextRules& text);

// Judges the names listed in one folder as SplitPath of folder path + name would, without
// re-splitting the folder part for every name. Names whose full path would not fit the
// platform's limit are never playable: such a path is skipped, never cut short.
class FolderNames {
public:
    FolderNames(const Player& player, const std::string& folderPath);

    // folder path + name + `extra` more bytes fit the platform's limit.
    bool Fits(std::string_view name, std::size_t extra = 0) const;
    // A file of this name is playable under the current play target.
    bool IsPlayableFile(std::string_view name) const;

private:
    const Player& player_;
    const std::string& folderPath_;
    std::size_t maxPath_;
    bool splitsByName_;  // the extension depends on the name alone
};

}  // namespace tav
