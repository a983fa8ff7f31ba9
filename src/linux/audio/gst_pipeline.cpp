#include "linux/audio/gst_pipeline.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <utility>

#include "linux/audio/gst_bus_state.h"
#include "linux/audio/riff_mpeg.h"

namespace tav::gst {

namespace {

// How long an open waits for the count of an MPEG file's frames (about 20 ms for 10 MB).
constexpr std::chrono::milliseconds kLengthWait{80};

// When a call that began now gives up waiting for the pipeline or the output.
Deadline CallDeadline() {
    return std::chrono::steady_clock::now() + kLongestWait;
}

using SharedState = std::shared_ptr<BusState>;

BusState& StateOf(gpointer data) {
    return **static_cast<SharedState*>(data);
}

void ReleaseState(gpointer data) {
    delete static_cast<SharedState*>(data);
}

GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
    const SharedState& shared = *static_cast<SharedState*>(data);
    BusState& state = *shared;
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        // The file stays among the output's feeds until it is closed, stopped or sought, so
        // that the output keeps its stream open for the next file.
        state.DecodedAll(shared);
        break;
    case GST_MESSAGE_ERROR:
        state.Set(&BusState::failed, true);
        state.StopFeeding();
        state.EndPlay(NotifyFailure);
        break;
    case GST_MESSAGE_ASYNC_DONE:
        state.Set(&BusState::settled, true);
        break;
    default:
        break;
    }
    // Nothing else reads the bus; dropping keeps it from filling up. A dropped message is ours
    // to release: it holds its source element, and with it the whole pipeline.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

// Hands each decoded buffer to the output; blocks while the output holds enough.
GstFlowReturn OnNewSample(GstElement* sink, gpointer data) {
    BusState& state = StateOf(data);
    GstSample* sample = nullptr;
    g_signal_emit_by_name(sink, "pull-sample", &sample);
    if (sample == nullptr) {
        return GST_FLOW_FLUSHING;
    }
    GstBuffer* buffer = gst_buffer_ref(gst_sample_get_buffer(sample));
    gst_sample_unref(sample);
    uint64_t feed = 0;
    bool first = false;
    {
        std::lock_guard guard(state.lock);
        if (!state.feeding) {
            gst_buffer_unref(buffer);
            return GST_FLOW_FLUSHING;
        }
        feed = state.feed;
        first = !state.fedFrom;
    }
    OutputTime at;
    const GstClockTime duration = GST_BUFFER_DURATION(buffer);
    const GstFlowReturn flow = state.output->Push(buffer, feed, first, at);
    if (flow == GST_FLOW_ERROR) {
        state.Set(&BusState::outputFailed, true);
    }
    if (flow == GST_FLOW_OK) {
        std::lock_guard guard(state.lock);
        if (!state.fedFrom) {
            state.fedFrom = at;
        }
        if (GST_CLOCK_TIME_IS_VALID(duration)) {
            state.fed += duration;
        }
    }
    return flow;
}

}  // namespace

DevicePipeline::DevicePipeline(EventPoster& poster, uint32_t id, AudioOutput& output)
    : state_(std::make_shared<BusState>(poster, id, output)) {
    pipeline_ = gst_pipeline_new(nullptr);
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, OnBusMessage, new SharedState(state_), ReleaseState);
    gst_object_unref(bus);

    source_ = gst_element_factory_make("uridecodebin", nullptr);
    convert_ = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (source_ == nullptr || convert_ == nullptr || resample == nullptr || sink == nullptr) {
        return;
    }
    GstCaps* caps = gst_caps_from_string(kOutputCaps);
    // Paced by the output, not by a clock; one buffer at a time.
    g_object_set(sink, "caps", caps, "sync", FALSE, "max-buffers", 1, "emit-signals", TRUE,
                 nullptr);
    gst_caps_unref(caps);
    g_signal_connect_data(
        sink, "new-sample", G_CALLBACK(OnNewSample), new SharedState(state_),
        [](gpointer data, GClosure*) { ReleaseState(data); }, GConnectFlags{});
    gst_bin_add_many(GST_BIN(pipeline_), source_, convert_, resample, sink, nullptr);
    complete_ = gst_element_link_many(convert_, resample, sink, nullptr);
    g_signal_connect(source_, "pad-added", G_CALLBACK(OnPadAdded), this);
    g_signal_connect(source_, "no-more-pads", G_CALLBACK(OnNoMorePads), this);
}

DevicePipeline::~DevicePipeline() {
    Release(CallDeadline());
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(pipeline_);
}

uint32_t DevicePipeline::Preroll(const std::string& path) {
    if (!complete_) {
        return kErrDeviceFailed;
    }
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    if (uri == nullptr) {
        return kErrInvalidFile;
    }
    g_object_set(source_, "uri", uri, nullptr);
    HelpWavParser(source_, path);
    g_free(uri);
    if (!ChangeState(GST_STATE_PAUSED, CallDeadline())) {
        return kErrInvalidFile;
    }
    if (DecodesMpegAudio(pipeline_)) {
        // A Xing header's length is known at once: the count then only checks it, unwaited,
        // so that the next file of a piece opens as fast as ever.
        const bool headerLength = Duration().has_value();
        mpegLength_ = std::make_unique<MpegLength>(path);
        if (!headerLength) {
            mpegLength_->Wait(kLengthWait);  // a long file starts with the estimate
        }
    }
    return 0;
}

uint32_t DevicePipeline::Play() {
    const Deadline deadline = CallDeadline();
    if (std::exchange(held_, false)) {
        const bool resumed = state_->output->Hold(false, deadline);
        if (state_->Get(&BusState::playPending)) {
            return resumed ? 0 : kErrDeviceFailed;  // the held play goes on, its end watch too
        }
    }
    if (state_->Get(&BusState::outputFailed)) {
        // The output failed under this file (the sound server went away): start over where
        // the listener was, on a new output stream.
        if (uint32_t error = SilenceAndSeek(Heard(), deadline)) {
            return error;
        }
    }
    state_->NewRun();
    bool atEnd = false;
    bool endHeard = false;
    bool superseded = false;
    {
        std::lock_guard guard(state_->lock);
        if (state_->failed) {
            return kErrDeviceFailed;
        }
        superseded = std::exchange(state_->playPending, true);
        atEnd = state_->atEnd;
        endHeard = state_->endHeard;
    }
    if (superseded) {
        state_->PostNotice(NotifySuperseded);
    }
    if (atEnd && !endHeard) {
        state_->DecodedAll(state_);  // the end is still to be heard: this play waits for it
        return 0;
    }
    if (atEnd) {
        // Playing from the end finishes at once, as a play that reaches it does.
        state_->EndPlay(NotifySuccessful);
        return 0;
    }
    state_->StartFeeding();
    if (!state_->output->Prepare(deadline) ||
        gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        // A play that cannot start is refused; nothing is pending, so no notice follows.
        state_->StopFeeding();
        state_->Set(&BusState::playPending, false);
        return kErrDeviceFailed;
    }
    return 0;
}

uint32_t DevicePipeline::Pause() {
    if (held_ || !state_->Get(&BusState::playPending) || Failed()) {
        return 0;
    }
    if (!state_->output->Hold(true, CallDeadline())) {
        return kErrDeviceFailed;
    }
    held_ = true;
    return 0;
}

uint32_t DevicePipeline::Stop() {
    DropHold(CallDeadline());
    state_->NewRun();
    state_->EndPlay(NotifyAborted);
    if (Failed()) {
        state_->StopFeeding();
        return 0;  // a broken stream is silent already
    }
    // The decoder has run ahead of the listener: it goes back to what was heard.
    return SilenceAndSeek(Heard(), CallDeadline());
}

uint32_t DevicePipeline::Seek(uint32_t toMs) {
    const Deadline deadline = CallDeadline();
    DropHold(deadline);
    state_->NewRun();
    state_->EndPlay(NotifyAborted);
    if (Failed() && !state_->Get(&BusState::outputFailed)) {
        return kErrDeviceFailed;
    }
    GstClockTime target = static_cast<GstClockTime>(toMs) * GST_MSECOND;
    if (std::optional<uint32_t> length = Query(StatusItem::Length)) {
        target = std::min(target, static_cast<GstClockTime>(*length) * GST_MSECOND);
    }
    return SilenceAndSeek(target, deadline);
}

std::optional<uint32_t> DevicePipeline::Query(StatusItem item) const {
    const std::optional<GstClockTime> length = Duration();
    if (item == StatusItem::Position) {
        // A play that reached the end stands at the length, as the end notice says.
        const bool ended = state_->Get(&BusState::endHeard);
        return static_cast<uint32_t>((ended && length ? *length : Heard()) / GST_MSECOND);
    }
    if (!length) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(*length / GST_MSECOND);
}

std::optional<GstClockTime> DevicePipeline::Duration() const {
    if (mpegLength_ != nullptr) {
        if (std::optional<GstClockTime> counted = mpegLength_->Duration()) {
            return counted;
        }
    }
    gint64 nanoseconds = 0;
    if (gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &nanoseconds) && nanoseconds >= 0) {
        return static_cast<GstClockTime>(nanoseconds);
    }
    return std::nullopt;
}

bool DevicePipeline::Close() {
    return Release(CallDeadline());
}

// Ends any play; a file whose end was reached leaves its last sound to the output, one that
// is still playing is silenced. False when the output was not silenced by `deadline`.
bool DevicePipeline::Release(Deadline deadline) {
    const bool dropped = DropHold(deadline);
    state_->NewRun();
    state_->EndPlay(NotifyAborted);
    // Stopping the output also releases the streaming thread, which may wait for room in it.
    return dropped && (!state_->StopFeeding() || state_->Get(&BusState::endHeard) ||
                       state_->output->Stop(deadline));
}

bool DevicePipeline::DropHold(Deadline deadline) {
    return !std::exchange(held_, false) || state_->output->Stop(deadline);
}

// Links the decoder's first audio output to the converter.
void DevicePipeline::OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
    GstPad* sinkPad = static_cast<DevicePipeline*>(data)->ConverterInput();
    GstCaps* caps = gst_pad_query_caps(pad, nullptr);
    const GstStructure* first =
        gst_caps_get_size(caps) > 0 ? gst_caps_get_structure(caps, 0) : nullptr;
    if (first != nullptr && g_str_has_prefix(gst_structure_get_name(first), "audio/") &&
        !gst_pad_is_linked(sinkPad)) {
        gst_pad_link(pad, sinkPad);
    }
    gst_caps_unref(caps);
    gst_object_unref(sinkPad);
}

// A stream without audio would never preroll; report it now instead of at the time-out.
void DevicePipeline::OnNoMorePads(GstElement*, gpointer data) {
    auto& self = *static_cast<DevicePipeline*>(data);
    GstPad* sinkPad = self.ConverterInput();
    if (!gst_pad_is_linked(sinkPad)) {
        self.state_->Set(&BusState::failed, true);
    }
    gst_object_unref(sinkPad);
}

GstPad* DevicePipeline::ConverterInput() const {
    return gst_element_get_static_pad(convert_, "sink");
}

bool DevicePipeline::Failed() const {
    return state_->Get(&BusState::failed);
}

GstClockTime DevicePipeline::Heard() const {
    GstClockTime base = 0;
    GstClockTime fed = 0;
    std::optional<OutputTime> from;
    {
        std::lock_guard guard(state_->lock);
        base = state_->base;
        fed = state_->fed;
        from = state_->fedFrom;
    }
    if (!from) {
        return base;
    }
    const std::optional<OutputTime> played = state_->output->Played();
    if (!played || played->stream != from->stream) {
        return base + fed;  // that stream has played out
    }
    const GstClockTime heard = played->time > from->time ? played->time - from->time : 0;
    return base + std::min(heard, fed);
}

// Silences the output and makes the file stand, paused, at `target`. Fails when either has
// not happened by `deadline`; the file is sought even when the output is slow to close.
uint32_t DevicePipeline::SilenceAndSeek(GstClockTime target, Deadline deadline) {
    state_->StopFeeding();
    const bool silenced = state_->output->Stop(deadline);
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    {
        std::lock_guard guard(state_->lock);
        if (std::exchange(state_->outputFailed, false)) {
            state_->failed = false;  // the file itself is sound: the flushing seek restarts it
        }
        state_->settled = false;
        state_->atEnd = false;
        state_->endHeard = false;
        state_->base = target;
        state_->fedFrom.reset();
        state_->fed = 0;
    }
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek_simple(pipeline_, GST_FORMAT_TIME, flags, static_cast<gint64>(target))) {
        return kErrDeviceFailed;
    }
    return WaitSettled(deadline) && silenced ? 0 : kErrDeviceFailed;
}

// Changes the pipeline's state and waits until it has been reached.
bool DevicePipeline::ChangeState(GstState target, Deadline deadline) {
    state_->Set(&BusState::settled, false);
    switch (gst_element_set_state(pipeline_, target)) {
    case GST_STATE_CHANGE_FAILURE:
        return false;
    case GST_STATE_CHANGE_ASYNC:
        return WaitSettled(deadline);
    default:
        return !Failed();
    }
}

bool DevicePipeline::WaitSettled(Deadline deadline) {
    std::unique_lock guard(state_->lock);
    state_->changed.wait_until(guard, deadline,
                               [this] { return state_->settled || state_->failed; });
    return state_->settled && !state_->failed;
}

}  // namespace tav::gst
