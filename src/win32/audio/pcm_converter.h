#pragma once

#include <cstdint>
#include <vector>

namespace tav {

struct PcmFormat {
    uint32_t rate = 0;
    uint32_t channels = 0;
};

// Brings decoded float sound from a file's format into the output stream's: channels mapped
// (a mono file on both front channels, a stereo one on the front pair, further channels of
// either left out; a mono output takes the average of the front pair) and the rate changed by
// linear interpolation. Sound already at the stream's rate passes unchanged.
class PcmConverter {
public:
    PcmConverter(PcmFormat from, PcmFormat to);
    // Appends the converted frames of `in` (interleaved) to `out`.
    void Convert(const std::vector<float>& in, std::vector<float>& out);
    // Forgets the sound before: the next frames are not joined to it (after a seek).
    void Restart();

private:
    void MapChannels(const float* frame, float* mapped) const;

    PcmFormat from_;
    PcmFormat to_;
    double step_;                // input frames per output frame
    double at_ = 0;              // the next output frame's place after `last_`, in input frames
    std::vector<float> last_;    // the last input frame, mapped; empty at the start
    std::vector<float> mapped_;  // scratch: the input mapped to the output's channels
};

}  // namespace tav
