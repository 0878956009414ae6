#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Xlib's header defines macros (None, Status, True) that clash with wx and GoogleTest.
using Display = struct _XDisplay;

struct TopWindow {
    unsigned long id; // the X window
    std::string name;
    int x, y, width, height;
};

// The mapped top-level windows of process pid, bottom first (the caller's X error handler must not
// end the process on BadWindow).
std::vector<TopWindow> ProcessWindows(Display* display, pid_t pid);

// This process's mapped top-level windows' titles, bottom first: what is really in front.
std::vector<std::string> StackedWindowTitles();
