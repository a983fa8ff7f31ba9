#include "linux/system/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace tav {

InstanceLock::InstanceLock(const std::string& path) {
    // O_NONBLOCK: a FIFO of that name must not hang the start.
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    struct stat info {};
    if (fd_ >= 0 && (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))) {
        close(fd_);
        fd_ = -1;
    }
    if (fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        owned_ = errno != EWOULDBLOCK;
    }
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void InstanceLock::WriteAddress(const std::string& address) {
    if (fd_ < 0 || !owned_ || ftruncate(fd_, 0) != 0) {
        return;
    }
    // A short write leaves a name the reader cannot reach: it then only gives up.
    [[maybe_unused]] const ssize_t written = pwrite(fd_, address.data(), address.size(), 0);
}

std::string InstanceLock::ReadAddress() const {
    std::array<char, 256> buffer{};
    const ssize_t length = fd_ >= 0 ? pread(fd_, buffer.data(), buffer.size(), 0) : 0;
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length))
                      : std::string();
}

}  // namespace tav
