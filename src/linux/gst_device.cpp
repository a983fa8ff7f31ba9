#include "linux/gst_device.h"

#include <gst/gst.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

namespace tav {

namespace {

// Error codes, numbered as the multimedia interface numbers them.
constexpr uint32_t kErrInvalidDeviceId = 257;
constexpr uint32_t kErrDeviceFailed = 262;
constexpr uint32_t kErrFileNotFound = 275;
constexpr uint32_t kErrInvalidFile = 296;

// Prerolling, stopping and seeking wait for the pipeline at most this long.
constexpr auto kStateTimeout = std::chrono::seconds(5);

constexpr const char* kDefaultSink = "autoaudiosink";

// What the bus reports, shared between the device (GUI thread) and the bus handler, which
// runs on GStreamer's threads. The handler holds its own reference: a message being posted
// while the pipeline is torn down still finds this alive.
struct BusState {
    BusState(EventPoster& p, uint32_t deviceId) : poster(p), id(deviceId) {}

    EventPoster& poster;
    const uint32_t id;
    std::mutex lock;
    std::condition_variable changed;
    bool settled = false;      // the last asynchronous state change has completed
    bool failed = false;       // a stream error was reported
    bool atEnd = false;        // the stream played to its end
    bool playPending = false;  // a play waits for its completion notice

    void PostNotice(NoticeKind kind) const {
        poster.Post(Message{MM_MCINOTIFY_, kind, static_cast<intptr_t>(id)});
    }

    // Ends the pending play, if any, with the given notice.
    void EndPlay(NoticeKind kind) {
        bool hadPlay = false;
        {
            std::lock_guard guard(lock);
            hadPlay = std::exchange(playPending, false);
        }
        if (hadPlay) {
            PostNotice(kind);
        }
    }

    void OnEnd() {
        {
            std::lock_guard guard(lock);
            atEnd = true;
        }
        EndPlay(NotifySuccessful);
    }

    void OnError() {
        {
            std::lock_guard guard(lock);
            failed = true;
        }
        changed.notify_all();
        EndPlay(NotifyFailure);
    }

    void OnSettled() {
        {
            std::lock_guard guard(lock);
            settled = true;
        }
        changed.notify_all();
    }
};

GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
    BusState& state = **static_cast<std::shared_ptr<BusState>*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        state.OnEnd();
        break;
    case GST_MESSAGE_ERROR:
        state.OnError();
        break;
    case GST_MESSAGE_ASYNC_DONE:
        state.OnSettled();
        break;
    default:
        break;
    }
    // Nothing reads the bus otherwise; dropping keeps it from filling up.
    return GST_BUS_DROP;
}

void ReleaseBusState(gpointer data) {
    delete static_cast<std::shared_ptr<BusState>*>(data);
}

uint32_t CheckFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return kErrFileNotFound;
    }
    return S_ISREG(info.st_mode) ? 0 : kErrInvalidFile;
}

// One open device: uridecodebin ! audioconvert ! audioresample ! sink.
class DevicePipeline {
public:
    DevicePipeline(EventPoster& poster, uint32_t id, const std::string& sinkDescription)
        : state_(std::make_shared<BusState>(poster, id)) {
        pipeline_ = gst_pipeline_new(nullptr);
        GstBus* bus = gst_element_get_bus(pipeline_);
        gst_bus_set_sync_handler(bus, OnBusMessage, new std::shared_ptr<BusState>(state_),
                                 ReleaseBusState);
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
        g_signal_connect(source_, "pad-added", G_CALLBACK(OnPadAdded), this);
        g_signal_connect(source_, "no-more-pads", G_CALLBACK(OnNoMorePads), this);
    }

    ~DevicePipeline() {
        EndPlay(NotifyAborted);
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(pipeline_);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(pipeline_);
    }

    DevicePipeline(const DevicePipeline&) = delete;
    DevicePipeline& operator=(const DevicePipeline&) = delete;

    uint32_t Preroll(const std::string& path) {
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

    uint32_t Play() {
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
            EndPlay(NotifySuccessful);
            return 0;
        }
        if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            EndPlay(NotifyFailure);
            return kErrDeviceFailed;
        }
        return 0;
    }

    uint32_t Stop() {
        EndPlay(NotifyAborted);
        if (Failed()) {
            return 0;  // a broken stream is silent already
        }
        return ChangeState(GST_STATE_PAUSED) ? 0 : kErrDeviceFailed;
    }

    uint32_t Seek(uint32_t toMs) {
        EndPlay(NotifyAborted);
        if (Failed() || !ChangeState(GST_STATE_PAUSED)) {
            return kErrDeviceFailed;
        }
        gint64 target = static_cast<gint64>(toMs) * GST_MSECOND;
        if (std::optional<uint32_t> length = Query(StatusItem::Length)) {
            target = std::min(target, static_cast<gint64>(*length) * GST_MSECOND);
        }
        ResetSettled();
        {
            std::lock_guard guard(state_->lock);
            state_->atEnd = false;
        }
        const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
        if (!gst_element_seek_simple(pipeline_, GST_FORMAT_TIME, flags, target)) {
            return kErrDeviceFailed;
        }
        return WaitSettled() ? 0 : kErrDeviceFailed;
    }

    std::optional<uint32_t> Query(StatusItem item) const {
        gint64 nanoseconds = 0;
        const bool known =
            item == StatusItem::Length
                ? gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &nanoseconds)
                : gst_element_query_position(pipeline_, GST_FORMAT_TIME, &nanoseconds);
        if (!known || nanoseconds < 0) {
            return std::nullopt;
        }
        return static_cast<uint32_t>(nanoseconds / GST_MSECOND);
    }

private:
    // Links the decoder's first audio output to the converter.
    static void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
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
    static void OnNoMorePads(GstElement*, gpointer data) {
        auto& self = *static_cast<DevicePipeline*>(data);
        GstPad* sinkPad = self.ConverterInput();
        if (!gst_pad_is_linked(sinkPad)) {
            self.state_->OnError();
        }
        gst_object_unref(sinkPad);
    }

    GstPad* ConverterInput() const { return gst_element_get_static_pad(convert_, "sink"); }

    void EndPlay(NoticeKind kind) { state_->EndPlay(kind); }

    bool Failed() const {
        std::lock_guard guard(state_->lock);
        return state_->failed;
    }

    void ResetSettled() {
        std::lock_guard guard(state_->lock);
        state_->settled = false;
    }

    bool WaitSettled() {
        std::unique_lock guard(state_->lock);
        state_->changed.wait_for(guard, kStateTimeout,
                                 [this] { return state_->settled || state_->failed; });
        return state_->settled && !state_->failed;
    }

    // Changes the pipeline's state and waits until it has been reached.
    bool ChangeState(GstState target) {
        ResetSettled();
        switch (gst_element_set_state(pipeline_, target)) {
        case GST_STATE_CHANGE_FAILURE:
            return false;
        case GST_STATE_CHANGE_ASYNC:
            return WaitSettled();
        default:
            return !Failed();
        }
    }

    std::shared_ptr<BusState> state_;
    GstElement* pipeline_ = nullptr;
    GstElement* source_ = nullptr;
    GstElement* convert_ = nullptr;
    bool complete_ = false;
};

}  // namespace

struct GstMediaDevice::Impl {
    Impl(EventPoster& p, std::string sink) : poster(p), sinkDescription(std::move(sink)) {}

    DevicePipeline* Find(uint32_t id) {
        auto found = devices.find(id);
        return found == devices.end() ? nullptr : found->second.get();
    }

    uint32_t NextId() {
        do {
            ++lastId;
        } while (lastId == 0 || devices.count(lastId) != 0);
        return lastId;
    }

    EventPoster& poster;
    const std::string sinkDescription;
    std::map<uint32_t, std::unique_ptr<DevicePipeline>> devices;
    uint32_t lastId = 0;
};

GstMediaDevice::GstMediaDevice(EventPoster& poster) : GstMediaDevice(poster, kDefaultSink) {}

GstMediaDevice::GstMediaDevice(EventPoster& poster, const std::string& sinkDescription)
    : impl_(std::make_unique<Impl>(poster, sinkDescription)) {
    gst_init(nullptr, nullptr);
}

GstMediaDevice::~GstMediaDevice() = default;

uint32_t GstMediaDevice::Open(const std::string& path, uint32_t& deviceId) {
    if (uint32_t error = CheckFile(path)) {
        return error;
    }
    const uint32_t id = impl_->NextId();
    auto pipeline = std::make_unique<DevicePipeline>(impl_->poster, id, impl_->sinkDescription);
    if (uint32_t error = pipeline->Preroll(path)) {
        return error;
    }
    impl_->devices.emplace(id, std::move(pipeline));
    deviceId = id;
    return 0;
}

uint32_t GstMediaDevice::Play(uint32_t deviceId) {
    DevicePipeline* pipeline = impl_->Find(deviceId);
    return pipeline == nullptr ? kErrInvalidDeviceId : pipeline->Play();
}

uint32_t GstMediaDevice::Stop(uint32_t deviceId) {
    DevicePipeline* pipeline = impl_->Find(deviceId);
    return pipeline == nullptr ? kErrInvalidDeviceId : pipeline->Stop();
}

uint32_t GstMediaDevice::Close(uint32_t deviceId) {
    return impl_->devices.erase(deviceId) == 0 ? kErrInvalidDeviceId : 0;
}

uint32_t GstMediaDevice::SetTimeFormatMilliseconds(uint32_t deviceId) {
    // Milliseconds are the only format this device speaks.
    return impl_->Find(deviceId) == nullptr ? kErrInvalidDeviceId : 0;
}

uint32_t GstMediaDevice::Status(uint32_t deviceId, StatusItem item, uint32_t& value) {
    DevicePipeline* pipeline = impl_->Find(deviceId);
    if (pipeline == nullptr) {
        return kErrInvalidDeviceId;
    }
    std::optional<uint32_t> answer = pipeline->Query(item);
    if (!answer) {
        return kErrDeviceFailed;
    }
    value = *answer;
    return 0;
}

uint32_t GstMediaDevice::Seek(uint32_t deviceId, uint32_t toMs) {
    DevicePipeline* pipeline = impl_->Find(deviceId);
    return pipeline == nullptr ? kErrInvalidDeviceId : pipeline->Seek(toMs);
}

}  // namespace tav
