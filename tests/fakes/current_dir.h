#pragma once

#include <filesystem>

namespace tav::test {

// Runs a test inside a folder: the settings file and the played-music log live in the
// current directory. The previous directory comes back when the scope ends.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~ScopedCurrentDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace tav::test
