#pragma once

#include "panes.h"

#include <cstdint>

// Which pane fills the window, and the place its view is to return to.
struct ZoomState {
    PaneIndex zoomedPane = -1; // -1: no pane is zoomed
    // Whole twips. 32 bits hold a place anywhere on any arrangement of
    // screens; 16 would end at 32,767 twips, about 2,180 pixels.
    std::int32_t savedLeft = 0;
    std::int32_t savedTop = 0;
    std::int32_t savedHeight = 0;
};
