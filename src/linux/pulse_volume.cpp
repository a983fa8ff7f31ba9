#include "linux/pulse_volume.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <string>

namespace tav {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr auto kTimeout = std::chrono::milliseconds(500);
constexpr auto kRetryPause = std::chrono::seconds(2);
constexpr uint64_t kChannelMax = 65535;

struct Sink {
    std::string name;
    pa_cvolume volume{};
    pa_channel_map map{};

    bool HasFrontPair() const {
        return pa_channel_map_has_position(&map, PA_CHANNEL_POSITION_FRONT_LEFT) != 0 &&
               pa_channel_map_has_position(&map, PA_CHANNEL_POSITION_FRONT_RIGHT) != 0;
    }
    pa_volume_t Channel(pa_channel_position_t position) const {
        return HasFrontPair() ? pa_cvolume_get_position(&volume, &map, position)
                              : pa_cvolume_avg(&volume);
    }
};

}  // namespace

uint16_t ChannelFromServerVolume(uint32_t serverVolume) {
    if (serverVolume >= PA_VOLUME_NORM) {
        return static_cast<uint16_t>(kChannelMax);
    }
    return static_cast<uint16_t>((serverVolume * kChannelMax + PA_VOLUME_NORM / 2) /
                                 PA_VOLUME_NORM);
}

uint32_t ServerVolumeFromChannel(uint16_t channel) {
    return static_cast<uint32_t>((channel * uint64_t{PA_VOLUME_NORM} + kChannelMax / 2) /
                                 kChannelMax);
}

// One connection to the server, kept between calls, driven by a private main loop that runs
// only while a call waits for its answer.
struct PulseWaveVolume::Impl {
    pa_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    SteadyClock::time_point retryAt{};

    ~Impl() { Disconnect(); }

    bool Connected() const {
        return context != nullptr && pa_context_get_state(context) == PA_CONTEXT_READY;
    }

    void Disconnect() {
        if (context != nullptr) {
            pa_context_disconnect(context);
            pa_context_unref(context);
            context = nullptr;
        }
        if (loop != nullptr) {
            pa_mainloop_free(loop);
            loop = nullptr;
        }
    }

    // Drops the connection and waits a little before trying again.
    void GiveUp() {
        Disconnect();
        retryAt = SteadyClock::now() + kRetryPause;
    }

    template <typename Done>
    bool RunUntil(Done done) {
        const auto deadline = SteadyClock::now() + kTimeout;
        while (!done()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::microseconds>(deadline - SteadyClock::now())
                    .count();
            if (left <= 0 || pa_mainloop_prepare(loop, static_cast<int>(left)) < 0 ||
                pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0) {
                return false;
            }
        }
        return true;
    }

    bool EnsureConnected() {
        if (Connected()) {
            return true;
        }
        Disconnect();
        if (SteadyClock::now() < retryAt) {
            return false;
        }
        loop = pa_mainloop_new();
        context = loop == nullptr ? nullptr : pa_context_new(pa_mainloop_get_api(loop), "Tavrello");
        const auto settled = [this] {
            const pa_context_state_t state = pa_context_get_state(context);
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
        };
        if (context == nullptr ||
            pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            !RunUntil(settled) || !Connected()) {
            GiveUp();
            return false;
        }
        return true;
    }

    // Waits for an operation. One that does not finish in time is cancelled, so its callback
    // never runs with the caller's answer gone, and the connection is started afresh later.
    bool Complete(pa_operation* operation) {
        if (operation == nullptr) {
            GiveUp();
            return false;
        }
        const bool done = RunUntil(
            [operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
        if (!done) {
            pa_operation_cancel(operation);
        }
        pa_operation_unref(operation);
        if (!done) {
            GiveUp();
        }
        return done;
    }

    std::optional<Sink> DefaultSink() {
        if (!EnsureConnected()) {
            return std::nullopt;
        }
        std::string name;
        const auto onServer = [](pa_context*, const pa_server_info* info, void* answer) {
            if (info != nullptr && info->default_sink_name != nullptr) {
                *static_cast<std::string*>(answer) = info->default_sink_name;
            }
        };
        if (!Complete(pa_context_get_server_info(context, onServer, &name)) || name.empty()) {
            return std::nullopt;
        }
        std::optional<Sink> sink;
        const auto onSink = [](pa_context*, const pa_sink_info* info, int last, void* answer) {
            if (last == 0 && info != nullptr) {
                *static_cast<std::optional<Sink>*>(answer) =
                    Sink{info->name, info->volume, info->channel_map};
            }
        };
        if (!Complete(pa_context_get_sink_info_by_name(context, name.c_str(), onSink, &sink))) {
            return std::nullopt;
        }
        return sink;
    }
};

PulseWaveVolume::PulseWaveVolume() : impl_(std::make_unique<Impl>()) {}

PulseWaveVolume::~PulseWaveVolume() = default;

std::optional<uint32_t> PulseWaveVolume::Read() {
    const std::optional<Sink> sink = impl_->DefaultSink();
    if (!sink) {
        return std::nullopt;
    }
    const uint32_t left = ChannelFromServerVolume(sink->Channel(PA_CHANNEL_POSITION_FRONT_LEFT));
    const uint32_t right = ChannelFromServerVolume(sink->Channel(PA_CHANNEL_POSITION_FRONT_RIGHT));
    return left | (right << 16);
}

void PulseWaveVolume::Write(uint32_t packed) {
    std::optional<Sink> sink = impl_->DefaultSink();
    if (!sink) {
        return;
    }
    const pa_volume_t left = ServerVolumeFromChannel(static_cast<uint16_t>(packed & 0xFFFF));
    const pa_volume_t right = ServerVolumeFromChannel(static_cast<uint16_t>(packed >> 16));
    pa_cvolume& volume = sink->volume;
    if (sink->HasFrontPair()) {
        pa_cvolume_set_position(&volume, &sink->map, PA_CHANNEL_POSITION_FRONT_LEFT, left);
        pa_cvolume_set_position(&volume, &sink->map, PA_CHANNEL_POSITION_FRONT_RIGHT, right);
    } else {
        pa_cvolume_set(&volume, volume.channels, (left + right) / 2);
    }
    impl_->Complete(pa_context_set_sink_volume_by_name(impl_->context, sink->name.c_str(), &volume,
                                                       nullptr, nullptr));
}

}  // namespace tav
