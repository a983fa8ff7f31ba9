#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "win32/audio/com_ptr.h"
#include "win32/audio/media_foundation.h"
#include "win32/audio/pcm_converter.h"

namespace tav {

// One file decoded to PCM by a Media Foundation source reader, as float samples in the file's
// own rate and channels.
class MfDecoder {
public:
    enum class Read { More, End, Failed };

    // 0, or the MCI error code for a file that cannot be opened or decoded.
    static uint32_t Open(const MediaFoundation& library, const std::string& path,
                         std::unique_ptr<MfDecoder>& decoder);

    PcmFormat Format() const { return format_; }
    uint32_t LengthMs() const { return lengthMs_; }
    // Appends the next decoded sound to `samples` (interleaved).
    Read Next(std::vector<float>& samples);
    // The next sound begins exactly at `ms`; false when the reader cannot move there.
    bool Seek(uint32_t ms);

private:
    MfDecoder() = default;
    bool Start(const MediaFoundation& library);
    bool ChoosePcm(const MediaFoundation& library);
    void Append(const BYTE* data, DWORD bytes, std::vector<float>& samples) const;

    ComPtr<IMFSourceReader> reader_;
    PcmFormat format_;
    uint32_t bits_ = 16;
    bool float_ = false;
    uint32_t lengthMs_ = 0;
    // Where a seek asked the sound to begin, in 100 ns units: the reader may land before it.
    LONGLONG seekTarget_ = -1;
    std::vector<float> pending_;  // the first sound, read by Open
};

}  // namespace tav
