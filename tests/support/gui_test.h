#pragma once

#include "desktop_handlers.h"
#include "recording_proxy.h"

#include <wx/gdicmn.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

using namespace std::chrono_literals;

class wxDialog;
class wxWebView;
class wxWindow;

// The proxy every web view talks to, and the desktop that records each address handed to it.
RecordingProxy& TestProxy();
RecordingDesktopHandlers& TestDesktop();

// Runs the event loop until predicate holds or timeout passes; returns whether it held.
bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout = 10000ms);
inline bool WaitForDesktopCalls(std::size_t count) { // at least count addresses recorded
    return WaitFor([count] { return TestDesktop().Calls().size() >= count; });
}
// Whether predicate stays false for all of duration: for "nothing must happen" checks.
inline bool Never(const std::function<bool()>& predicate, std::chrono::milliseconds duration) {
    return !WaitFor(predicate, duration);
}

// Input through the X server: keys go to the window under the pointer; a button's click waits for its report.
void ClickAt(wxPoint screenPoint, int button = 1);
void Click(wxWindow* window); // in the middle
void PressKey(int key, int modifiers = 0);
// Click, select all, type; waits until the box shows the text.
bool TypeInto(wxWindow* box, const char* text);
// Right-clicks the middle of window and picks the item of that label from its menu; whether it was there.
bool ChooseFromMenu(wxWindow* window, const std::string& label);

// The X server's: key repeat turned off for the run; the titles of the windows shown, bottom to top.
void TurnOffKeyRepeat();
std::vector<std::string> StackedWindowTitles();

// An unexpected modal dialog fails the test, unless showForReal holds for it.
extern std::function<bool(wxDialog*)> showForReal;

class LoadWatcher {
public:
    explicit LoadWatcher(wxWebView* view);
    const std::vector<std::wstring>& Loaded() const { return m_loaded; }
    std::wstring Last() const { return m_loaded.empty() ? std::wstring() : m_loaded.back(); }
    bool WaitUntilLoaded(const std::wstring& url, std::chrono::milliseconds timeout = 15000ms);

private:
    std::vector<std::wstring> m_loaded;
};
