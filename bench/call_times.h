#pragma once

// How long each media-device call kept its caller waiting, for the playback benchmarks.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tav::bench {

// The waits of each device call, in milliseconds, on a monotonic clock `Clock::NowMs()`
// (of its own on Windows, where <chrono> does not build with the CP932 execution charset).
template <typename Clock>
class CallTimes {
public:
    uint32_t Time(const char* call, const std::function<uint32_t()>& command) {
        const double start = Clock::NowMs();
        const uint32_t result = command();
        times_[call].push_back(Clock::NowMs() - start);
        return result;
    }

    // The median and the longest wait of each call.
    void Print() {
        for (auto& [call, times] : times_) {
            std::sort(times.begin(), times.end());
            std::printf("  %-8s median %6.1f ms   longest %6.1f ms   (%zu calls)\n", call.c_str(),
                        times[times.size() / 2], times.back(), times.size());
        }
    }

private:
    std::map<std::string, std::vector<double>> times_;
};

}  // namespace tav::bench
