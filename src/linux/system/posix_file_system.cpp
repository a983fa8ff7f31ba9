#include "linux/system/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

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

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    bool Close() {
        const bool closed = fd_ < 0 || close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

private:
    int fd_;
};

// Opens without blocking (a FIFO would wait for its other end) and keeps the descriptor only
// when it is a regular file: no FIFO, device or folder is ever read or written.
int OpenRegular(const std::string& path, int flags) {
    const int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    struct stat info {};
    if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        close(fd);
        return -1;
    }
    return fd;
}

// The file a path finally names, through every link; the path itself when it is no link.
// Nothing for a link that leads nowhere: it is never replaced by a file of its own.
std::optional<std::string> ResolveLinks(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    const std::unique_ptr<char, decltype(&free)> real(realpath(path.c_str(), nullptr), &free);
    if (!real) {
        return std::nullopt;
    }
    return std::string(real.get());
}

// The process's file-creation mask; reading it means setting it, so it is put back at once.
mode_t CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
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

bool PosixFileSystem::IsRegularFile(const std::string& path) const {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> PosixFileSystem::ReadFile(const std::string& path,
                                                     std::size_t limit) const {
    const Descriptor file(OpenRegular(path, O_RDONLY));
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    std::string bytes;
    std::array<char, 8192> chunk{};
    while (bytes.size() < limit) {
        const ssize_t got =
            read(file.Get(), chunk.data(), std::min(chunk.size(), limit - bytes.size()));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // a failed read keeps what was read before it
        }
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
    return bytes;
}

bool PosixFileSystem::WriteToFile(const std::string& path, const std::string& bytes,
                                  WriteMode mode) {
    const int flags = O_WRONLY | O_CREAT | (mode == WriteMode::Truncate ? O_TRUNC : O_APPEND);
    Descriptor file(OpenRegular(path, flags));
    return file.IsOpen() && WriteAll(file.Get(), bytes) && file.Close();
}

bool PosixFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
    const std::optional<std::string> target = ResolveLinks(path);
    if (!target) {
        return false;
    }
    struct stat old {};
    const bool exists = stat(target->c_str(), &old) == 0;
    // Only a regular file is replaced, and only one this user may write, as an open for
    // writing would require.
    if (exists && (!S_ISREG(old.st_mode) || access(target->c_str(), W_OK) != 0)) {
        return false;
    }
    std::string temporary = *target + ".XXXXXX";
    Descriptor file(mkostemp(temporary.data(), O_CLOEXEC));
    if (!file.IsOpen()) {
        return false;
    }
    const mode_t mode = exists ? (old.st_mode & 0777) : (0666 & ~CurrentUmask());
    const bool written =
        fchmod(file.Get(), mode) == 0 && WriteAll(file.Get(), bytes) && fsync(file.Get()) == 0;
    if (!file.Close() || !written || rename(temporary.c_str(), target->c_str()) != 0) {
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
