// Pretends, for the tests, to be a window manager that announces a work area:
//     fake_work_area LEFT TOP WIDTH HEIGHT
// It sets the EWMH properties on the root window that the toolkit reads for
// the work area, prints "ready", and keeps them until it is killed (then the
// X server drops its check window and the work area is gone with it).

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s LEFT TOP WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    Window check = XCreateSimpleWindow(display, root, -100, -100, 1, 1, 0, 0, 0);

    auto atom = [&](const char* name) { return XInternAtom(display, name, False); };
    const Atom supportingCheck = atom("_NET_SUPPORTING_WM_CHECK");
    XChangeProperty(display, check, supportingCheck, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&check), 1);
    XChangeProperty(display, check, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>("fake"), 4);
    XChangeProperty(display, root, supportingCheck, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&check), 1);
    Atom supported[] = {atom("_NET_WORKAREA"), atom("_NET_CURRENT_DESKTOP")};
    XChangeProperty(display, root, atom("_NET_SUPPORTED"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(supported), 2);
    long workArea[4] = {std::atol(argv[1]), std::atol(argv[2]), std::atol(argv[3]), std::atol(argv[4])};
    XChangeProperty(display, root, atom("_NET_WORKAREA"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(workArea), 4);
    long desktop = 0;
    XChangeProperty(display, root, atom("_NET_CURRENT_DESKTOP"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&desktop), 1);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;)
        pause();
}
