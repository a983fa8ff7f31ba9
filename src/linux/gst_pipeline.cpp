#include "linux/gst_pipeline.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace tav::gst {

namespace {

// Prerolling, stopping and seeking wait for the pipeline at most this long.
constexpr auto kStateTimeout = std::chrono::seconds(5);

}  // namespace

// What the pipeline reports, shared between the device (GUI thread) and GStreamer's threads.
// The bus handler and the sink probe hold their own references, so a message posted while the
// pipeline is torn down still finds this alive.
struct BusState {
    BusState(EventPoster& p, uint32_t deviceId, std::shared_ptr<Handover> h)
        : poster(p), id(deviceId), handover(std::move(h)) {}

    EventPoster& poster;
    const uint32_t id;
    const std::shared_ptr<Handover> handover;
    GstElement* pipeline = nullptr;  // not owned; only compared
    mutable std::mutex lock;
    std::condition_variable changed;
    bool settled = false;      // the last asynchronous state change has completed
    bool failed = false;       // a stream error was reported
    bool atEnd = false;        // the last data has reached the sink
    bool soundEnded = false;   // ... and the sink has played it out (set under the handover lock)
    bool playPending = false;  // a play waits for its completion notice

    void PostNotice(NoticeKind kind) const {
        poster.Post(Message{MM_MCINOTIFY_, kind, static_cast<intptr_t>(id)});
    }

    // Ends the pending play, if any, with the given notice; true when there was one.
    bool EndPlay(NoticeKind kind) {
        bool hadPlay = false;
        {
            std::lock_guard guard(lock);
            hadPlay = std::exchange(playPending, false);
        }
        if (hadPlay) {
            PostNotice(kind);
        }
        return hadPlay;
    }

    // Ends the pending play with success, marking the end; `always` marks it without a play.
    void ReachEnd(bool always) {
        bool hadPlay = false;
        {
            std::lock_guard guard(lock);
            hadPlay = std::exchange(playPending, false);
            atEnd = atEnd || hadPlay || always;
        }
        if (hadPlay) {
            PostNotice(NotifySuccessful);
        }
    }

    void Set(bool BusState::*flag, bool value) {
        {
            std::lock_guard guard(lock);
            this->*flag = value;
        }
        changed.notify_all();
    }

    bool Get(bool BusState::*flag) const {
        std::lock_guard guard(lock);
        return this->*flag;
    }
};

namespace {

using SharedState = std::shared_ptr<BusState>;

BusState& StateOf(gpointer data) {
    return **static_cast<SharedState*>(data);
}

void ReleaseState(gpointer data) {
    delete static_cast<SharedState*>(data);
}

GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
    BusState& state = StateOf(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        // Normally the sink probe has reported the end already; not when the end of stream
        // passed it before the play began (a seek to the end, a file shorter than the buffers).
        state.ReachEnd(true);
        state.handover->OnSoundEnded(state);
        break;
    case GST_MESSAGE_ERROR:
        state.Set(&BusState::failed, true);
        state.EndPlay(NotifyFailure);
        state.handover->OnSoundEnded(state);
        break;
    case GST_MESSAGE_ASYNC_DONE:
        state.Set(&BusState::settled, true);
        break;
    default:
        break;
    }
    // Nothing else reads the bus; dropping keeps it from filling up.
    return GST_BUS_DROP;
}

// The end of stream entering the sink while playing: every sample has been handed to it, and
// what is left is the sink's buffer.
GstPadProbeReturn OnSinkEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS) {
        StateOf(data).ReachEnd(false);
    }
    return GST_PAD_PROBE_OK;
}

void DeleteTail(GstElement*, gpointer data) {
    delete static_cast<DevicePipeline*>(data);
}

}  // namespace

// --- Handover ---

Handover::~Handover() {
    CutTail();
    if (waiting_ != nullptr) {
        gst_object_unref(waiting_);
    }
}

bool Handover::TakeTail(std::unique_ptr<DevicePipeline>& pipeline) {
    std::unique_ptr<DevicePipeline> previous;
    std::lock_guard guard(lock_);
    // Read under the lock that the end-of-stream handler holds while it sets the flag.
    if (pipeline->SoundEnded()) {
        return false;
    }
    previous = std::exchange(tail_, std::move(pipeline));
    return true;
}

bool Handover::StartAfterTail(GstElement* pipeline) {
    {
        std::lock_guard guard(lock_);
        if (tail_ != nullptr) {
            if (waiting_ != nullptr) {
                gst_object_unref(waiting_);
            }
            waiting_ = GST_ELEMENT(gst_object_ref(pipeline));
            return true;
        }
    }
    return gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

void Handover::Cancel(GstElement* pipeline) {
    std::unique_lock guard(lock_);
    if (waiting_ == pipeline) {
        gst_object_unref(std::exchange(waiting_, nullptr));
    }
    started_.wait(guard, [&] { return starting_ != pipeline; });
}

void Handover::CutTail() {
    std::unique_ptr<DevicePipeline> tail;
    {
        std::lock_guard guard(lock_);
        tail = std::move(tail_);
    }
}

void Handover::OnSoundEnded(BusState& state) {
    std::unique_lock guard(lock_);
    state.Set(&BusState::soundEnded, true);
    if (tail_ == nullptr || tail_->Element() != state.pipeline) {
        return;
    }
    // The pipeline cannot be torn down from its own streaming thread.
    gst_element_call_async(state.pipeline, DeleteTail, tail_.release(), nullptr);
    GstElement* next = std::exchange(waiting_, nullptr);
    if (next == nullptr) {
        return;
    }
    // Cancel() waits while the start is under way, so a stop never comes before it.
    starting_ = next;
    guard.unlock();
    gst_element_set_state(next, GST_STATE_PLAYING);
    gst_object_unref(next);
    guard.lock();
    starting_ = nullptr;
    started_.notify_all();
}

// --- DevicePipeline ---

DevicePipeline::DevicePipeline(EventPoster& poster, uint32_t id, const std::string& sinkDescription,
                               std::shared_ptr<Handover> handover)
    : state_(std::make_shared<BusState>(poster, id, handover)), handover_(std::move(handover)) {
    pipeline_ = gst_pipeline_new(nullptr);
    state_->pipeline = pipeline_;
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, OnBusMessage, new SharedState(state_), ReleaseState);
    gst_object_unref(bus);

    source_ = gst_element_factory_make("uridecodebin", nullptr);
    convert_ = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* sink = gst_parse_bin_from_description(sinkDescription.c_str(), TRUE, nullptr);
    if (source_ == nullptr || convert_ == nullptr || resample == nullptr || sink == nullptr) {
        return;
    }
    gst_bin_add_many(GST_BIN(pipeline_), source_, convert_, resample, sink, nullptr);
    complete_ = gst_element_link_many(convert_, resample, sink, nullptr);
    GstPad* sinkInput = gst_element_get_static_pad(sink, "sink");
    gst_pad_add_probe(sinkInput, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, OnSinkEvent,
                      new SharedState(state_), ReleaseState);
    gst_object_unref(sinkInput);
    g_signal_connect(source_, "pad-added", G_CALLBACK(OnPadAdded), this);
    g_signal_connect(source_, "no-more-pads", G_CALLBACK(OnNoMorePads), this);
}

DevicePipeline::~DevicePipeline() {
    state_->EndPlay(NotifyAborted);
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
    g_free(uri);
    return ChangeState(GST_STATE_PAUSED) ? 0 : kErrInvalidFile;
}

uint32_t DevicePipeline::Play() {
    bool atEnd = false;
    bool superseded = false;
    {
        std::lock_guard guard(state_->lock);
        if (state_->failed) {
            return kErrDeviceFailed;
        }
        superseded = std::exchange(state_->playPending, true);
        atEnd = state_->atEnd;
    }
    if (superseded) {
        state_->PostNotice(NotifySuperseded);
    }
    if (atEnd) {
        // Playing from the end finishes at once, as a play that reaches it does.
        state_->EndPlay(NotifySuccessful);
        return 0;
    }
    if (!handover_->StartAfterTail(pipeline_)) {
        state_->EndPlay(NotifyFailure);
        return kErrDeviceFailed;
    }
    return 0;
}

uint32_t DevicePipeline::Stop() {
    Interrupt();
    if (Failed()) {
        return 0;  // a broken stream is silent already
    }
    return ChangeState(GST_STATE_PAUSED) ? 0 : kErrDeviceFailed;
}

uint32_t DevicePipeline::Seek(uint32_t toMs) {
    Interrupt();
    if (Failed() || !ChangeState(GST_STATE_PAUSED)) {
        return kErrDeviceFailed;
    }
    gint64 target = static_cast<gint64>(toMs) * GST_MSECOND;
    if (std::optional<uint32_t> length = Query(StatusItem::Length)) {
        target = std::min(target, static_cast<gint64>(*length) * GST_MSECOND);
    }
    {
        // The flushing seek starts the stream over: its end is still to come.
        std::lock_guard guard(state_->lock);
        state_->settled = false;
        state_->atEnd = false;
        state_->soundEnded = false;
    }
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek_simple(pipeline_, GST_FORMAT_TIME, flags, target)) {
        return kErrDeviceFailed;
    }
    return WaitSettled() ? 0 : kErrDeviceFailed;
}

std::optional<uint32_t> DevicePipeline::Query(StatusItem item) const {
    gint64 nanoseconds = 0;
    const bool known = item == StatusItem::Length
                           ? gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &nanoseconds)
                           : gst_element_query_position(pipeline_, GST_FORMAT_TIME, &nanoseconds);
    if (!known || nanoseconds < 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(nanoseconds / GST_MSECOND);
}

void DevicePipeline::Close(std::unique_ptr<DevicePipeline> pipeline) {
    const bool interrupted = pipeline->state_->EndPlay(NotifyAborted);
    std::shared_ptr<Handover> handover = pipeline->handover_;
    handover->Cancel(pipeline->pipeline_);
    if (!interrupted && pipeline->EndedWhilePlaying() && handover->TakeTail(pipeline)) {
        return;
    }
    handover->CutTail();
}

bool DevicePipeline::SoundEnded() const {
    return state_->Get(&BusState::soundEnded);
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

bool DevicePipeline::EndedWhilePlaying() const {
    GstState current = GST_STATE_VOID_PENDING;
    gst_element_get_state(pipeline_, &current, nullptr, 0);
    return state_->Get(&BusState::atEnd) && current == GST_STATE_PLAYING;
}

// A stop or seek: ends the pending play, the wait for the tail and the tail itself.
void DevicePipeline::Interrupt() {
    state_->EndPlay(NotifyAborted);
    handover_->Cancel(pipeline_);
    handover_->CutTail();
}

// Changes the pipeline's state and waits until it has been reached.
bool DevicePipeline::ChangeState(GstState target) {
    state_->Set(&BusState::settled, false);
    switch (gst_element_set_state(pipeline_, target)) {
    case GST_STATE_CHANGE_FAILURE:
        return false;
    case GST_STATE_CHANGE_ASYNC:
        return WaitSettled();
    default:
        return !Failed();
    }
}

bool DevicePipeline::WaitSettled() {
    std::unique_lock guard(state_->lock);
    state_->changed.wait_for(guard, kStateTimeout,
                             [this] { return state_->settled || state_->failed; });
    return state_->settled && !state_->failed;
}

}  // namespace tav::gst
