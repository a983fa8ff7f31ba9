#pragma once

#include <cstdint>
#include <string>

namespace tav {

// Kinds of the completion notice (MM_MCINOTIFY's first parameter).
enum NoticeKind : uint32_t {
    NotifySuccessful = 1,
    NotifySuperseded = 2,
    NotifyAborted = 4,
    NotifyFailure = 8,
};

enum class StatusItem : uint32_t { Length = 1, Position = 2 };

// One multimedia device at a time, in the command semantics of MCI. Every command returns 0
// on success or a nonzero error code. Device ids are never 0.
class MediaDevice {
public:
    virtual ~MediaDevice() = default;
    // Opens the file, the device kind chosen from its name. Fails for a missing file, a
    // folder or a file that cannot be decoded.
    virtual uint32_t Open(const std::string& path, uint32_t& deviceId) = 0;
    // Plays from the current position to the end. The completion notice is posted to the main
    // window later through the event queue, never from inside this call: successful at the
    // end, aborted or superseded when a stop, seek or new play interrupts it, failure on a
    // stream error.
    virtual uint32_t Play(uint32_t deviceId) = 0;
    virtual uint32_t Stop(uint32_t deviceId) = 0;   // synchronous
    virtual uint32_t Close(uint32_t deviceId) = 0;  // synchronous
    virtual uint32_t SetTimeFormatMilliseconds(uint32_t deviceId) = 0;
    // Leaves value untouched when the query fails.
    virtual uint32_t Status(uint32_t deviceId, StatusItem item, uint32_t& value) = 0;
    virtual uint32_t Seek(uint32_t deviceId, uint32_t toMs) = 0;  // synchronous
};

}  // namespace tav
