#include "linux/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>

namespace tav {
namespace {

class PosixDirectorySearch : public DirectorySearch {
public:
    PosixDirectorySearch(DIR* dir, std::string folder) : dir_(dir), folder_(std::move(folder)) {}
    ~PosixDirectorySearch() override { closedir(dir_); }
    PosixDirectorySearch(const PosixDirectorySearch&) = delete;
    PosixDirectorySearch& operator=(const PosixDirectorySearch&) = delete;

    std::optional<DirectoryEntry> Next() override {
        while (const dirent* entry = readdir(dir_)) {
            if (const std::optional<bool> folder = LeadsToFolder(*entry)) {
                return DirectoryEntry{entry->d_name, *folder};
            }
        }
        return std::nullopt;
    }

private:
    // Whether the entry leads to a folder (true) or a regular file (false); nothing for a
    // dangling or looping link, or a pipe, socket or device, which no walk or play can use.
    // Links are followed, and some file systems do not report the type at all.
    std::optional<bool> LeadsToFolder(const dirent& entry) const {
        if (entry.d_type == DT_DIR || entry.d_type == DT_REG) {
            return entry.d_type == DT_DIR;
        }
        struct stat info {};
        if ((entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) ||
            stat((folder_ + entry.d_name).c_str(), &info) != 0) {
            return std::nullopt;
        }
        if (S_ISDIR(info.st_mode) || S_ISREG(info.st_mode)) {
            return S_ISDIR(info.st_mode);
        }
        return std::nullopt;
    }

    DIR* dir_;
    std::string folder_;
};

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::optional<bool> PosixFileSystem::Lookup(const std::string& path) const {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return S_ISDIR(info.st_mode);
}

std::unique_ptr<DirectorySearch> PosixFileSystem::List(const std::string& folder) const {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return nullptr;
    }
    return std::make_unique<PosixDirectorySearch>(dir, folder);
}

std::optional<FolderIdentity> PosixFileSystem::Identify(const std::string& folder) const {
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FolderIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

std::optional<std::string> PosixFileSystem::ReadFile(const std::string& path) const {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string bytes;
    std::array<char, 8192> chunk{};
    for (;;) {
        const ssize_t got = read(fd, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // a failed read keeps what was read before it
        }
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
    close(fd);
    return bytes;
}

bool PosixFileSystem::WriteToFile(const std::string& path, const std::string& bytes,
                                  WriteMode mode) {
    const int flags =
        O_WRONLY | O_CREAT | O_CLOEXEC | (mode == WriteMode::Truncate ? O_TRUNC : O_APPEND);
    const int fd = open(path.c_str(), flags, 0644);
    if (fd < 0) {
        return false;
    }
    const bool ok = WriteAll(fd, bytes);
    close(fd);
    return ok;
}

bool PosixFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::string PosixFileSystem::ExecutablePath() const {
    std::array<char, PATH_MAX> buffer{};
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length))
                      : std::string();
}

}  // namespace tav
