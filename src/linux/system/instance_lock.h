#pragma once

#include <string>

namespace tav {

// One player per settings folder: an exclusive flock on a file beside the settings file, held
// until the program ends (the kernel lets go even after a crash, so no stale lock remains).
// The holder writes how to reach it into the file; a second start reads that instead of
// running. The file is opened without following a symbolic link, so a link planted in the
// folder can neither be written through nor taken as the lock.
class InstanceLock {
public:
    explicit InstanceLock(const std::string& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the lock. A lock file that cannot be opened or locked
    // (a link, a read-only folder, a file system without locks) lets the start go on.
    bool Owned() const { return owned_; }
    // The holder's address, replacing what the file held; only while Owned().
    void WriteAddress(const std::string& address);
    // What the holder wrote; empty until it has.
    std::string ReadAddress() const;

private:
    int fd_ = -1;
    bool owned_ = true;
};

}  // namespace tav
