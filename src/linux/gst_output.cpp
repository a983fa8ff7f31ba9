#include "linux/gst_output.h"

#include <chrono>
#include <utility>

#include "linux/pulse_stream_identity.h"

namespace tav::gst {

namespace {

constexpr int kFrameBytes = kOutputChannels * 4;  // F32
// Sound queued ahead of the sink. Together with the sink's own buffer it is the time the player
// has, after a file's last sound was queued, to open the next file and queue its first sound.
constexpr guint64 kAheadBytes = guint64{kOutputRate} * kFrameBytes / 10;  // 100 ms
// The longest a file waits for the previous stream to play out before it opens a new one.
constexpr auto kPlayOutWait = std::chrono::seconds(2);

GstClockTime FramesToTime(uint64_t frames) {
    return gst_util_uint64_scale(frames, GST_SECOND, kOutputRate);
}

// Which stream of which output a bus message or a signal concerns.
struct StreamRef {
    AudioOutput* owner;
    uint64_t number;
};

void ReleaseRef(gpointer data, GClosure* = nullptr) {
    delete static_cast<StreamRef*>(data);
}

void SetNull(GstElement* pipeline, gpointer) {
    gst_element_set_state(pipeline, GST_STATE_NULL);
}

}  // namespace

// One sound-server stream: appsrc ! audioconvert ! audioresample ! sink.
struct AudioOutput::Stream {
    enum class Phase { Live, Ending, Finished, Failed };

    Stream(AudioOutput& owner, uint64_t streamNumber, const std::string& sinkDescription)
        : number(streamNumber) {
        pipeline = gst_pipeline_new(nullptr);
        LabelPlayerStream(pipeline);  // the sound server restores the player's volume by it
        GstBus* bus = gst_element_get_bus(pipeline);
        gst_bus_set_sync_handler(bus, OnBusMessage, new StreamRef{&owner, number},
                                 [](gpointer data) { ReleaseRef(data); });
        gst_object_unref(bus);
        source = gst_element_factory_make("appsrc", nullptr);
        GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
        GstElement* resample = gst_element_factory_make("audioresample", nullptr);
        GstElement* sink = gst_parse_bin_from_description(sinkDescription.c_str(), TRUE, nullptr);
        if (source == nullptr || convert == nullptr || resample == nullptr || sink == nullptr) {
            phase = Phase::Failed;
            return;
        }
        GstCaps* caps = gst_caps_from_string(kOutputCaps);
        g_object_set(source, "caps", caps, "format", GST_FORMAT_TIME, "block", TRUE, "max-bytes",
                     kAheadBytes, "emit-signals", TRUE, nullptr);
        gst_caps_unref(caps);
        g_signal_connect_data(source, "need-data", G_CALLBACK(OnNeedData),
                              new StreamRef{&owner, number}, ReleaseRef, GConnectFlags{});
        gst_bin_add_many(GST_BIN(pipeline), source, convert, resample, sink, nullptr);
        if (!gst_element_link_many(source, convert, resample, sink, nullptr)) {
            phase = Phase::Failed;
        }
    }

    ~Stream() {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(pipeline);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(pipeline);
    }

    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Closes the sound-server stream from a thread of GStreamer's own: the thread that reports
    // the end cannot stop its pipeline.
    void CloseLater() { gst_element_call_async(pipeline, SetNull, nullptr, nullptr); }

    const uint64_t number;
    GstElement* pipeline = nullptr;
    GstElement* source = nullptr;  // owned by the pipeline
    uint64_t frames = 0;           // queued so far: the next buffer plays at this frame
    Phase phase = Phase::Live;
};

AudioOutput::AudioOutput(std::string sinkDescription)
    : sinkDescription_(std::move(sinkDescription)) {}

AudioOutput::~AudioOutput() {
    Stop();
}

uint64_t AudioOutput::BeginFeed() {
    std::lock_guard guard(lock_);
    ++feeding_;
    return stops_;
}

void AudioOutput::EndFeed() {
    std::unique_ptr<Stream> failed;
    {
        std::lock_guard guard(lock_);
        // A failed stream is given up once nothing feeds it; the next sound opens a new one.
        if (--feeding_ == 0 && current_ != nullptr && current_->phase == Stream::Phase::Failed) {
            failed = std::move(current_);
        }
    }
}

bool AudioOutput::Prepare() {
    std::unique_lock guard(lock_);
    if (current_ != nullptr && current_->phase == Stream::Phase::Ending) {
        return true;  // the first sound waits for it to play out, then opens a new stream
    }
    return OpenStream(guard, true) == GST_FLOW_OK;
}

GstFlowReturn AudioOutput::Push(GstBuffer* buffer, uint64_t feed, OutputTime& at) {
    GstElement* source = nullptr;
    {
        std::unique_lock guard(lock_);
        // A stream playing out its end takes nothing more: the new sound goes to a new stream
        // once that one is done.
        changed_.wait_for(guard, kPlayOutWait, [this] {
            return current_ == nullptr || current_->phase != Stream::Phase::Ending;
        });
        GstFlowReturn opened = feed == stops_ ? OpenStream(guard, false) : GST_FLOW_FLUSHING;
        if (opened == GST_FLOW_OK && feed != stops_) {
            opened = GST_FLOW_FLUSHING;  // stopped while the stream opened
        }
        if (opened != GST_FLOW_OK) {
            gst_buffer_unref(buffer);
            return opened;
        }
        const uint64_t frames = gst_buffer_get_size(buffer) / kFrameBytes;
        buffer = gst_buffer_make_writable(buffer);
        at = OutputTime{current_->number, FramesToTime(current_->frames)};
        GST_BUFFER_PTS(buffer) = at.time;
        GST_BUFFER_DURATION(buffer) = FramesToTime(current_->frames + frames) - at.time;
        current_->frames += frames;
        source = GST_ELEMENT(gst_object_ref(current_->source));
    }
    GstFlowReturn flow = GST_FLOW_ERROR;
    g_signal_emit_by_name(source, "push-buffer", buffer, &flow);
    gst_buffer_unref(buffer);
    gst_object_unref(source);
    if (flow == GST_FLOW_FLUSHING) {
        // Waiting for room in a stream that failed ends in its closing flush: still a failure.
        std::lock_guard guard(lock_);
        if (current_ != nullptr && current_->number == at.stream &&
            current_->phase == Stream::Phase::Failed) {
            flow = GST_FLOW_ERROR;
        }
    }
    return flow;
}

// Makes sure a live stream takes sound: closes one that has played out (or failed, when a new
// play asks) and opens a new one. Called with the lock held; releases it meanwhile.
GstFlowReturn AudioOutput::OpenStream(std::unique_lock<std::mutex>& guard, bool replaceFailed) {
    if (current_ != nullptr) {
        const Stream::Phase phase = current_->phase;
        if (phase == Stream::Phase::Live) {
            return GST_FLOW_OK;
        }
        if (phase == Stream::Phase::Failed && !replaceFailed) {
            return GST_FLOW_ERROR;  // the file that fed it fails with it
        }
        std::unique_ptr<Stream> done = std::move(current_);
        guard.unlock();
        done.reset();  // its bus handler takes the lock
        guard.lock();
        if (current_ != nullptr) {
            return current_->phase == Stream::Phase::Live ? GST_FLOW_OK : GST_FLOW_ERROR;
        }
    }
    auto stream = std::make_unique<Stream>(*this, ++lastStream_, sinkDescription_);
    GstElement* pipeline = GST_ELEMENT(gst_object_ref(stream->pipeline));
    const bool built = stream->phase == Stream::Phase::Live;
    current_ = std::move(stream);
    // Started outside the lock: the state change may report to the bus handler, which takes it.
    guard.unlock();
    const bool started =
        built && gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    gst_object_unref(pipeline);
    guard.lock();
    if (!started && current_ != nullptr && current_->pipeline == pipeline) {
        current_->phase = Stream::Phase::Failed;
    }
    return started ? GST_FLOW_OK : GST_FLOW_ERROR;
}

std::optional<OutputTime> AudioOutput::Played() {
    GstElement* pipeline = nullptr;
    OutputTime played;
    {
        std::lock_guard guard(lock_);
        if (current_ == nullptr) {
            return std::nullopt;
        }
        played = OutputTime{current_->number, FramesToTime(current_->frames)};
        if (current_->phase != Stream::Phase::Live && current_->phase != Stream::Phase::Ending) {
            return played;  // everything queued has been played
        }
        pipeline = GST_ELEMENT(gst_object_ref(current_->pipeline));
    }
    gint64 position = 0;
    played.time = gst_element_query_position(pipeline, GST_FORMAT_TIME, &position) && position > 0
                      ? static_cast<GstClockTime>(position)
                      : 0;
    gst_object_unref(pipeline);
    return played;
}

void AudioOutput::Stop() {
    std::unique_ptr<Stream> stopped;
    {
        std::lock_guard guard(lock_);
        ++stops_;
        stopped = std::move(current_);
    }
    stopped.reset();
    changed_.notify_all();
}

GstBusSyncReply AudioOutput::OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
    const auto& ref = *static_cast<StreamRef*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        ref.owner->Finish(ref.number, false);
        break;
    case GST_MESSAGE_ERROR:
        ref.owner->Finish(ref.number, true);
        break;
    default:
        break;
    }
    // Nothing else reads the bus; dropping keeps it from filling up.
    return GST_BUS_DROP;
}

// The queue has run dry. With no file feeding it, the stream plays out what the sink holds and
// ends; a file that starts feeding later opens a new one.
void AudioOutput::OnNeedData(GstElement* source, guint, gpointer data) {
    const auto& ref = *static_cast<StreamRef*>(data);
    AudioOutput& self = *ref.owner;
    {
        std::lock_guard guard(self.lock_);
        Stream* stream = self.current_.get();
        if (self.feeding_ > 0 || stream == nullptr || stream->number != ref.number ||
            stream->phase != Stream::Phase::Live) {
            return;
        }
        stream->phase = Stream::Phase::Ending;
    }
    GstFlowReturn flow = GST_FLOW_OK;
    g_signal_emit_by_name(source, "end-of-stream", &flow);
}

void AudioOutput::Finish(uint64_t number, bool failed) {
    {
        std::lock_guard guard(lock_);
        Stream* stream = current_.get();
        if (stream == nullptr || stream->number != number) {
            return;
        }
        stream->phase = failed ? Stream::Phase::Failed : Stream::Phase::Finished;
        stream->CloseLater();
    }
    changed_.notify_all();
}

}  // namespace tav::gst
