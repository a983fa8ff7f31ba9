#pragma once

#include <array>

#include "platform/geometry.h"
#include "player/player.h"

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
// Where a saved outer rectangle puts the main window on a screen whose available area is
// given: unchanged where it is usable; otherwise sized at least as created and at most as
// the area, and moved the least distance that brings it wholly onto the area.
Rect FitSavedWindow(const Edges& saved, const Edges& area);
// Places every control and the status-bar parts for a new client size.
void LayoutControls(Player& player, int width, int height);

}  // namespace tav
