#include "linux/audio/pulse_volume.h"

#include <pulse/ext-stream-restore.h>
#include <pulse/pulseaudio.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "linux/audio/pulse_stream_identity.h"

namespace tav {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr auto kTimeout = std::chrono::milliseconds(500);
constexpr auto kRetryPause = std::chrono::seconds(2);
constexpr double kChannelMax = 65535.0;
constexpr uint32_t kFullVolume = 0xFFFFFFFF;

// The stream-restore entry the server keeps for streams of the player's role.
std::string RestoreKey() {
    return std::string("sink-input-by-media-role:") + kStreamRole;
}

// A volume per channel with the channels' positions: a stream's, or a restore entry's.
struct ChannelVolume {
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
    uint32_t Packed() const {
        const uint32_t left = ChannelFromServerVolume(Channel(PA_CHANNEL_POSITION_FRONT_LEFT));
        const uint32_t right = ChannelFromServerVolume(Channel(PA_CHANNEL_POSITION_FRONT_RIGHT));
        return left | (right << 16);
    }
    // The same channels set to the packed left/right pair.
    pa_cvolume With(uint32_t packed) const {
        const pa_volume_t left = ServerVolumeFromChannel(static_cast<uint16_t>(packed & 0xFFFF));
        const pa_volume_t right = ServerVolumeFromChannel(static_cast<uint16_t>(packed >> 16));
        pa_cvolume result = volume;
        if (HasFrontPair()) {
            pa_cvolume_set_position(&result, &map, PA_CHANNEL_POSITION_FRONT_LEFT, left);
            pa_cvolume_set_position(&result, &map, PA_CHANNEL_POSITION_FRONT_RIGHT, right);
        } else {
            pa_cvolume_set(&result, result.channels, (left + right) / 2);
        }
        return result;
    }
};

struct OwnStream {
    uint32_t index = PA_INVALID_INDEX;
    ChannelVolume volume;
};

ChannelVolume StereoVolume(uint32_t packed) {
    ChannelVolume stereo;
    pa_channel_map_init_stereo(&stereo.map);
    pa_cvolume_set(&stereo.volume, 2, PA_VOLUME_NORM);
    stereo.volume = stereo.With(packed);
    return stereo;
}

}  // namespace

uint16_t ChannelFromServerVolume(uint32_t serverVolume) {
    const double linear = pa_sw_volume_to_linear(serverVolume);
    return static_cast<uint16_t>(linear >= 1.0 ? kChannelMax : std::lround(linear * kChannelMax));
}

uint32_t ServerVolumeFromChannel(uint16_t channel) {
    return pa_sw_volume_from_linear(channel / kChannelMax);
}

// One connection to the server, kept between calls, driven by a private main loop that runs
// only while a call waits for its answer.
struct PulseWaveVolume::Impl {
    pa_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    SteadyClock::time_point retryAt{};
    std::optional<uint32_t> written;   // the last value written in this run
    std::optional<uint32_t> restored;  // the last value written to the restore entry

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
        restored.reset();  // a restarted server may have lost it
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

    // The sink inputs of this process; nothing when the server cannot be asked.
    std::optional<std::vector<OwnStream>> OwnStreams() {
        if (!EnsureConnected()) {
            return std::nullopt;
        }
        struct Answer {
            std::string pid = std::to_string(getpid());
            std::vector<OwnStream> streams;
        } answer;
        const auto onInput = [](pa_context*, const pa_sink_input_info* info, int last, void* data) {
            auto& found = *static_cast<Answer*>(data);
            if (last != 0 || info == nullptr) {
                return;
            }
            const char* pid = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
            if (pid != nullptr && found.pid == pid) {
                found.streams.push_back({info->index, {info->volume, info->channel_map}});
            }
        };
        if (!Complete(pa_context_get_sink_input_info_list(context, onInput, &answer))) {
            return std::nullopt;
        }
        return answer.streams;
    }

    // The restore entry the next stream will get; nothing without one.
    std::optional<ChannelVolume> RestoreEntry() {
        struct Answer {
            std::string key = RestoreKey();
            std::optional<ChannelVolume> entry;
        } answer;
        const auto onEntry = [](pa_context*, const pa_ext_stream_restore_info* info, int last,
                                void* data) {
            auto& found = *static_cast<Answer*>(data);
            if (last == 0 && info != nullptr && info->name != nullptr && found.key == info->name &&
                pa_cvolume_valid(&info->volume) != 0) {
                found.entry = ChannelVolume{info->volume, info->channel_map};
            }
        };
        if (!Complete(pa_ext_stream_restore_read(context, onEntry, &answer))) {
            return std::nullopt;
        }
        return answer.entry;
    }

    void WriteRestoreEntry(uint32_t packed) {
        if (restored == packed) {
            return;
        }
        const std::string key = RestoreKey();
        const ChannelVolume stereo = StereoVolume(packed);
        pa_ext_stream_restore_info entry{};
        entry.name = key.c_str();
        entry.channel_map = stereo.map;
        entry.volume = stereo.volume;
        // Not applied at once: other applications' streams of the same role keep their volume.
        if (Complete(pa_ext_stream_restore_write(context, PA_UPDATE_REPLACE, &entry, 1, 0, nullptr,
                                                 nullptr))) {
            restored = packed;
        }
    }
};

PulseWaveVolume::PulseWaveVolume() : impl_(std::make_unique<Impl>()) {}

PulseWaveVolume::~PulseWaveVolume() = default;

std::optional<uint32_t> PulseWaveVolume::Read() {
    const std::optional<std::vector<OwnStream>> streams = impl_->OwnStreams();
    if (!streams) {
        return std::nullopt;
    }
    if (!streams->empty()) {
        return streams->front().volume.Packed();
    }
    if (const std::optional<ChannelVolume> entry = impl_->RestoreEntry()) {
        return entry->Packed();
    }
    return impl_->written.value_or(kFullVolume);
}

void PulseWaveVolume::Write(uint32_t packed) {
    impl_->written = packed;
    const std::optional<std::vector<OwnStream>> streams = impl_->OwnStreams();
    if (!streams) {
        return;
    }
    for (const OwnStream& stream : *streams) {
        const pa_cvolume volume = stream.volume.With(packed);
        if (pa_cvolume_equal(&volume, &stream.volume.volume) == 0 &&
            !impl_->Complete(pa_context_set_sink_input_volume(impl_->context, stream.index, &volume,
                                                              nullptr, nullptr))) {
            return;
        }
    }
    // Also while a stream plays: not every server publishes what it saved from a stream.
    impl_->WriteRestoreEntry(packed);
}

}  // namespace tav
