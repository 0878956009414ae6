// main() for the GUI tests: starts the toolkit once, with every web view's
// traffic going to a local recording proxy, then runs the tests inside it.

#include "gui_test.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/timer.h>
#include <wx/utils.h>
#include <wx/webview.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<RecordingProxy> g_proxy;
std::unique_ptr<RecordingDesktopHandlers> g_desktop;
std::vector<const std::function<bool(wxDialog*)>*> g_realModalDialogs;

// A modal dialog that no test expects would wait forever for a click under
// Xvfb: turn it into a test failure and dismiss it at once. Tests that expect
// a dialog use wxTEST_DIALOG, whose hook comes first.
class UnexpectedDialogHook : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override {
        for (const auto* allow : g_realModalDialogs) {
            if ((*allow)(dialog))
                return wxID_NONE;
        }
        ADD_FAILURE() << "unexpected modal dialog \"" << dialog->GetTitle().utf8_string()
                      << "\": " << dialog->GetLabel().utf8_string();
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};

class TestApp : public wxApp {
public:
    bool OnInit() override {
        SetExitOnFrameDelete(false);
        return true;
    }
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line)
        << "wx assertion in " << func.utf8_string() << ": " << cond.utf8_string() << " " << msg.utf8_string();
}

} // namespace

RecordingProxy& TestProxy() {
    return *g_proxy;
}

RealModalDialogs::RealModalDialogs(std::function<bool(wxDialog*)> allow) : m_allow(std::move(allow)) {
    g_realModalDialogs.push_back(&m_allow);
}

RealModalDialogs::~RealModalDialogs() {
    std::erase(g_realModalDialogs, &m_allow);
}

bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (predicate())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
}

LoadWatcher::LoadWatcher(wxWebView* view) {
    view->Bind(wxEVT_WEBVIEW_LOADED, [this](wxWebViewEvent& event) {
        m_loaded.push_back(event.GetURL().ToStdWstring());
        event.Skip();
    });
}

bool LoadWatcher::WaitUntilLoaded(const std::wstring& url, std::chrono::milliseconds timeout) {
    return WaitFor([&] { return Last() == url; }, timeout);
}

RecordingDesktopHandlers& TestDesktop() {
    return *g_desktop;
}

bool WaitForDesktopCalls(std::size_t count) {
    return WaitFor([count] { return g_desktop->Calls().size() >= count; });
}

void RunEventLoopFor(std::chrono::milliseconds duration) {
    WaitFor([] { return false; }, duration);
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        std::fprintf(stderr, "The GUI tests need a display and none is set; run them through ./test.sh, "
                             "or under xvfb-run -a -s \"-screen 0 1600x1200x24\".\n");
        return 1;
    }

    // Before the first web view exists: WebKit reads the proxy once.
    g_proxy = std::make_unique<RecordingProxy>();
    setenv("http_proxy", g_proxy->Address().c_str(), 1);
    setenv("https_proxy", g_proxy->Address().c_str(), 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");

    g_desktop = std::make_unique<RecordingDesktopHandlers>();

    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "The toolkit could not start on display %s.\n", std::getenv("DISPLAY"));
        return 1;
    }
    wxSetAssertHandler(FailOnAssert);
    UnexpectedDialogHook unexpectedDialogs;
    unexpectedDialogs.Register();

    const int result = RUN_ALL_TESTS();

    unexpectedDialogs.Unregister();
    wxTheApp->OnExit();
    wxEntryCleanup();
    g_proxy.reset();
    g_desktop.reset();
    return result;
}
