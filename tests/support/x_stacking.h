#pragma once

#include <string>
#include <vector>

// The titles of this process's mapped top-level windows as the X server
// stacks them, bottom first: what is really in front, whatever the toolkit
// believes. Empty when no X display can be opened.
std::vector<std::string> StackedWindowTitles();
