#pragma once

#include <windows.h>

namespace tav {

// One player per settings folder: a named shared memory block, named after the full path of
// the settings file, that the first player creates and holds for its life (Windows drops it
// with the last process that has it open). The holder writes its main window's handle there;
// a second start finds the block, brings that window to the front and ends.
class InstanceLock {
public:
    InstanceLock();
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another player in this folder holds it. A block that cannot be created lets
    // the start go on.
    bool Owned() const { return owned_; }
    void PublishWindow(HWND window);
    // Restores and focuses the holder's window, waiting up to 3 s for it to be published.
    void RaiseOwner() const;

private:
    HANDLE mapping_ = nullptr;
    HWND* shared_ = nullptr;
    bool owned_ = true;
};

}  // namespace tav
