#pragma once

#include <windows.h>

#include <optional>

#include "platform/media_device.h"

namespace tav {

// A media device of the Windows program: its completion notices go to a window as
// MM_MCINOTIFY.
class Win32MediaDevice : public MediaDevice {
public:
    virtual void SetNotifyWindow(HWND window) = 0;
    // The device a notice that names `reported` stands for; nothing for a notice to drop.
    virtual std::optional<uint32_t> NoticeDevice(uint32_t reported) const = 0;
};

}  // namespace tav
