#pragma once

#include "panes.h"

#include <functional>

class Placement;

// The controls the pane layout reads and moves.
struct PaneLayoutControls {
    Placement& window;   // outer size
    Placement& topStrip; // its height is where the rows start
    PaneArray<Placement*> buttonColumns;
    PaneArray<Placement*> views;
};

// Stacks the five pane rows below the top strip to fit the window's outer
// size, then runs reapplyZoom so a zoomed pane is zoomed again from its new
// row. A placement the controls refuse (a negative size) is skipped and the
// next one still runs.
void ArrangePanes(const PaneLayoutControls& controls, const std::function<void()>& reapplyZoom);
