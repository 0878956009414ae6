#pragma once

#include "desktop_handlers.h"
#include "recording_proxy.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class wxDialog;
class wxWebView;

// The proxy every web view of this test process talks to. It exists before the
// first view is created.
RecordingProxy& TestProxy();

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

// Lets the event loop run for a while with no condition: for "nothing must
// happen" checks.
void RunEventLoopFor(std::chrono::milliseconds duration);

// A modal dialog that a test does not expect fails the test and is dismissed
// at once (tests that expect one use wxTEST_DIALOG). While an object of this
// class lives, modal dialogs for which allow(dialog) holds are shown for real
// instead, for tests of the dialog itself.
class RealModalDialogs {
public:
    explicit RealModalDialogs(std::function<bool(wxDialog*)> allow);
    ~RealModalDialogs();
    RealModalDialogs(const RealModalDialogs&) = delete;
    RealModalDialogs& operator=(const RealModalDialogs&) = delete;

private:
    std::function<bool(wxDialog*)> m_allow;
};

// Records the address of every page a web view reports as loaded.
class LoadWatcher {
public:
    explicit LoadWatcher(wxWebView* view);
    const std::vector<std::wstring>& Loaded() const { return m_loaded; }
    std::wstring Last() const { return m_loaded.empty() ? std::wstring() : m_loaded.back(); }
    // Waits until the view has finished loading url.
    bool WaitUntilLoaded(const std::wstring& url,
                         std::chrono::milliseconds timeout = std::chrono::milliseconds(15000));

private:
    std::vector<std::wstring> m_loaded;
};
