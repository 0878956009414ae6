// main() for the GUI tests: starts the toolkit once, web traffic going to the recording proxy.

#include "gui_test.h"
#include "temp_folder.h"
#include "wx_desktop.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/eventfilter.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/modalhook.h>
#include <wx/textentry.h>
#include <wx/uiaction.h>
#include <wx/utils.h>
#include <wx/webview.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

std::unique_ptr<RecordingProxy> g_proxy;
std::unique_ptr<RecordingDesktopHandlers> g_desktop;

// An unexpected modal dialog would wait forever under Xvfb: fail and dismiss it at once.
class UnexpectedDialogHook : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override {
        if (showForReal && showForReal(dialog))
            return wxID_NONE;
        ADD_FAILURE() << "unexpected modal dialog \"" << dialog->GetTitle().utf8_string()
                      << "\": " << dialog->GetLabel().utf8_string();
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};

// Counts the clicks buttons have reported (a moment after the mouse button's release).
class ClickCounter : public wxEventFilter {
public:
    int FilterEvent(wxEvent& event) override {
        buttons += event.GetEventType() == wxEVT_BUTTON;
        return Event_Skip;
    }
    int buttons = 0;
};

ClickCounter g_clicks;

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line)
        << "wx assertion in " << func.utf8_string() << ": " << cond.utf8_string() << " " << msg.utf8_string();
}

// WebKit's first start fills XDG_CACHE_HOME, seconds more on a new machine: CTest runs this once before.
int WarmUp() {
    auto* frame = new wxFrame(nullptr, wxID_ANY, L"warm-up");
    wxWebView* view = wxWebView::New(frame, wxID_ANY, wxString());
    frame->Show();
    // The title changes once the text has been laid out and a frame drawn.
    view->SetPage(L"<!doctype html><body style='font:16px sans-serif'><p>Text <b>bold</b> <i>italic</i> "
                  L"<code>mono</code> <span style='font-family:serif'>serif</span></p><audio></audio>"
                  L"<script>requestAnimationFrame(() => requestAnimationFrame(() => "
                  L"document.title = 'drawn'))</script>",
                  L"http://warm-up.example/");
    const bool drawn = WaitFor([&] { return view->GetCurrentTitle() == L"drawn"; }, 110s);
    frame->Destroy();
    WaitFor([] { return wxTopLevelWindows.empty(); });
    return drawn ? 0 : 1;
}

// The label of the item selected in the open popup menu, which holds the pointer's grab; "" when none is.
std::string SelectedMenuItem() {
    GtkWidget* menu = gtk_grab_get_current();
    GtkWidget* item = GTK_IS_MENU(menu) ? gtk_menu_shell_get_selected_item(GTK_MENU_SHELL(menu)) : nullptr;
    const char* label = item != nullptr ? gtk_menu_item_get_label(GTK_MENU_ITEM(item)) : nullptr;
    return label != nullptr ? label : "";
}

} // namespace

std::function<bool(wxDialog*)> showForReal;

RecordingProxy& TestProxy() {
    return *g_proxy;
}

bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
    return true;
}

RecordingDesktopHandlers& TestDesktop() {
    return *g_desktop;
}

void ClickAt(wxPoint screenPoint, int button) {
    wxUIActionSimulator simulator;
    simulator.MouseMove(screenPoint);
    EXPECT_TRUE(WaitFor([&] { return wxGetMousePosition() == screenPoint; }, 2s));
    simulator.MouseClick(button == 1 ? wxMOUSE_BTN_LEFT : wxMOUSE_BTN_RIGHT);
    EXPECT_TRUE(WaitFor([] { return !wxGetMouseState().ButtonIsDown(wxMOUSE_BTN_ANY); }, 2s));
}

void Click(wxWindow* window) {
    const wxRect rect = window->GetScreenRect();
    const int buttons = g_clicks.buttons;
    ClickAt(rect.GetPosition() + rect.GetSize() / 2);
    if (dynamic_cast<wxButton*>(window) != nullptr && window->IsEnabled()) {
        EXPECT_TRUE(WaitFor([&] { return g_clicks.buttons > buttons; }, 5s));
    }
}

void PressKey(int key, int modifiers) {
    wxUIActionSimulator().Char(key, modifiers);
    wxTheApp->Yield(true);
}

bool TypeInto(wxWindow* box, const char* text) {
    ClickAt(box->GetScreenPosition() + wxPoint(10, box->GetSize().y / 2));
    PressKey('A', wxMOD_CONTROL);
    wxUIActionSimulator().Text(text);
    return WaitFor([&] { return dynamic_cast<wxTextEntry*>(box)->GetValue() == text; });
}

bool ChooseFromMenu(wxWindow* window, const std::string& label) {
    const wxRect rect = window->GetScreenRect();
    ClickAt(rect.GetPosition() + rect.GetSize() / 2, 3);
    if (!WaitFor([] { return GTK_IS_MENU(gtk_grab_get_current()); }))
        return false;
    for (int step = 0; step < 30 && SelectedMenuItem() != label; ++step) {
        const std::string before = SelectedMenuItem();
        PressKey(WXK_UP);
        WaitFor([&] { return SelectedMenuItem() != before; }, 1000ms);
    }
    if (SelectedMenuItem() != label) {
        PressKey(WXK_ESCAPE);
        return false;
    }
    PressKey(WXK_RETURN);
    return true;
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

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    // WebKit reads the proxy once, before the first web view.
    g_proxy = std::make_unique<RecordingProxy>();
    setenv("http_proxy", g_proxy->Address().c_str(), 1);
    setenv("https_proxy", g_proxy->Address().c_str(), 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");
    g_desktop = std::make_unique<RecordingDesktopHandlers>();
    // The tests' searches are kept as recent searches: in a folder of the run's own, not the user's.
    const TempFolder state("scoutwell-state");
    setenv("XDG_STATE_HOME", state.path.c_str(), 1);

    // The toolkit would refuse an argument of ours.
    const bool warmUp = argc > 1 && std::strcmp(argv[1], "--warm-up") == 0;
    if (warmUp)
        argc = 1;
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr,
                     "The toolkit could not start: run the GUI tests through ./test.sh or xvfb-run.\n");
        return 1;
    }
    wxTheApp->SetExitOnFrameDelete(false);
    // wx would keep its warnings for a message box at exit, which nothing closes here.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    FollowDesktopTextSize();
    TurnOffKeyRepeat();
    wxSetAssertHandler(FailOnAssert);
    UnexpectedDialogHook unexpectedDialogs;
    unexpectedDialogs.Register();
    wxEvtHandler::AddFilter(&g_clicks);
    const int result = warmUp ? WarmUp() : RUN_ALL_TESTS();
    unexpectedDialogs.Unregister();
    wxEvtHandler::RemoveFilter(&g_clicks);
    wxTheApp->OnExit();
    wxEntryCleanup();
    g_proxy.reset();
    g_desktop.reset();
    return result;
}
