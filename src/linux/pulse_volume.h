#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/wave_volume.h"

namespace tav {

// The wave-output volume as the volume of the sound server's default sink (PulseAudio, or
// PipeWire through its PulseAudio service). Each channel's 0..65535 maps linearly onto the
// server's volume scale 0..PA_VOLUME_NORM (0 is muted, 65535 is 100 %); a sink boosted above
// 100 % reads as 65535. The left channel is the sink's front-left, the right its front-right;
// a sink without both reads the average of its channels and is written with the average of
// the two. Every call is synchronous and gives up after a short timeout. Without a server a
// read fails and a write does nothing; after a failed connection the next attempt waits a
// little, so a volume bar that writes on every paint never stalls the window.
class PulseWaveVolume : public WaveVolume {
public:
    PulseWaveVolume();
    ~PulseWaveVolume() override;
    PulseWaveVolume(const PulseWaveVolume&) = delete;
    PulseWaveVolume& operator=(const PulseWaveVolume&) = delete;

    std::optional<uint32_t> Read() override;
    void Write(uint32_t packed) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The channel mapping, rounded to the nearest step each way; a channel value survives the
// round trip unchanged.
uint16_t ChannelFromServerVolume(uint32_t serverVolume);
uint32_t ServerVolumeFromChannel(uint16_t channel);

}  // namespace tav
