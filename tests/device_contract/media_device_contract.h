#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/test_player.h"
#include "platform/media_device.h"

namespace tav::test {

using Notice = std::pair<uint32_t, uint32_t>;  // its kind and its device

// One media device as the contract drives it: its files, its notices and its time.
class DeviceRig {
public:
    DeviceRig(uint32_t slack = 0, uint32_t lead = 0, uint32_t late = 0, bool fromEnd = true)
        : slackMs(slack), leadMs(lead), lateMs(late), noticesPlayFromTheEnd(fromEnd) {}
    virtual ~DeviceRig() = default;
    virtual MediaDevice& Device() = 0;
    // A WAV file of a tone that plays for `ms`.
    virtual std::string Wav(const std::string& name, uint32_t ms);
    using Media = std::pair<std::string, uint32_t>;  // a path and its length
    // An MP3 file, where this device can play one.
    virtual std::optional<Media> Mp3() { return std::nullopt; }
    // Files that exist but cannot be decoded.
    virtual std::vector<std::string> Undecodable();
    // The next notice posted, waiting up to `timeoutMs` for it while time passes.
    virtual std::optional<Notice> NextNotice(uint32_t timeoutMs) = 0;
    virtual uint32_t NowMs() = 0;

    // Opens the file with milliseconds as the time format; the device id.
    uint32_t OpenOk(const std::string& path);
    uint32_t Status(uint32_t id, StatusItem item);

    TempDir dir;
    const uint32_t slackMs;  // how far a length or the position at rest may stray
    const uint32_t leadMs;   // how long before the end is heard its notice may come
    const uint32_t lateMs;   // how long after it; the position in play strays as far as both
    const bool noticesPlayFromTheEnd;
};

using RigMaker = std::unique_ptr<DeviceRig> (*)();

class MediaDeviceContract : public ::testing::TestWithParam<RigMaker> {
protected:
    void SetUp() override;
    std::unique_ptr<DeviceRig> rig;
};

}  // namespace tav::test
