#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_seams.h"
#include "platform/file_system.h"
#include "platform/media_device.h"

namespace tav::test {

// A media device on a virtual clock. Opening needs an existing file on disk, not empty; each
// file plays for the length registered for it (1000 ms unless told otherwise). Notices are
// posted to the event queue exactly as MCI posts them: successful at the end, aborted for a
// play that a stop, close or seek interrupts, superseded for one that a new play replaces.
// Until the time format is set to milliseconds, positions and lengths come in bytes of
// 44.1 kHz 16-bit stereo (176 per millisecond), as a wave device reports them by default.
class SimulatedDevice : public MediaDevice {
public:
    static constexpr uint32_t kOpenError = 275;  // MCIERR_FILE_NOT_FOUND
    static constexpr uint32_t kCommandError = 277;
    static constexpr uint32_t kBytesPerMs = 176;

    SimulatedDevice(const FileSystem& files, FakeEventQueue& queue, FakeClock& clock)
        : files_(files), queue_(queue), clock_(clock) {}

    uint32_t Open(const std::string& path, uint32_t& deviceId) override;
    uint32_t Play(uint32_t deviceId) override;
    uint32_t Stop(uint32_t deviceId) override;
    uint32_t Pause(uint32_t deviceId) override;
    uint32_t Close(uint32_t deviceId) override;
    uint32_t SetTimeFormatMilliseconds(uint32_t deviceId) override;
    uint32_t Status(uint32_t deviceId, StatusItem item, uint32_t& value) override;
    uint32_t Seek(uint32_t deviceId, uint32_t toMs) override;

    // Moves the virtual clock, the player's tick count with it; plays that reach their end
    // post their success notice.
    void Advance(uint32_t ms);

    std::map<std::string, uint32_t> lengths;
    std::set<std::string> undecodable;  // open fails as for a corrupt file
    bool failPlay = false;
    bool failStop = false;
    std::vector<std::string> opened;  // every path opened, in order
    std::vector<uint32_t> closed;     // every device id closed, in order
    std::vector<uint32_t> seeks;      // every seek target, in order

    struct Open_ {
        std::string path;
        uint32_t length = 0;
        uint32_t position = 0;
        bool playing = false;
        bool millisecondFormat = false;
    };
    std::map<uint32_t, Open_> devices;

private:
    // Runs the command on the open device; the command error when it is not open.
    template <typename Command>
    uint32_t With(uint32_t deviceId, Command command);
    void Notify(uint32_t deviceId, uint32_t kind);
    void Abort(uint32_t deviceId, Open_& device);  // a play that is cut off

    const FileSystem& files_;
    FakeEventQueue& queue_;
    FakeClock& clock_;
    uint32_t nextId_ = 1;
};

}  // namespace tav::test
