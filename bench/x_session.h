#pragma once

#include "png_writer.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Xlib's names stay out of the other files.
using XWindowId = unsigned long;
struct _XDisplay;

// The benchmark's view of the X server: it watches other programs' top-level
// windows appear, be drawn and disappear, and types, clicks, resizes and
// pings as a user and a window manager would (XTest, _NET_WM_PING). Needs a
// display with no window manager, where this client may watch the root.
class XSession {
public:
    using Clock = std::chrono::steady_clock;

    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    struct WindowState {
        long pid = 0;
        std::string name;
        std::optional<Clock::time_point> mapped, firstPainted, unmapped;
        int maps = 0; // how often it was mapped, a popup list each time it is shown
    };

    // Handles the events that have arrived, waiting up to timeout for the
    // first one.
    void Pump(std::chrono::milliseconds timeout);
    // Every top-level window seen since the session began, by id. A window's
    // state records its last mapping and the first drawing after it.
    const std::map<XWindowId, WindowState>& Windows() const { return m_windows; }
    void ForgetWindows() { m_windows.clear(); }

    int ScreenWidth() const;
    int ScreenHeight() const;

    void MovePointer(int x, int y);
    void Click(int x, int y);
    // Presses and releases a key by its X keysym name ("Return", "a"),
    // with Control held when control is set.
    void Key(const char* keysym, bool control = false);
    void Type(const std::string& ascii);
    void Flush();

    // Sends _NET_WM_PING to a window and waits for the toolkit's answer: the
    // time its event loop took to get to it. Nothing on timeout.
    std::optional<Clock::duration> Ping(XWindowId window, std::chrono::milliseconds timeout);

    // As a window manager resizes a window (there is none to ask).
    void Resize(XWindowId window, int width, int height);

    // What the screen shows in a rectangle.
    RgbImage Capture(int x, int y, int width, int height);

private:
    void Handle(void* event);
    void Watch(XWindowId window);

    _XDisplay* m_display = nullptr;
    unsigned long m_root = 0;
    int m_damageEvent = 0;
    unsigned long m_pingAtom = 0, m_protocolsAtom = 0, m_pidAtom = 0, m_cardinalAtom = 0;
    long m_pingSent = 0;
    long m_pingAnswered = 0;
    std::map<XWindowId, WindowState> m_windows;
    std::map<XWindowId, unsigned long> m_damage;
};
