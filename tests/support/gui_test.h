#pragma once

#include "desktop_handlers.h"
#include "recording_proxy.h"

#include <wx/gdicmn.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class wxDialog;
class wxWebView;
class wxWindow;

// The proxy every web view of this test process talks to. It exists before the
// first view is created.
RecordingProxy& TestProxy();

// The desktop every hand-off of this test process goes to: its handler for
// web and mail addresses records each address it is given. In place before
// the toolkit starts, as GLib requires.
RecordingDesktopHandlers& TestDesktop();
// Waits until the handler has recorded at least count addresses.
bool WaitForDesktopCalls(std::size_t count);

// The desktop every hand-off of this test process goes to: its handler for
// web and mail addresses records each address it is given. In place before
// the toolkit starts, as GLib requires.
RecordingDesktopHandlers& TestDesktop();
// Waits until the handler has recorded at least count addresses.
bool WaitForDesktopCalls(std::size_t count);

// Runs the event loop until predicate holds or timeout passes; returns whether
// it held. Never a bare sleep: timers, web views and window events all go on.
bool WaitFor(const std::function<bool()>& predicate,
             std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

// Lets the event loop run for a while with no condition: only for "nothing
// must happen" checks.
void RunEventLoopFor(std::chrono::milliseconds duration);

// Input as a user gives it, through the X server. Without a window manager
// keys go to the window under the pointer, so a click leaves it there. A
// click returns once the X server has it, a click on a button once the button
// has reported it; for anything else the test waits for the effect.
void ClickAt(wxPoint screenPoint, int button = 1);
void Click(wxWindow* window, wxPoint offset = wxDefaultPosition); // the middle by default
void PressKey(int key, int modifiers = 0);
// Replaces a text box's text as a user would (click, select all, type) and
// waits until the box shows it.
bool TypeInto(wxWindow* box, const char* text);

// A modal dialog that a test does not expect fails the test and is dismissed
// at once (tests that expect one use wxTEST_DIALOG); the dialogs for which
// showForReal holds are shown for real instead, until it is reset.
extern std::function<bool(wxDialog*)> showForReal;

// Records the address of every page a web view reports as loaded.
class LoadWatcher {
public:
    explicit LoadWatcher(wxWebView* view);
    const std::vector<std::wstring>& Loaded() const { return m_loaded; }
    std::wstring Last() const { return m_loaded.empty() ? std::wstring() : m_loaded.back(); }
    bool WaitUntilLoaded(const std::wstring& url,
                         std::chrono::milliseconds timeout = std::chrono::milliseconds(15000));

private:
    std::vector<std::wstring> m_loaded;
};
