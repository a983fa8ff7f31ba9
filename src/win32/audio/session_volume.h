#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <audiopolicy.h>

#include "platform/wave_volume.h"
#include "win32/audio/com_ptr.h"

namespace tav {

// The player's audio session: its stream joins it by this id, and its volume is this session's.
// Not the process's default session (no id): Wine makes a new session at each request for that
// one, so a volume set through the session manager never reached the stream.
extern const GUID kPlayerSession;

// The volume of the player's own audio session on the default endpoint, the session the
// Media Foundation device's stream plays in, as the Windows mixer shows it per application.
// Each channel's 0..65535 is an amplitude factor (65535 full, 32767 half the amplitude, -6 dB);
// the session has one volume, written as the louder channel's and read as both. It lives
// while no stream is open. Needs the multithreaded apartment, which the device's output
// thread keeps.
class SessionVolume : public WaveVolume {
public:
    std::optional<uint32_t> Read() override;
    void Write(uint32_t packed) override;

private:
    // The session's volume control; null when there is no endpoint.
    ISimpleAudioVolume* Control();

    ComPtr<ISimpleAudioVolume> control_;
};

}  // namespace tav
