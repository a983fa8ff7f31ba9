#include "win32/audio/audio_choice.h"

#include "win32/audio/mci_device.h"
#include "win32/audio/mf_device.h"
#include "win32/audio/session_volume.h"
#include "win32/audio/wave_out_volume.h"

namespace tav {

WindowsAudio ChooseAudio() {
    if (std::unique_ptr<MediaFoundation> library = MediaFoundation::Load()) {
        return {std::make_unique<MfMediaDevice>(std::move(library)),
                std::make_unique<SessionVolume>()};
    }
    return {std::make_unique<MciDevice>(), std::make_unique<WaveOutVolume>()};
}

}  // namespace tav
