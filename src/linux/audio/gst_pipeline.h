#pragma once

// One open device of the GStreamer media device: a pipeline that decodes one file into the
// device's audio output.

#include <gst/gst.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "linux/audio/event_poster.h"
#include "linux/audio/gst_output.h"
#include "linux/audio/mpeg_length.h"
#include "platform/media_device.h"

namespace tav::gst {

// Error codes, numbered as the multimedia interface numbers them.
constexpr uint32_t kErrInvalidDeviceId = 257;
constexpr uint32_t kErrDeviceFailed = 262;
constexpr uint32_t kErrFileNotFound = 275;
constexpr uint32_t kErrInvalidFile = 296;

struct BusState;

// uridecodebin ! audioconvert ! audioresample ! appsink, the appsink feeding the output. The
// file's success notice is posted when the output has played the file up to a short lead
// before its end: the player then opens and starts the next file while the output still
// plays that lead, and the next file's sound follows without a gap. A device whose output
// failed (the sound server went away) starts over on a new output at its next play or seek.
class DevicePipeline {
public:
    // `output` must outlive the pipeline.
    DevicePipeline(EventPoster& poster, uint32_t id, AudioOutput& output);
    ~DevicePipeline();  // stops and releases everything before it returns
    DevicePipeline(const DevicePipeline&) = delete;
    DevicePipeline& operator=(const DevicePipeline&) = delete;

    // Opens the file and decodes up to its first sound; 0 or an error code.
    uint32_t Preroll(const std::string& path);
    uint32_t Play();
    uint32_t Stop();
    // Holds the output where it is heard; the play stays pending and Play lets it go on.
    uint32_t Pause();
    uint32_t Seek(uint32_t toMs);
    std::optional<uint32_t> Query(StatusItem item) const;
    // Ends the device. A file that played to its end leaves its last sound to the output;
    // one that is still playing is silenced. False when the output was slow to close.
    bool Close();

private:
    bool Release(Deadline deadline);
    // Closes the output this device held: what it holds was to be heard only on a resume.
    bool DropHold(Deadline deadline);
    static void OnPadAdded(GstElement* source, GstPad* pad, gpointer data);
    static void OnNoMorePads(GstElement* source, gpointer data);
    GstPad* ConverterInput() const;
    bool Failed() const;
    std::optional<GstClockTime> Duration() const;
    // Where the listener is in the file, in nanoseconds.
    GstClockTime Heard() const;
    uint32_t SilenceAndSeek(GstClockTime target, Deadline deadline);
    bool ChangeState(GstState target, Deadline deadline);
    bool WaitSettled(Deadline deadline);

    std::shared_ptr<BusState> state_;
    GstElement* pipeline_ = nullptr;
    GstElement* source_ = nullptr;
    GstElement* convert_ = nullptr;
    std::unique_ptr<MpegLength> mpegLength_;  // for MPEG audio, whose parser only estimates
    bool complete_ = false;
    bool held_ = false;  // paused: the output holds this file's play
};

}  // namespace tav::gst
