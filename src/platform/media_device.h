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
//
// Called on the UI thread, so no call waits long: in normal operation each returns within
// 100 ms (typically a few ms; measured by bench/run-playback-bench.sh). The calls that wait
// are Open (the file is read and decoded up to its first sound; an MP3 without a Xing header
// has its frames counted for up to 80 ms), Play (when no output stream is open, one is opened
// with the sound server), Stop and Seek (the output is silenced and the decoder moved) and
// Close (the decoder is torn down). Open, Play, Stop, Seek and Close
// give up after at most 5 s on a decoder or stream that hangs (a stalled sound server), and
// then fail. Status and SetTimeFormatMilliseconds never wait for the sound server or the
// decoder.
class MediaDevice {
public:
    virtual ~MediaDevice() = default;
    // Opens the file, the device kind chosen from its name. Fails for a missing file, a
    // folder or a file that cannot be decoded.
    virtual uint32_t Open(const std::string& path, uint32_t& deviceId) = 0;
    // Plays from the current position to the end. The completion notice is posted to the main
    // window later through the event queue, never from inside this call: successful when the
    // end is heard (from then on the position is the length; the GStreamer device posts it a
    // few tens of ms early, the time the next file needs to follow on without a gap), aborted
    // or superseded when a stop, seek or new play interrupts it, failure on a stream error. A
    // device whose output failed (the sound server went away) opens a new one on its next
    // play or seek.
    virtual uint32_t Play(uint32_t deviceId) = 0;
    virtual uint32_t Stop(uint32_t deviceId) = 0;  // synchronous
    // Holds a play where it is heard, synchronously: the sound stops at once, the position
    // stays, and no successful notice comes while it is held. The next Play goes on from
    // there (the held play's notice may then come as superseded). A device that is not
    // playing stays as it is.
    virtual uint32_t Pause(uint32_t deviceId) = 0;
    virtual uint32_t Close(uint32_t deviceId) = 0;  // synchronous
    virtual uint32_t SetTimeFormatMilliseconds(uint32_t deviceId) = 0;
    // Leaves value untouched when the query fails.
    virtual uint32_t Status(uint32_t deviceId, StatusItem item, uint32_t& value) = 0;
    virtual uint32_t Seek(uint32_t deviceId, uint32_t toMs) = 0;  // synchronous
};

}  // namespace tav
