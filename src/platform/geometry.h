#pragma once

#include <cstdint>

namespace tav {

// Client or screen pixels; Win32 RECT order is left/top/right/bottom, but controls are
// placed by position and size, so both forms exist.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

struct Edges {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const Edges&) const = default;
};

}  // namespace tav
