#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/wave_volume.h"

namespace tav {

// The wave-output volume as the volume of the player's own output stream on the sound server
// (PulseAudio, or PipeWire through its PulseAudio service), as the Windows mixer keeps one
// volume per application: other applications and the device keep theirs. The player's streams
// are the server's sink inputs of this process.
//
// Each channel's 0..65535 is an amplitude factor (65535 is 100 %, 32767 half the amplitude,
// -6 dB); a stream boosted above 100 % reads as 65535. The left channel is the stream's
// front-left, the right its front-right; a stream without both reads the average of its
// channels and is written with the average of the two.
//
// While no stream is open the volume lives in the server's stream-restore entry for the
// player's role (see pulse_stream_identity.h): a write updates it, a read returns it, and the
// server gives it to the next stream, in this run or a later one. A server without
// stream-restore reads full volume until the first write, then the value last written.
//
// Every call is synchronous and gives up after a short timeout. Without a server a read fails
// and a write does nothing; after a failed connection the next attempt waits a little, so a
// volume bar that writes on every paint never stalls the window.
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

// The channel mapping onto the server's (cubic) volume scale, rounded to the nearest step.
uint16_t ChannelFromServerVolume(uint32_t serverVolume);
uint32_t ServerVolumeFromChannel(uint16_t channel);

}  // namespace tav
