#include "gui_test.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace {

int IgnoreXErrors(Display*, XErrorEvent*) { // a window that vanishes between requests is left out
    return 0;
}

} // namespace

// The test has the display to itself (its own X server, one test at a time): every window is its own.
std::vector<std::string> StackedWindowTitles() {
    std::vector<std::string> titles;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return titles;
    const auto previousHandler = XSetErrorHandler(IgnoreXErrors);
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count); // bottom to top
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        char* name = nullptr;
        XFetchName(display, children[i], &name);
        titles.push_back(name != nullptr ? name : "");
        if (name != nullptr)
            XFree(name);
    }
    if (children != nullptr)
        XFree(children);
    XSync(display, False);
    XCloseDisplay(display);
    XSetErrorHandler(previousHandler);
    return titles;
}

// Held up between XTest's press and release on a busy machine, the X server would repeat the key.
void TurnOffKeyRepeat() {
    GdkDisplay* display = gdk_display_get_default();
    if (display != nullptr && GDK_IS_X11_DISPLAY(display)) {
        XAutoRepeatOff(GDK_DISPLAY_XDISPLAY(display));
        XFlush(GDK_DISPLAY_XDISPLAY(display));
    }
}
