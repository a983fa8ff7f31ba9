#include "fakes/test_player.h"

#include <atomic>
#include <fstream>
#include <random>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tav::test {
namespace {

// The core's paths are bytes of the system code page. MinGW's std::filesystem reads and writes
// narrow strings as UTF-8, so on Windows they go through the ANSI code page instead.
std::filesystem::path FromSystemBytes(const std::string& bytes) {
#ifdef _WIN32
    const auto size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), length);
    return std::filesystem::path(wide);
#else
    return std::filesystem::path(bytes);
#endif
}

std::string ToSystemBytes(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::wstring& wide = path.native();
    const auto size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
#else
    return path.string();
#endif
}

}  // namespace

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
    return ToSystemBytes(root_) + static_cast<char>(std::filesystem::path::preferred_separator);
}

std::string TempDir::AddFile(const std::string& relative, const std::string& bytes) const {
    const std::string full = Path() + relative;
    const std::filesystem::path path = FromSystemBytes(full);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return full;
}

std::string TempDir::AddFolder(const std::string& relative) const {
    const std::string full = Path() + relative;
    std::filesystem::create_directories(FromSystemBytes(full));
    return full;
}

}  // namespace tav::test
