#include "linux/audio/gst_output.h"

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

#include "linux/audio/pulse_stream_identity.h"

namespace tav::gst {

namespace {

constexpr int kFrameBytes = kOutputChannels * 4;  // F32
// Sound queued ahead of the sink, so that a busy moment of the decoder does not starve it.
constexpr guint64 kAheadBytes = guint64{kOutputRate} * kFrameBytes / 10;  // 100 ms
// A file's end notice comes at least this long before its end is heard: about what closing
// the device and opening, prerolling and starting the next file take on a quiet machine,
// plus the period in which the sound server takes in sound.
constexpr GstClockTime kBaseLead = 40 * GST_MSECOND;
// The next file's first sound should reach the output with at least this much of the one
// before still to play, so that it reaches the sound server in time. When it comes later the
// lead grows by what was missing (up to kLongestLead); it shrinks again by half of what was
// left over while the next files come early.
constexpr GstClockTime kWantedSlack = 30 * GST_MSECOND;
constexpr GstClockTime kLongestLead = 300 * GST_MSECOND;
// The first advance after a stream opens is the slowest (measured: about 40 ms more on a busy
// machine), so a new stream starts with this much more lead.
constexpr GstClockTime kFirstAdvanceExtra = 15 * GST_MSECOND;
// The longest a file waits for the previous stream to play out before it opens a new one.
constexpr auto kPlayOutWait = std::chrono::seconds(2);
// A stream that nothing feeds ends once it has played out what it holds and this long has
// passed: a file that starts feeding a little late still follows at once, after a silence as
// long as it was late, without the start-up of a new stream.
constexpr auto kIdleGrace = std::chrono::milliseconds(500);
// The watcher looks again at least this often, in case the output stalls or drifts.
constexpr auto kLongestWatch = std::chrono::milliseconds(200);
// A feed waiting for a stream to start looks this often whether a stop has made it pointless.
constexpr auto kStopPoll = std::chrono::milliseconds(50);
// A stream that ran dry goes on with its clock and drops as late any sound stamped before it:
// the first sound after a dry spell is stamped this far ahead of the clock (a silence first),
// as far as the output otherwise queues ahead.
constexpr GstClockTime kDryResume = 100 * GST_MSECOND;

GstClockTime FramesToTime(uint64_t frames) {
    return gst_util_uint64_scale(frames, GST_SECOND, kOutputRate);
}

uint64_t TimeToFrames(GstClockTime time) {
    return gst_util_uint64_scale(time, kOutputRate, GST_SECOND);
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
                     kAheadBytes, nullptr);
        gst_caps_unref(caps);
        gst_bin_add_many(GST_BIN(pipeline), source, convert, resample, sink, nullptr);
        if (!gst_element_link_many(source, convert, resample, sink, nullptr)) {
            phase = Phase::Failed;
        }
    }

    // Closed by the state worker (Retire), which holds the pipeline until then.
    ~Stream() {
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
    // When it was first seen to have played out all it holds, while nothing fed it. (Its
    // position stops at the end of its sound, so the grace is counted by the wall clock.)
    std::optional<std::chrono::steady_clock::time_point> dryAt;
};

AudioOutput::AudioOutput(std::string sinkDescription)
    : sinkDescription_(std::move(sinkDescription)), watcher_([this] { WatchLoop(); }) {}

AudioOutput::~AudioOutput() {
    Stop(std::chrono::steady_clock::now());  // the worker's end waits for the close
    {
        std::lock_guard guard(lock_);
        quitting_ = true;
    }
    watchesChanged_.notify_all();
    watcher_.join();
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
    Retire(std::move(failed));
    watchesChanged_.notify_all();  // the stream may now be idle
}

bool AudioOutput::Prepare(Deadline deadline) {
    std::unique_lock guard(lock_);
    if (current_ != nullptr && current_->phase == Stream::Phase::Ending) {
        return true;  // the first sound waits for it to play out, then opens a new stream
    }
    return OpenStream(guard, true, deadline) == GST_FLOW_OK;
}

GstClockTime AudioOutput::NoticeLead() {
    std::lock_guard guard(lock_);
    return kBaseLead + extraLead_;
}

void AudioOutput::AdaptLead(GstClockTime slack) {
    if (slack < kWantedSlack) {
        extraLead_ = std::min(extraLead_ + (kWantedSlack - slack), kLongestLead - kBaseLead);
    } else {
        extraLead_ -= std::min(extraLead_, (slack - kWantedSlack) / 2);
    }
}

GstFlowReturn AudioOutput::Push(GstBuffer* buffer, uint64_t feed, bool first, OutputTime& at) {
    GstElement* source = nullptr;
    const std::optional<OutputTime> played = first ? Played() : std::nullopt;
    {
        std::unique_lock guard(lock_);
        if (first && current_ != nullptr) {
            // How much of the sound before was still to play when this feed's first came.
            const Stream& stream = *current_;
            const GstClockTime queued = FramesToTime(stream.frames);
            if (stream.phase == Stream::Phase::Ending) {
                AdaptLead(0);  // too late: the idle stream was already ending
            } else if (stream.phase == Stream::Phase::Live && stream.frames > 0 && played &&
                       played->stream == stream.number) {
                AdaptLead(queued > played->time ? queued - played->time : 0);
                const GstClockTime now = gst_element_get_current_running_time(stream.pipeline);
                if (played->time >= queued && GST_CLOCK_TIME_IS_VALID(now)) {
                    current_->frames = std::max(stream.frames, TimeToFrames(now + kDryResume));
                }
            }
        }
        // A stream playing out its end takes nothing more: the new sound goes to a new stream
        // once that one is done.
        changed_.wait_for(guard, kPlayOutWait, [this] {
            return current_ == nullptr || current_->phase != Stream::Phase::Ending;
        });
        GstFlowReturn opened =
            feed == stops_
                ? OpenStream(guard, false, std::chrono::steady_clock::now() + kLongestWait)
                : GST_FLOW_FLUSHING;
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
        current_->dryAt.reset();
        source = GST_ELEMENT(gst_object_ref(current_->source));
    }
    GstFlowReturn flow = GST_FLOW_ERROR;
    g_signal_emit_by_name(source, "push-buffer", buffer, &flow);
    gst_buffer_unref(buffer);
    gst_object_unref(source);
    std::lock_guard guard(lock_);
    if (feed != stops_) {
        return GST_FLOW_FLUSHING;  // stopped meanwhile: what went in is not heard
    }
    if (flow == GST_FLOW_FLUSHING && current_ != nullptr && current_->number == at.stream &&
        current_->phase == Stream::Phase::Failed) {
        flow = GST_FLOW_ERROR;  // waiting for room in a stream that failed ends in its flush
    }
    return flow;
}

// Makes sure a live stream takes sound: closes one that has played out (or failed, when a new
// play asks) and opens a new one. Called with the lock held; releases it meanwhile.
GstFlowReturn AudioOutput::OpenStream(std::unique_lock<std::mutex>& guard, bool replaceFailed,
                                      Deadline deadline) {
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
        Retire(std::move(done));  // the new stream starts once it is closed
        guard.lock();
        if (current_ != nullptr) {
            return current_->phase == Stream::Phase::Live ? GST_FLOW_OK : GST_FLOW_ERROR;
        }
    }
    auto stream = std::make_unique<Stream>(*this, ++lastStream_, sinkDescription_);
    extraLead_ = std::max(extraLead_, kFirstAdvanceExtra);
    const uint64_t number = stream->number;
    const std::shared_ptr<StateWorker::Change> start =
        stream->phase == Stream::Phase::Live ? worker_.Queue(stream->pipeline, GST_STATE_PLAYING)
                                             : nullptr;
    current_ = std::move(stream);
    // Waited for outside the lock: the state change may report to the bus handler, which takes
    // it. A start that hangs is given up: the stream fails, and closes once nothing feeds it.
    const uint64_t stops = stops_;
    guard.unlock();
    const bool started = start != nullptr && AwaitStart(start, deadline, stops);
    guard.lock();
    if (!started && current_ != nullptr && current_->number == number) {
        current_->phase = Stream::Phase::Failed;
    }
    return started ? GST_FLOW_OK : GST_FLOW_ERROR;
}

bool AudioOutput::AwaitStart(const std::shared_ptr<StateWorker::Change>& start, Deadline deadline,
                             uint64_t stops) {
    for (;;) {
        const Deadline step = std::min(deadline, std::chrono::steady_clock::now() + kStopPoll);
        if (std::optional<GstStateChangeReturn> result = worker_.Wait(start, step)) {
            return *result != GST_STATE_CHANGE_FAILURE;
        }
        std::lock_guard guard(lock_);
        if (step >= deadline || stops_ != stops) {
            return false;
        }
    }
}

std::shared_ptr<StateWorker::Change> AudioOutput::Retire(std::unique_ptr<Stream> stream) {
    if (stream == nullptr) {
        return nullptr;
    }
    // A push waiting for room in it returns at once. (A flush would wait for the sink, which
    // waits for the sound server.)
    g_object_set(stream->source, "max-bytes", G_MAXUINT64, nullptr);
    GstElement* pipeline = GST_ELEMENT(gst_object_ref(stream->pipeline));
    stream.reset();  // no more messages from it
    std::shared_ptr<StateWorker::Change> closed = worker_.Queue(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return closed;
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

bool AudioOutput::Stop(Deadline deadline) {
    std::unique_ptr<Stream> stopped;
    {
        std::lock_guard guard(lock_);
        ++stops_;
        stopped = std::move(current_);
        if (stopped != nullptr) {
            std::erase_if(watches_, [&](const auto& watch) {
                return watch.second.at.stream == stopped->number;
            });
        }
    }
    const std::shared_ptr<StateWorker::Change> closed = Retire(std::move(stopped));
    changed_.notify_all();
    return closed == nullptr || worker_.Wait(closed, deadline).has_value();
}

bool AudioOutput::Hold(bool held, Deadline deadline) {
    GstElement* pipeline = nullptr;
    {
        std::lock_guard guard(lock_);
        if (current_ == nullptr || current_->phase == Stream::Phase::Failed) {
            return true;  // nothing sounds
        }
        pipeline = GST_ELEMENT(gst_object_ref(current_->pipeline));
    }
    const std::shared_ptr<StateWorker::Change> change =
        worker_.Queue(pipeline, held ? GST_STATE_PAUSED : GST_STATE_PLAYING);
    gst_object_unref(pipeline);
    const std::optional<GstStateChangeReturn> result = worker_.Wait(change, deadline);
    return result.has_value() && *result != GST_STATE_CHANGE_FAILURE;
}

uint64_t AudioOutput::Watch(OutputTime at, std::function<void(bool reached)> reached) {
    uint64_t ticket = 0;
    {
        std::lock_guard guard(lock_);
        ticket = ++lastWatch_;
        watches_.emplace(ticket, PendingWatch{at, std::move(reached)});
    }
    watchesChanged_.notify_all();
    return ticket;
}

void AudioOutput::Unwatch(uint64_t ticket) {
    std::lock_guard guard(lock_);
    watches_.erase(ticket);
}

void AudioOutput::WatchLoop() {
    std::unique_lock guard(lock_);
    while (!quitting_) {
        const bool idle =
            feeding_ == 0 && current_ != nullptr && current_->phase == Stream::Phase::Live;
        if (watches_.empty() && !idle) {
            watchesChanged_.wait(guard);
            continue;
        }
        guard.unlock();
        const std::optional<OutputTime> played = Played();
        guard.lock();
        std::optional<GstClockTime> next = FireDue(guard, played);
        if (std::optional<GstClockTime> idleLeft = EndIdleStream(played)) {
            next = std::min(next.value_or(*idleLeft), *idleLeft);
        }
        const auto wait = std::chrono::nanoseconds(next.value_or(0));
        watchesChanged_.wait_for(guard, std::clamp<std::chrono::nanoseconds>(
                                            wait, std::chrono::milliseconds(1), kLongestWatch));
    }
}

std::optional<GstClockTime> AudioOutput::FireDue(std::unique_lock<std::mutex>& guard,
                                                 const std::optional<OutputTime>& played) {
    std::vector<std::pair<std::function<void(bool)>, bool>> due;
    std::optional<GstClockTime> next;
    for (auto watch = watches_.begin(); watch != watches_.end();) {
        const OutputTime at = watch->second.at;
        const bool current = current_ != nullptr && current_->number == at.stream;
        const bool failed = current && current_->phase == Stream::Phase::Failed;
        // A stream that is gone without a stop failed (a stopped one takes its watches along).
        const bool reached =
            current && !failed && played && played->stream == at.stream && played->time >= at.time;
        if (reached || failed || !current) {
            due.emplace_back(std::move(watch->second.reached), reached);
            watch = watches_.erase(watch);
            continue;
        }
        if (played && played->stream == at.stream) {
            next = std::min(next.value_or(at.time - played->time), at.time - played->time);
        }
        ++watch;
    }
    if (!due.empty()) {
        guard.unlock();
        for (auto& [call, reached] : due) {
            call(reached);
        }
        guard.lock();
    }
    return next;
}

// Ends a live stream that nothing feeds once it has played out what it holds and the grace
// has passed; how long until then otherwise. Called with the lock held.
std::optional<GstClockTime> AudioOutput::EndIdleStream(const std::optional<OutputTime>& played) {
    Stream* stream = current_.get();
    if (feeding_ > 0 || stream == nullptr || stream->phase != Stream::Phase::Live || !played ||
        played->stream != stream->number) {
        return std::nullopt;
    }
    const GstClockTime end = FramesToTime(stream->frames);
    if (played->time < end) {
        return end - played->time;
    }
    const auto now = std::chrono::steady_clock::now();
    const auto dry = now - stream->dryAt.value_or(now);
    if (!stream->dryAt) {
        stream->dryAt = now;
    }
    if (dry < kIdleGrace) {
        return std::chrono::nanoseconds(kIdleGrace - dry).count();
    }
    stream->phase = Stream::Phase::Ending;
    GstFlowReturn flow = GST_FLOW_OK;
    // Queued behind what the stream holds: it plays out, then the stream closes (Finish).
    g_signal_emit_by_name(stream->source, "end-of-stream", &flow);
    return std::nullopt;
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
    // Nothing else reads the bus; dropping keeps it from filling up. A dropped message is ours
    // to release: it holds its source element, and with it the whole stream.
    gst_message_unref(message);
    return GST_BUS_DROP;
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
    watchesChanged_.notify_all();
}

}  // namespace tav::gst
