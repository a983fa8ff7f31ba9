#include "fakes/test_player.h"

#include <atomic>
#include <fstream>
#include <random>

namespace tav::test {
namespace {}  // namespace

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device seed;
    root_ = std::filesystem::temp_directory_path() /
            ("tavrello-test-" + std::to_string(seed()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(root_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
}

std::string TempDir::Path() const {
    return root_.string() + static_cast<char>(std::filesystem::path::preferred_separator);
}

std::string TempDir::AddFile(const std::string& relative, const std::string& bytes) const {
    const std::string full = Path() + relative;
    const std::filesystem::path path(full);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return full;
}

std::string TempDir::AddFolder(const std::string& relative) const {
    const std::string full = Path() + relative;
    std::filesystem::create_directories(std::filesystem::path(full));
    return full;
}

}  // namespace tav::test
