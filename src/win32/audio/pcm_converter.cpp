#include "win32/audio/pcm_converter.h"

#include <algorithm>

namespace tav {

PcmConverter::PcmConverter(PcmFormat from, PcmFormat to)
    : from_(from), to_(to), step_(static_cast<double>(from.rate) / to.rate) {}

void PcmConverter::Restart() {
    last_.clear();
    at_ = 0;
}

void PcmConverter::MapChannels(const float* frame, float* mapped) const {
    if (to_.channels == 1) {
        mapped[0] = from_.channels == 1 ? frame[0] : (frame[0] + frame[1]) / 2;
        return;
    }
    std::fill(mapped, mapped + to_.channels, 0.0F);
    if (from_.channels == 1) {
        mapped[0] = mapped[1] = frame[0];
        return;
    }
    std::copy(frame, frame + std::min(from_.channels, to_.channels), mapped);
}

void PcmConverter::Convert(const std::vector<float>& in, std::vector<float>& out) {
    const size_t frames = in.size() / from_.channels;
    const uint32_t channels = to_.channels;
    // The last frame of the call before leads, so that interpolation spans the calls.
    const size_t lead = last_.empty() ? 0 : 1;
    mapped_.assign((lead + frames) * channels, 0.0F);
    std::copy(last_.begin(), last_.end(), mapped_.begin());
    for (size_t i = 0; i < frames; ++i) {
        MapChannels(&in[i * from_.channels], &mapped_[(lead + i) * channels]);
    }
    const size_t total = lead + frames;
    if (total == 0) {
        return;
    }
    if (from_.rate == to_.rate) {
        out.insert(out.end(), mapped_.begin() + lead * channels, mapped_.end());
    } else {
        // Output frames lie `step_` input frames apart; each falls between two input frames.
        for (; at_ + 1 < static_cast<double>(total); at_ += step_) {
            const auto below = static_cast<size_t>(at_);
            const auto weight = static_cast<float>(at_ - below);
            for (uint32_t c = 0; c < channels; ++c) {
                const float a = mapped_[below * channels + c];
                const float b = mapped_[(below + 1) * channels + c];
                out.push_back(a + (b - a) * weight);
            }
        }
        at_ -= static_cast<double>(total - 1);
    }
    last_.assign(mapped_.end() - channels, mapped_.end());
}

}  // namespace tav
