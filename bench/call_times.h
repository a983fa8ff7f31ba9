#pragma once

// How long each media-device call kept its caller waiting, for the playback benchmarks.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tav::bench {

// The waits of each device call, in milliseconds.
class CallTimes {
public:
    uint32_t Time(const char* call, const std::function<uint32_t()>& command) {
        const auto start = std::chrono::steady_clock::now();
        const uint32_t result = command();
        const std::chrono::duration<double, std::milli> waited =
            std::chrono::steady_clock::now() - start;
        times_[call].push_back(waited.count());
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
