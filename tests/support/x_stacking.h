#pragma once

#include <string>
#include <vector>

// The mapped top-level windows' titles, bottom first: what is really in front.
std::vector<std::string> StackedWindowTitles();
