#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "fakes/test_player.h"
#include "platform/media_device.h"

namespace tav::test {

struct Notice {
    uint32_t kind = 0;
    uint32_t device = 0;
    bool operator==(const Notice&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Notice& notice) {
    return out << "notice " << notice.kind << " for device " << notice.device;
}

// A 16-bit mono WAV of a quiet 440 Hz tone at 44.1 kHz, `ms` long.
std::string ToneWav(uint32_t ms);

// One media device as the contract drives it: its files, its notices and its time.
class DeviceRig {
public:
    virtual ~DeviceRig() = default;
    virtual MediaDevice& Device() = 0;
    // A WAV file that plays for `ms`.
    virtual std::string Wav(const TempDir& dir, const std::string& name, uint32_t ms) {
        return dir.AddFile(name, ToneWav(ms));
    }
    // An MP3 file and its length, where this device can play one.
    struct Media {
        std::string path;
        uint32_t ms = 0;
    };
    virtual std::optional<Media> Mp3(const TempDir&) { return std::nullopt; }
    // Files that exist but cannot be decoded.
    virtual std::vector<std::string> Undecodable(const TempDir& dir) {
        return {dir.AddFile("empty.wav", ""), dir.AddFile("text.wav", "RIFF but nothing after")};
    }
    // The next notice posted, waiting up to `timeoutMs` for it while time passes.
    virtual std::optional<Notice> NextNotice(uint32_t timeoutMs) = 0;
    // Lets time pass; notices posted meanwhile wait for NextNotice.
    virtual void Pass(uint32_t ms) = 0;
    virtual uint32_t NowMs() = 0;

    uint32_t slackMs = 0;  // how far a measured time or position may stray
    uint32_t leadMs = 0;   // how long before the end is heard its notice may come
};

using RigMaker = std::unique_ptr<DeviceRig> (*)();

class MediaDeviceContract : public ::testing::TestWithParam<RigMaker> {
protected:
    void SetUp() override;
    uint32_t OpenOk(const std::string& path);
    uint32_t Status(uint32_t id, StatusItem item);

    TempDir dir;
    std::unique_ptr<DeviceRig> rig;
};

}  // namespace tav::test
