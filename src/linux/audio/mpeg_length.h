#pragma once

// The length of an MPEG audio file (MP3 on its own or inside RIFF) counted from its frames by
// libmpg123. GStreamer's parser estimates the length of a file without a Xing header from the
// bitrate of what it has read so far: nothing at first, then a figure that changes as it goes.

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tav::gst {

// Whether the pipeline decodes MPEG audio (its decoder chain holds the MPEG audio parser).
bool DecodesMpegAudio(GstElement* pipeline);

// Counts the frames on a thread of its own. Until the count is done the length is the
// header's (a Xing or VBRI frame count) or the first frame's bitrate over the file's size.
class MpegLength {
public:
    explicit MpegLength(const std::string& path);
    ~MpegLength();  // stops the count
    MpegLength(const MpegLength&) = delete;
    MpegLength& operator=(const MpegLength&) = delete;

    // Waits up to `longest` for the count to end.
    void Wait(std::chrono::milliseconds longest);
    // Exact once counted, the estimate before; none while the file's first frame is unread or
    // when it holds no MPEG audio.
    std::optional<GstClockTime> Duration() const;

private:
    void Count(const std::string& path);
    void Publish(int64_t samples, long rate);

    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::optional<GstClockTime> duration_;
    bool done_ = false;  // the count ended, counted or not
    std::atomic<bool> cancelled_{false};
    std::thread counter_;  // last: started once the rest is ready
};

}  // namespace tav::gst
