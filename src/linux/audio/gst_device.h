#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "linux/audio/event_poster.h"
#include "platform/media_device.h"

namespace tav {

// The media device on GStreamer: one decoding pipeline per open device, all feeding one audio
// stream, so that the files of a piece follow each other without silence; completion notices
// posted as MM_MCINOTIFY through the event poster. One device plays at a time: the player never
// plays two at once, and the sound of two playing devices would interleave in the one stream.
class GstMediaDevice : public MediaDevice {
public:
    // Plays to the default audio output.
    explicit GstMediaDevice(EventPoster& poster);
    // Plays to the sink described in gst-launch syntax, e.g. "fakesink sync=true".
    GstMediaDevice(EventPoster& poster, const std::string& sinkDescription);
    ~GstMediaDevice() override;
    GstMediaDevice(const GstMediaDevice&) = delete;
    GstMediaDevice& operator=(const GstMediaDevice&) = delete;

    uint32_t Open(const std::string& path, uint32_t& deviceId) override;
    uint32_t Play(uint32_t deviceId) override;
    uint32_t Stop(uint32_t deviceId) override;
    uint32_t Pause(uint32_t deviceId) override;
    uint32_t Close(uint32_t deviceId) override;
    uint32_t SetTimeFormatMilliseconds(uint32_t deviceId) override;
    uint32_t Status(uint32_t deviceId, StatusItem item, uint32_t& value) override;
    uint32_t Seek(uint32_t deviceId, uint32_t toMs) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tav
