#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>

#include "platform/media_device.h"

namespace tav {

// A media device that passes every command on to another and remembers which file each open
// device plays, so that the desktop's media controls can name the current file even where
// the window shows its tags instead of its path, and tell them of every seek, whoever made it.
class FileTrackingDevice : public MediaDevice {
public:
    explicit FileTrackingDevice(MediaDevice& device) : device_(device) {}

    // The file the open device plays; empty for a device that is not open.
    std::string FileOf(uint32_t deviceId) const;
    // Called after each seek the device took.
    void OnSeek(std::function<void(uint32_t deviceId)> seeked) { seeked_ = std::move(seeked); }

    uint32_t Open(const std::string& path, uint32_t& deviceId) override;
    uint32_t Play(uint32_t deviceId) override { return device_.Play(deviceId); }
    uint32_t Stop(uint32_t deviceId) override { return device_.Stop(deviceId); }
    uint32_t Pause(uint32_t deviceId) override { return device_.Pause(deviceId); }
    uint32_t Close(uint32_t deviceId) override;
    uint32_t SetTimeFormatMilliseconds(uint32_t deviceId) override {
        return device_.SetTimeFormatMilliseconds(deviceId);
    }
    uint32_t Status(uint32_t deviceId, StatusItem item, uint32_t& value) override {
        return device_.Status(deviceId, item, value);
    }
    uint32_t Seek(uint32_t deviceId, uint32_t toMs) override;

private:
    MediaDevice& device_;
    std::map<uint32_t, std::string> files_;
    std::function<void(uint32_t)> seeked_;
};

}  // namespace tav
