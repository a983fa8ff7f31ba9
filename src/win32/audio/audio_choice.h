#pragma once

#include <memory>

#include "platform/wave_volume.h"
#include "win32/audio/win32_media_device.h"

namespace tav {

// The program's media device and the volume that goes with it.
struct WindowsAudio {
    std::unique_ptr<Win32MediaDevice> device;
    std::unique_ptr<WaveVolume> volume;
};

// The Media Foundation device and its session's volume where Media Foundation loads; else the
// MCI device and the waveOut volume.
WindowsAudio ChooseAudio();

}  // namespace tav
