#include "linux/desktop/mpris_device.h"

namespace tav {

std::string FileTrackingDevice::FileOf(uint32_t deviceId) const {
    const auto found = files_.find(deviceId);
    return found == files_.end() ? std::string() : found->second;
}

uint32_t FileTrackingDevice::Open(const std::string& path, uint32_t& deviceId) {
    const uint32_t result = device_.Open(path, deviceId);
    if (result == 0) {
        files_[deviceId] = path;
    }
    return result;
}

uint32_t FileTrackingDevice::Close(uint32_t deviceId) {
    files_.erase(deviceId);
    return device_.Close(deviceId);
}

uint32_t FileTrackingDevice::Seek(uint32_t deviceId, uint32_t toMs) {
    const uint32_t result = device_.Seek(deviceId, toMs);
    if (result == 0 && seeked_) {
        seeked_(deviceId);
    }
    return result;
}

}  // namespace tav
