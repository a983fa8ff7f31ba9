#include "win32/audio/mci_device.h"

namespace tav {
namespace {

uint32_t Send(uint32_t deviceId, UINT command, DWORD flags, void* record) {
    return mciSendCommandA(deviceId, command, flags, reinterpret_cast<DWORD_PTR>(record));
}

}  // namespace

uint32_t MciDevice::Open(const std::string& path, uint32_t& deviceId) {
    elementName_ = path;
    openRecord_.dwCallback = Callback();
    openRecord_.lpstrElementName = elementName_.c_str();
    // By element name only: the system picks the device kind from the file name.
    const uint32_t result = Send(0, MCI_OPEN, MCI_OPEN_ELEMENT, &openRecord_);
    if (result == 0) {
        deviceId = openRecord_.wDeviceID;
    }
    return result;
}

uint32_t MciDevice::Play(uint32_t deviceId) {
    MCI_PLAY_PARMS play{};
    play.dwCallback = Callback();
    const uint32_t result = Send(deviceId, MCI_PLAY, MCI_NOTIFY, &play);
    if (result == 0) {
        lastPlayed_ = deviceId;
    }
    return result;
}

uint32_t MciDevice::Stop(uint32_t deviceId) {
    MCI_GENERIC_PARMS generic{};
    return Send(deviceId, MCI_STOP, MCI_WAIT, &generic);
}

// A stop, not MCI's pause: under Wine a paused wave device reads position 0 and its resumed
// play ends early. A stop keeps the position, and the next play goes on from there.
uint32_t MciDevice::Pause(uint32_t deviceId) {
    return Stop(deviceId);
}

uint32_t MciDevice::Close(uint32_t deviceId) {
    MCI_GENERIC_PARMS generic{};
    const uint32_t result = Send(deviceId, MCI_CLOSE, MCI_WAIT, &generic);
    if (deviceId == lastPlayed_) {
        lastPlayed_ = 0;
    }
    return result;
}

uint32_t MciDevice::SetTimeFormatMilliseconds(uint32_t deviceId) {
    MCI_SET_PARMS set{};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    return Send(deviceId, MCI_SET, MCI_SET_TIME_FORMAT, &set);
}

uint32_t MciDevice::Status(uint32_t deviceId, StatusItem item, uint32_t& value) {
    MCI_STATUS_PARMS status{};
    status.dwItem = static_cast<DWORD>(item);
    const uint32_t result = Send(deviceId, MCI_STATUS, MCI_STATUS_ITEM, &status);
    if (result == 0) {
        value = static_cast<uint32_t>(status.dwReturn);
    }
    return result;
}

uint32_t MciDevice::Seek(uint32_t deviceId, uint32_t toMs) {
    MCI_SEEK_PARMS seek{};
    seek.dwTo = toMs;
    return Send(deviceId, MCI_SEEK, MCI_TO | MCI_WAIT, &seek);
}

}  // namespace tav
