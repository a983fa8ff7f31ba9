#include "linux/audio/gst_device.h"

#include <sys/stat.h>

#include "linux/audio/gst_pipeline.h"

namespace tav {

namespace {

constexpr const char* kDefaultSink = "autoaudiosink";

uint32_t CheckFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return gst::kErrFileNotFound;
    }
    return S_ISREG(info.st_mode) ? 0 : gst::kErrInvalidFile;
}

}  // namespace

struct GstMediaDevice::Impl {
    Impl(EventPoster& p, const std::string& sink) : poster(p), output(sink) {}

    gst::DevicePipeline* Find(uint32_t id) {
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
    gst::AudioOutput output;  // before the pipelines, which end first
    std::map<uint32_t, std::unique_ptr<gst::DevicePipeline>> devices;
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
    auto pipeline = std::make_unique<gst::DevicePipeline>(impl_->poster, id, impl_->output);
    if (uint32_t error = pipeline->Preroll(path)) {
        return error;
    }
    impl_->devices.emplace(id, std::move(pipeline));
    deviceId = id;
    return 0;
}

uint32_t GstMediaDevice::Play(uint32_t deviceId) {
    gst::DevicePipeline* pipeline = impl_->Find(deviceId);
    return pipeline == nullptr ? gst::kErrInvalidDeviceId : pipeline->Play();
}

uint32_t GstMediaDevice::Stop(uint32_t deviceId) {
    gst::DevicePipeline* pipeline = impl_->Find(deviceId);
    return pipeline == nullptr ? gst::kErrInvalidDeviceId : pipeline->Stop();
}

uint32_t GstMediaDevice::Pause(uint32_t deviceId) {
    gst::DevicePipeline* pipeline = impl_->Find(deviceId);
    return pipeline == nullptr ? gst::kErrInvalidDeviceId : pipeline->Pause();
}

uint32_t GstMediaDevice::Close(uint32_t deviceId) {
    auto found = impl_->devices.find(deviceId);
    if (found == impl_->devices.end()) {
        return gst::kErrInvalidDeviceId;
    }
    const bool closed = found->second->Close();
    impl_->devices.erase(found);
    return closed ? 0 : gst::kErrDeviceFailed;
}

uint32_t GstMediaDevice::SetTimeFormatMilliseconds(uint32_t deviceId) {
    // Milliseconds are the only format this device speaks.
    return impl_->Find(deviceId) == nullptr ? gst::kErrInvalidDeviceId : 0;
}

uint32_t GstMediaDevice::Status(uint32_t deviceId, StatusItem item, uint32_t& value) {
    gst::DevicePipeline* pipeline = impl_->Find(deviceId);
    if (pipeline == nullptr) {
        return gst::kErrInvalidDeviceId;
    }
    std::optional<uint32_t> answer = pipeline->Query(item);
    if (!answer) {
        return gst::kErrDeviceFailed;
    }
    value = *answer;
    return 0;
}

uint32_t GstMediaDevice::Seek(uint32_t deviceId, uint32_t toMs) {
    gst::DevicePipeline* pipeline = impl_->Find(deviceId);
    return pipeline == nullptr ? gst::kErrInvalidDeviceId : pipeline->Seek(toMs);
}

}  // namespace tav
