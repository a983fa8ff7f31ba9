#include "linux/gst_device.h"

#include <gst/gst.h>

namespace tav {

namespace {
constexpr uint32_t kNotOpen = 1;
}

struct GstMediaDevice::Impl {
    explicit Impl(EventPoster& p) : poster(p) {}
    EventPoster& poster;
};

GstMediaDevice::GstMediaDevice(EventPoster& poster) : impl_(std::make_unique<Impl>(poster)) {
    gst_init(nullptr, nullptr);
}

GstMediaDevice::~GstMediaDevice() = default;

uint32_t GstMediaDevice::Open(const std::string&, uint32_t&) {
    return kNotOpen;
}
uint32_t GstMediaDevice::Play(uint32_t) {
    return kNotOpen;
}
uint32_t GstMediaDevice::Stop(uint32_t) {
    return kNotOpen;
}
uint32_t GstMediaDevice::Close(uint32_t) {
    return kNotOpen;
}
uint32_t GstMediaDevice::SetTimeFormatMilliseconds(uint32_t) {
    return kNotOpen;
}
uint32_t GstMediaDevice::Status(uint32_t, StatusItem, uint32_t&) {
    return kNotOpen;
}
uint32_t GstMediaDevice::Seek(uint32_t, uint32_t) {
    return kNotOpen;
}

}  // namespace tav
