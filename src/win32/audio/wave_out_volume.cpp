#include "win32/audio/wave_out_volume.h"

#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

namespace tav {
namespace {

// The device id stands in for a handle: waveOut*Volume accept either.
const auto kWaveDevice0 = reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(0));

}  // namespace

std::optional<uint32_t> WaveOutVolume::Read() {
    DWORD packed = 0;
    if (waveOutGetVolume(kWaveDevice0, &packed) != MMSYSERR_NOERROR) {
        return std::nullopt;
    }
    return packed;
}

void WaveOutVolume::Write(uint32_t packed) {
    waveOutSetVolume(kWaveDevice0, packed);
}

}  // namespace tav
