#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "win32/audio/media_foundation.h"
#include "win32/audio/timed_worker.h"
#include "win32/audio/wasapi_output.h"
#include "win32/audio/win32_media_device.h"

namespace tav {

// The media device on Media Foundation: a source reader per open device decoding its file,
// all feeding one WASAPI stream (wasapi_output.h), so that the files of a piece follow each
// other without silence. The success notice comes when the end is heard, a short lead early,
// the time the next file needs to follow on. One device plays at a time: a play silences the
// one before, which is aborted. Notices name the device itself.
class MfMediaDevice : public Win32MediaDevice {
public:
    explicit MfMediaDevice(std::unique_ptr<MediaFoundation> library);
    ~MfMediaDevice() override;
    MfMediaDevice(const MfMediaDevice&) = delete;
    MfMediaDevice& operator=(const MfMediaDevice&) = delete;

    // Also begins to open the stream, so that the first play need not wait for it: the
    // window exists by then (Wine may fail a process's first window while the stream opens).
    void SetNotifyWindow(HWND window) override;
    std::optional<uint32_t> NoticeDevice(uint32_t reported) const override { return reported; }

    uint32_t Open(const std::string& path, uint32_t& deviceId) override;
    uint32_t Play(uint32_t deviceId) override;
    uint32_t Stop(uint32_t deviceId) override;
    uint32_t Pause(uint32_t deviceId) override;
    uint32_t Close(uint32_t deviceId) override;
    uint32_t SetTimeFormatMilliseconds(uint32_t deviceId) override;
    uint32_t Status(uint32_t deviceId, StatusItem item, uint32_t& value) override;
    uint32_t Seek(uint32_t deviceId, uint32_t toMs) override;

private:
    struct Track;
    Track* Find(uint32_t id) const;
    // Ends the play of `track`, if it plays, with the notice `kind`: the position stays where
    // it was heard.
    void Interrupt(Track& track, uint32_t kind);

    // Shared with the readers' calls, which may outlive the device (one that hangs): shut down
    // after the last reader goes.
    std::shared_ptr<MediaFoundation> library_;
    WasapiOutput output_;  // before the tracks, which it outlives
    // Opens, moves and closes the readers.
    TimedWorker readers_;
    std::map<uint32_t, std::unique_ptr<Track>> tracks_;
    HWND window_ = nullptr;
    uint32_t lastId_ = 0;
};

}  // namespace tav
