#include "fakes/simulated_device.h"

#include <algorithm>

#include "player/messages.h"

namespace tav::test {

SimulatedDevice::Open_* SimulatedDevice::Find(uint32_t deviceId) {
    const auto found = devices.find(deviceId);
    return found == devices.end() ? nullptr : &found->second;
}

void SimulatedDevice::Notify(uint32_t deviceId, uint32_t kind) {
    queue_.Post({MM_MCINOTIFY_, kind, static_cast<intptr_t>(deviceId)});
}

uint32_t SimulatedDevice::Open(const std::string& path, uint32_t& deviceId) {
    opened.push_back(path);
    const std::optional<bool> isDirectory = files_.Lookup(path);
    if (!isDirectory || *isDirectory || undecodable.contains(path)) {
        return kOpenError;
    }
    const auto length = lengths.find(path);
    deviceId = nextId_++;
    devices[deviceId] = {path, length == lengths.end() ? 1000U : length->second, 0, false, false};
    return 0;
}

uint32_t SimulatedDevice::Play(uint32_t deviceId) {
    Open_* device = Find(deviceId);
    if (device == nullptr || failPlay) {
        return kCommandError;
    }
    if (device->playing) {
        Notify(deviceId, NotifySuperseded);
    }
    device->playing = true;
    return 0;
}

uint32_t SimulatedDevice::Stop(uint32_t deviceId) {
    Open_* device = Find(deviceId);
    if (device == nullptr || failStop) {
        return kCommandError;
    }
    if (device->playing) {
        Notify(deviceId, NotifyAborted);
        device->playing = false;
    }
    return 0;
}

uint32_t SimulatedDevice::Close(uint32_t deviceId) {
    Open_* device = Find(deviceId);
    if (device == nullptr) {
        return kCommandError;
    }
    if (device->playing) {
        Notify(deviceId, NotifyAborted);
    }
    devices.erase(deviceId);
    closed.push_back(deviceId);
    return 0;
}

uint32_t SimulatedDevice::SetTimeFormatMilliseconds(uint32_t deviceId) {
    Open_* device = Find(deviceId);
    if (device == nullptr) {
        return kCommandError;
    }
    device->millisecondFormat = true;
    return 0;
}

uint32_t SimulatedDevice::Status(uint32_t deviceId, StatusItem item, uint32_t& value) {
    Open_* device = Find(deviceId);
    if (device == nullptr) {
        return kCommandError;
    }
    value = item == StatusItem::Length ? device->length : device->position;
    if (!device->millisecondFormat) {
        value *= kBytesPerMs;
    }
    return 0;
}

uint32_t SimulatedDevice::Seek(uint32_t deviceId, uint32_t toMs) {
    Open_* device = Find(deviceId);
    if (device == nullptr) {
        return kCommandError;
    }
    seeks.push_back(toMs);
    if (device->playing) {
        Notify(deviceId, NotifyAborted);
        device->playing = false;
    }
    device->position = std::min(toMs, device->length);
    return 0;
}

void SimulatedDevice::Advance(uint32_t ms) {
    clock_.ticks += ms;
    for (auto& [id, device] : devices) {
        if (!device.playing) {
            continue;
        }
        device.position = std::min(device.length, device.position + ms);
        if (device.position == device.length) {
            device.playing = false;
            Notify(id, NotifySuccessful);
        }
    }
}

}  // namespace tav::test
