#include "x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>

#include <algorithm>
#include <stdexcept>

namespace {

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
} // windows come and go while we look

} // namespace

XSession::XSession() {
    m_display = XOpenDisplay(nullptr);
    if (m_display == nullptr)
        throw std::runtime_error("no X display (DISPLAY)");
    XSetErrorHandler(IgnoreErrors);
    int event, error, major, minor;
    if (!XTestQueryExtension(m_display, &event, &error, &major, &minor))
        throw std::runtime_error("the X server has no XTest");
    if (!XDamageQueryExtension(m_display, &m_damageEvent, &error))
        throw std::runtime_error("the X server has no DAMAGE");
    XDamageQueryVersion(m_display, &major, &minor);
    m_root = DefaultRootWindow(m_display);
    m_pingAtom = XInternAtom(m_display, "_NET_WM_PING", False);
    m_protocolsAtom = XInternAtom(m_display, "WM_PROTOCOLS", False);
    m_pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
    m_cardinalAtom = XA_CARDINAL;
    // Top-level windows are the root's children; a toolkit's answer to a ping
    // is sent to the root as well.
    XSelectInput(m_display, m_root, SubstructureNotifyMask);
    XSync(m_display, False);
}

XSession::~XSession() {
    if (m_display != nullptr)
        XCloseDisplay(m_display);
}

int XSession::ScreenWidth() const {
    return DisplayWidth(m_display, DefaultScreen(m_display));
}
int XSession::ScreenHeight() const {
    return DisplayHeight(m_display, DefaultScreen(m_display));
}

void XSession::Watch(XWindowId window) {
    if (!m_damage.count(window))
        m_damage[window] = XDamageCreate(m_display, window, XDamageReportNonEmpty);
}

void XSession::Handle(void* raw) {
    XEvent& event = *static_cast<XEvent*>(raw);
    const auto now = Clock::now();
    switch (event.type) {
    case CreateNotify:
        if (event.xcreatewindow.parent == m_root) {
            m_windows[event.xcreatewindow.window];
            Watch(event.xcreatewindow.window);
        }
        return;
    case MapNotify: {
        if (event.xmap.event != m_root)
            return;
        WindowState& state = m_windows[event.xmap.window];
        state.mapped = now;
        ++state.maps;
        state.firstPainted.reset();
        state.unmapped.reset();
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(m_display, event.xmap.window, m_pidAtom, 0, 1, False, m_cardinalAtom, &type,
                               &format, &items, &after, &data) == Success &&
            data != nullptr) {
            state.pid = *reinterpret_cast<long*>(data);
            XFree(data);
        }
        char* name = nullptr;
        if (XFetchName(m_display, event.xmap.window, &name) && name != nullptr) {
            state.name = name;
            XFree(name);
        }
        // Drawing is reported from the mapping on, once.
        Watch(event.xmap.window);
        XDamageSubtract(m_display, m_damage[event.xmap.window], None, None);
        return;
    }
    case UnmapNotify:
        if (event.xunmap.event == m_root)
            m_windows[event.xunmap.window].unmapped = now;
        return;
    case DestroyNotify:
        if (event.xdestroywindow.event == m_root) {
            auto& state = m_windows[event.xdestroywindow.window];
            if (!state.unmapped)
                state.unmapped = now;
            m_damage.erase(event.xdestroywindow.window);
        }
        return;
    case ClientMessage:
        if (event.xclient.message_type == m_protocolsAtom &&
            static_cast<unsigned long>(event.xclient.data.l[0]) == m_pingAtom)
            m_pingAnswered = std::max(m_pingAnswered, event.xclient.data.l[1]);
        return;
    default:
        if (event.type == m_damageEvent + XDamageNotify) {
            const auto& damage = *reinterpret_cast<XDamageNotifyEvent*>(&event);
            auto it = m_windows.find(damage.drawable);
            if (it != m_windows.end() && it->second.mapped && !it->second.firstPainted)
                it->second.firstPainted = now;
        }
        return;
    }
}

void XSession::Pump(std::chrono::milliseconds timeout) {
    XFlush(m_display);
    if (XPending(m_display) == 0) {
        pollfd descriptor{ConnectionNumber(m_display), POLLIN, 0};
        poll(&descriptor, 1, static_cast<int>(timeout.count()));
    }
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        Handle(&event);
    }
}

void XSession::MovePointer(int x, int y) {
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), x, y, CurrentTime);
    XFlush(m_display);
}

void XSession::Click(int x, int y) {
    MovePointer(x, y);
    XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
    XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
    XFlush(m_display);
}

void XSession::Key(const char* keysym, bool control) {
    const KeyCode code = XKeysymToKeycode(m_display, XStringToKeysym(keysym));
    const KeyCode controlCode = XKeysymToKeycode(m_display, XK_Control_L);
    if (control)
        XTestFakeKeyEvent(m_display, controlCode, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    if (control)
        XTestFakeKeyEvent(m_display, controlCode, False, CurrentTime);
    XFlush(m_display);
}

void XSession::Type(const std::string& ascii) {
    for (char c : ascii) {
        if (c == ' ')
            Key("space");
        else if (c == '-')
            Key("minus");
        else
            Key(std::string(1, c).c_str());
    }
}

void XSession::Flush() {
    XSync(m_display, False);
}

std::optional<XSession::Clock::duration> XSession::Ping(XWindowId window, std::chrono::milliseconds timeout) {
    const long serial = ++m_pingSent;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = m_protocolsAtom;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(m_pingAtom);
    event.xclient.data.l[1] = serial; // the timestamp field, echoed back
    event.xclient.data.l[2] = static_cast<long>(window);
    const auto sent = Clock::now();
    XSendEvent(m_display, window, False, NoEventMask, &event);
    XFlush(m_display);
    const auto deadline = sent + timeout;
    while (m_pingAnswered < serial) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        Pump(std::min(left, std::chrono::milliseconds(50)));
    }
    return Clock::now() - sent;
}

void XSession::Resize(XWindowId window, int width, int height) {
    XResizeWindow(m_display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(m_display);
}

RgbImage XSession::Capture(int x, int y, int width, int height) {
    RgbImage image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    XImage* shot = XGetImage(m_display, m_root, x, y, static_cast<unsigned>(width),
                             static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (shot == nullptr)
        return image;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(shot, column, row);
            std::uint8_t* p = image.At(column, row);
            p[0] = static_cast<std::uint8_t>((pixel & shot->red_mask) >> 16);
            p[1] = static_cast<std::uint8_t>((pixel & shot->green_mask) >> 8);
            p[2] = static_cast<std::uint8_t>(pixel & shot->blue_mask);
        }
    }
    XDestroyImage(shot);
    return image;
}
