#pragma once

#include <string>

#include "platform/tag_library.h"

namespace tav {

// Loads mp3infp.so by its absolute path beside the executable, anew for every file.
class DlTagLibraryLoader : public TagLibraryLoader {
public:
    explicit DlTagLibraryLoader(std::string libraryPath) : libraryPath_(std::move(libraryPath)) {}
    std::unique_ptr<TagLibrary> Load() override;

private:
    std::string libraryPath_;
};

}  // namespace tav
