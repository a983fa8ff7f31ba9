#pragma once

#include <array>

#include "platform/geometry.h"

namespace tav {

struct Placement {
    int id;
    Rect rect;
};

constexpr int kLayoutControlCount = 21;  // every control but TargetLabel and TargetButton

// Where each control stands for a client area of width x height. Negative sizes count as 0.
std::array<Placement, kLayoutControlCount> ComputeLayout(int width, int height);
// Right edges of the four status-bar parts, as signed 16-bit values.
std::array<int, 4> StatusPartEdges(int width);

}  // namespace tav
