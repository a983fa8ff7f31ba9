#pragma once

#include <cstdint>
#include <optional>

namespace tav {

// The system wave-output volume of the default device, as waveOutGetVolume packs it: left
// channel in the low 16 bits, right channel in the high 16 bits, each 0..65535.
class WaveVolume {
public:
    virtual ~WaveVolume() = default;
    virtual std::optional<uint32_t> Read() = 0;  // nothing when the read fails
    virtual void Write(uint32_t packed) = 0;
};

}  // namespace tav
