#include "linux/system/native_text.h"

#include <time.h>

#include <algorithm>
#include <cstring>

namespace tav {
namespace {

unsigned char Fold(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

}  // namespace

int Utf8TextRules::CompareNoCase(std::string_view a, std::string_view b) const {
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t i = 0;
    // Paths in a list share long beginnings: equal bytes are skipped eight at a time.
    while (i + 8 <= common && std::memcmp(a.data() + i, b.data() + i, 8) == 0) {
        i += 8;
    }
    for (; i < common; ++i) {
        const unsigned char x = Fold(a[i]);
        const unsigned char y = Fold(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

uint32_t MonotonicClock::TickCount() const {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto ms =
        static_cast<uint64_t>(now.tv_sec) * 1000U + static_cast<uint64_t>(now.tv_nsec) / 1000000U;
    return static_cast<uint32_t>(ms);
}

}  // namespace tav
