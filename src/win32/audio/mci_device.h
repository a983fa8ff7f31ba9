#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

#include <optional>
#include <string>

#include "win32/audio/win32_media_device.h"

namespace tav {

// The media device on the Media Control Interface. Plays ask for a completion notice, which
// the system posts as MM_MCINOTIFY to the notify window.
class MciDevice : public Win32MediaDevice {
public:
    void SetNotifyWindow(HWND window) override { notifyWindow_ = window; }
    // The device a completion notice stands for. Wine's MP3 device reports device 0, which is
    // never an open device; the notice then belongs to the device that was last told to play,
    // while it is open. Once that device is closed such a notice is late (a stop or a new
    // file came first): nothing, so that it is dropped rather than taken for the idle state.
    std::optional<uint32_t> NoticeDevice(uint32_t reported) const override {
        if (reported != 0) {
            return reported;
        }
        return lastPlayed_ != 0 ? std::optional<uint32_t>(lastPlayed_) : std::nullopt;
    }

    uint32_t Open(const std::string& path, uint32_t& deviceId) override;
    uint32_t Play(uint32_t deviceId) override;
    uint32_t Stop(uint32_t deviceId) override;
    uint32_t Pause(uint32_t deviceId) override;
    uint32_t Close(uint32_t deviceId) override;
    uint32_t SetTimeFormatMilliseconds(uint32_t deviceId) override;
    uint32_t Status(uint32_t deviceId, StatusItem item, uint32_t& value) override;
    uint32_t Seek(uint32_t deviceId, uint32_t toMs) override;

private:
    DWORD_PTR Callback() const { return reinterpret_cast<DWORD_PTR>(notifyWindow_); }

    HWND notifyWindow_ = nullptr;
    uint32_t lastPlayed_ = 0;  // 0 once it is closed
    // The open record lives as long as the device: the element name stays valid with it.
    MCI_OPEN_PARMSA openRecord_{};
    std::string elementName_;
};

}  // namespace tav
