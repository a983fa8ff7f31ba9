#include "fakes/simulated_device.h"

#include <algorithm>

#include "player/messages.h"

namespace tav::test {

template <typename Command>
uint32_t SimulatedDevice::With(uint32_t deviceId, Command command) {
    const auto found = devices.find(deviceId);
    if (found == devices.end()) {
        return kCommandError;
    }
    command(found->second);
    return 0;
}

void SimulatedDevice::Notify(uint32_t deviceId, uint32_t kind) {
    queue_.Post({MM_MCINOTIFY_, kind, static_cast<intptr_t>(deviceId)});
}

void SimulatedDevice::Abort(uint32_t deviceId, Open_& device) {
    if (device.playing) {
        Notify(deviceId, NotifyAborted);
        device.playing = false;
    }
}

uint32_t SimulatedDevice::Open(const std::string& path, uint32_t& deviceId) {
    opened.push_back(path);
    // No sound in a missing, empty or unreadable file, nor in a folder.
    const std::optional<std::string> head = files_.ReadFile(path, 1);
    if (!head || head->empty() || undecodable.contains(path)) {
        return kOpenError;
    }
    const auto length = lengths.find(path);
    deviceId = nextId_++;
    devices[deviceId] = {path, length == lengths.end() ? 1000U : length->second, 0, false, false};
    return 0;
}

uint32_t SimulatedDevice::Play(uint32_t deviceId) {
    if (failPlay) {
        return kCommandError;
    }
    return With(deviceId, [&](Open_& device) {
        if (device.playing) {
            Notify(deviceId, NotifySuperseded);
        }
        device.playing = true;
    });
}

uint32_t SimulatedDevice::Stop(uint32_t deviceId) {
    if (failStop) {
        return kCommandError;
    }
    return With(deviceId, [&](Open_& device) { Abort(deviceId, device); });
}

// The held play goes on with the next play, without a notice of its own.
uint32_t SimulatedDevice::Pause(uint32_t deviceId) {
    if (failStop) {
        return kCommandError;
    }
    return With(deviceId, [](Open_& device) { device.playing = false; });
}

uint32_t SimulatedDevice::Close(uint32_t deviceId) {
    return With(deviceId, [&](Open_& device) {
        Abort(deviceId, device);
        devices.erase(deviceId);  // the device is gone from here on
        closed.push_back(deviceId);
    });
}

uint32_t SimulatedDevice::SetTimeFormatMilliseconds(uint32_t deviceId) {
    return With(deviceId, [](Open_& device) { device.millisecondFormat = true; });
}

uint32_t SimulatedDevice::Status(uint32_t deviceId, StatusItem item, uint32_t& value) {
    return With(deviceId, [&](Open_& device) {
        value = item == StatusItem::Length ? device.length : device.position;
        if (!device.millisecondFormat) {
            value *= kBytesPerMs;
        }
    });
}

uint32_t SimulatedDevice::Seek(uint32_t deviceId, uint32_t toMs) {
    return With(deviceId, [&](Open_& device) {
        seeks.push_back(toMs);
        Abort(deviceId, device);
        device.position = std::min(toMs, device.length);
    });
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
