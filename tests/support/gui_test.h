#pragma once

#include "recording_proxy.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class wxWebView;

// The proxy every web view of this test process talks to. It exists before the
// first view is created.
RecordingProxy& TestProxy();

// Runs the event loop until predicate holds or timeout passes; returns whether
// it held. Never a bare sleep: timers, web views and window events all go on.
bool WaitFor(const std::function<bool()>& predicate,
             std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

// Lets the event loop run for a while with no condition: for "nothing must
// happen" checks.
void RunEventLoopFor(std::chrono::milliseconds duration);

// Records the address of every page a web view reports as loaded.
class LoadWatcher {
public:
    explicit LoadWatcher(wxWebView* view);
    const std::vector<std::wstring>& Loaded() const { return m_loaded; }
    std::wstring Last() const { return m_loaded.empty() ? std::wstring() : m_loaded.back(); }
    // Waits until the view has finished loading url.
    bool WaitUntilLoaded(const std::wstring& url, std::chrono::milliseconds timeout = std::chrono::milliseconds(15000));

private:
    std::vector<std::wstring> m_loaded;
};
