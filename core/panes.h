#pragma once

#include <array>

// The main window has five browser panes, numbered 0 to 4 from the top; the
// control arrays of the main window are indexed by PaneIndex.
constexpr int PaneCount = 5;
using PaneIndex = int;

template <typename T> using PaneArray = std::array<T, PaneCount>;
