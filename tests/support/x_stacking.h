#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Xlib's own header defines macros (None, Status, True) that clash with the
// toolkit's and the test framework's: only its types' names are needed here.
using Display = struct _XDisplay;

// A mapped top-level window as the X server has it.
struct TopWindow {
    unsigned long id; // the X window
    std::string name;
    int x, y, width, height;
};

// The mapped top-level windows of process pid, as the X server stacks them,
// bottom first. A window that vanishes while it is looked at is left out
// (the caller's X error handler must not end the process on BadWindow).
std::vector<TopWindow> ProcessWindows(Display* display, pid_t pid);

// The titles of this process's mapped top-level windows, bottom first: what is
// really in front, whatever the toolkit believes. Empty when no X display can
// be opened.
std::vector<std::string> StackedWindowTitles();
