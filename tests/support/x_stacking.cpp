#include "x_stacking.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <unistd.h>

namespace {

int IgnoreXErrors(Display*, XErrorEvent*) { // a window that vanishes between requests is left out
    return 0;
}

} // namespace

std::vector<std::string> StackedWindowTitles() {
    std::vector<std::string> titles;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return titles;
    const auto previousHandler = XSetErrorHandler(IgnoreXErrors);
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count); // bottom to top
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                               &items, &after, &data) != Success ||
            data == nullptr)
            continue;
        const long owner = *reinterpret_cast<long*>(data);
        XFree(data);
        if (owner != static_cast<long>(getpid()))
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
