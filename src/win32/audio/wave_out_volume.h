#pragma once

#include "platform/wave_volume.h"

namespace tav {

// The wave-output volume of device 0.
class WaveOutVolume : public WaveVolume {
public:
    std::optional<uint32_t> Read() override;
    void Write(uint32_t packed) override;
};

}  // namespace tav
