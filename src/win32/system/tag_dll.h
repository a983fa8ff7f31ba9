#pragma once

#include <string>

#include "platform/tag_library.h"
#include "platform/text_rules.h"

namespace tav {

// Loads mp3infp.dll by its absolute path, anew for every file. Never by its plain name: the
// search for a plain name includes the current folder, and a library planted there would run
// inside the player.
class DllTagLibraryLoader : public TagLibraryLoader {
public:
    explicit DllTagLibraryLoader(std::string libraryPath) : libraryPath_(std::move(libraryPath)) {}
    std::unique_ptr<TagLibrary> Load() override;

private:
    std::string libraryPath_;
};

// The path of `name` in the folder of the executable; empty when the executable's path has no
// folder part.
std::string BesideExecutable(const std::string& executablePath, const std::string& name,
                             const TextRules& rules);

}  // namespace tav
