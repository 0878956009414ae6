#pragma once

#include "panes.h"

#include <functional>

class Placement;

// The controls the pane layout reads and moves.
struct PaneLayoutControls {
    Placement& window; // outer size
    Placement& frame1; // the top strip's height
    PaneArray<Placement*> frame4;     // button columns
    PaneArray<Placement*> webBrowser; // views
};

// Stacks the five pane rows below the top strip to fit the window's outer
// size, then runs reapplyZoom so a zoomed pane is zoomed again from its new
// row. A placement the controls refuse (a negative size) is skipped and the
// next one still runs.
void ArrangePanes(const PaneLayoutControls& controls, const std::function<void()>& reapplyZoom);
