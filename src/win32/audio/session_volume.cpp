#include "win32/audio/session_volume.h"

#include <mmdeviceapi.h>

#include <algorithm>
#include <cmath>

namespace tav {

const GUID kPlayerSession = {
    0x5b309788, 0x63bb, 0x44c8, {0x95, 0x57, 0x51, 0xbf, 0xd2, 0xe8, 0x75, 0x62}};

ISimpleAudioVolume* SessionVolume::Control() {
    if (control_) {
        return control_.Get();
    }
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> device;
    ComPtr<IAudioSessionManager> sessions;
    if (SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                   __uuidof(IMMDeviceEnumerator), enumerator.OutVoid())) &&
        SUCCEEDED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.Out())) &&
        SUCCEEDED(device->Activate(__uuidof(IAudioSessionManager), CLSCTX_ALL, nullptr,
                                   sessions.OutVoid()))) {
        sessions->GetSimpleAudioVolume(&kPlayerSession, FALSE, control_.Out());
    }
    return control_.Get();
}

std::optional<uint32_t> SessionVolume::Read() {
    float level = 0;
    ISimpleAudioVolume* const control = Control();
    if (control == nullptr || FAILED(control->GetMasterVolume(&level))) {
        control_.Reset();  // the endpoint may have gone: look again next time
        return std::nullopt;
    }
    const auto channel = static_cast<uint32_t>(std::lround(std::clamp(level, 0.0F, 1.0F) * 65535));
    return channel | channel << 16;
}

void SessionVolume::Write(uint32_t packed) {
    const uint32_t louder = std::max(packed & 0xFFFF, packed >> 16);
    ISimpleAudioVolume* const control = Control();
    if (control != nullptr &&
        FAILED(control->SetMasterVolume(static_cast<float>(louder) / 65535, nullptr))) {
        control_.Reset();
    }
}

}  // namespace tav
