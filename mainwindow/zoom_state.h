#pragma once

#include "panes.h"

#include <cstdint>

// Which pane fills the window, and the place its view is to return to.
struct ZoomState {
    PaneIndex ZoomedIndex = -1; // -1: no pane is zoomed
    // Whole twips. 32 bits hold a place anywhere on any arrangement of
    // screens; 16 would end at 32,767 twips, about 2,180 pixels.
    std::int32_t SavedLeft = 0;
    std::int32_t SavedTop = 0;
    std::int32_t SavedHeight = 0;
};

// A placement rounded to the nearest whole twip (halves to even), as held in
// ZoomState. Throws ScoutwellError for a value out of range.
std::int32_t WholeTwips(float twips);
