#pragma once

// Inside the GStreamer media device: one pipeline per open device, and the handover that starts
// the next file when the last sound of the previous one has been heard.

#include <gst/gst.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "linux/event_poster.h"
#include "platform/media_device.h"

namespace tav::gst {

// Error codes, numbered as the multimedia interface numbers them.
constexpr uint32_t kErrInvalidDeviceId = 257;
constexpr uint32_t kErrDeviceFailed = 262;
constexpr uint32_t kErrFileNotFound = 275;
constexpr uint32_t kErrInvalidFile = 296;

struct BusState;
class DevicePipeline;

// A file's success notice is posted as soon as its last data has reached the audio sink, while
// the sink still plays out its buffer (its tail). Meanwhile the player closes that device and
// opens and prerolls the next file, which then starts from the tail's end of stream: the silence
// between two files is a few milliseconds instead of a pipeline's start-up time.
class Handover {
public:
    Handover() = default;
    ~Handover();
    Handover(const Handover&) = delete;
    Handover& operator=(const Handover&) = delete;

    // Keeps a closed pipeline whose last sound is still playing, until that sound ends. Leaves
    // `pipeline` untouched and returns false when the sound has ended already.
    bool TakeTail(std::unique_ptr<DevicePipeline>& pipeline);
    // Sets `pipeline` playing now, or when the tail ends. False when the pipeline refused.
    bool StartAfterTail(GstElement* pipeline);
    // `pipeline` no longer waits for the tail; returns once no start of it is under way.
    void Cancel(GstElement* pipeline);
    // Silences the tail at once.
    void CutTail();

    // From the streaming threads: the sound of a pipeline has ended (end of stream or error).
    void OnSoundEnded(BusState& state);

private:
    std::mutex lock_;
    std::condition_variable started_;
    std::unique_ptr<DevicePipeline> tail_;
    GstElement* waiting_ = nullptr;   // holds a reference
    GstElement* starting_ = nullptr;  // being set playing by a streaming thread
};

// One open device: uridecodebin ! audioconvert ! audioresample ! sink.
class DevicePipeline {
public:
    DevicePipeline(EventPoster& poster, uint32_t id, const std::string& sinkDescription,
                   std::shared_ptr<Handover> handover);
    ~DevicePipeline();  // stops and releases everything before it returns
    DevicePipeline(const DevicePipeline&) = delete;
    DevicePipeline& operator=(const DevicePipeline&) = delete;

    // Opens the file and waits until the first sound is ready to play; 0 or an error code.
    uint32_t Preroll(const std::string& path);
    uint32_t Play();
    uint32_t Stop();
    uint32_t Seek(uint32_t toMs);
    std::optional<uint32_t> Query(StatusItem item) const;
    // Ends the device: a file that played to its end keeps sounding until its buffered sound is
    // out; anything else stops at once.
    static void Close(std::unique_ptr<DevicePipeline> pipeline);

    GstElement* Element() const { return pipeline_; }
    // The sink has played out the last sound (read under the handover's lock).
    bool SoundEnded() const;

private:
    static void OnPadAdded(GstElement* source, GstPad* pad, gpointer data);
    static void OnNoMorePads(GstElement* source, gpointer data);
    GstPad* ConverterInput() const;
    bool Failed() const;
    bool EndedWhilePlaying() const;
    void Interrupt();
    bool ChangeState(GstState target);
    bool WaitSettled();

    std::shared_ptr<BusState> state_;
    std::shared_ptr<Handover> handover_;
    GstElement* pipeline_ = nullptr;
    GstElement* source_ = nullptr;
    GstElement* convert_ = nullptr;
    bool complete_ = false;
};

}  // namespace tav::gst
