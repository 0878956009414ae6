#pragma once

#include "compact_style.h"
#include "gui_test.h"
#include "main_window.h"
#include "splash_window.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/webview.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

// A page that is one big link or element: a click anywhere in the pane follows or runs it.
inline std::string WholePage(const std::string& attributes) {
    return "<body style=\"margin:0\"><a " + attributes +
           " style=\"display:block;width:100vw;height:100vh\">x</a>";
}

// Expects one message box, records what it said and how, and dismisses it with OK.
struct SeenMessageBox {
    wxString message;
    long style = 0;
};

class ExpectMessageBox : public wxExpectModalBase<wxMessageDialog, ExpectMessageBox> {
public:
    explicit ExpectMessageBox(SeenMessageBox* seen) : m_seen(seen) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        m_seen->message = dialog->GetMessage();
        m_seen->style = dialog->GetMessageDialogStyle();
        return wxID_OK;
    }

private:
    SeenMessageBox* m_seen;
};

// A real main window in a fresh program folder of its own, with a watcher on each pane's view.
class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ApplyCompactStyle(); }

    void SetUp() override {
        TestProxy().ClearRequests();
        TestProxy().SetResponder(nullptr);
        TestDesktop().ForgetCalls();
        OpenWindow();
    }

    void OpenWindow() {
        window = new MainWindow(programFolder);
        for (PaneIndex i = 0; i < PaneCount; ++i)
            watchers[i] = std::make_unique<LoadWatcher>(window->paneViews[i]->View());
    }

    void TearDown() override { // a test that closed the window sets it to nullptr
        TestProxy().SetResponder(nullptr);
        if (window != nullptr)
            window->Destroy();
        WaitFor([] { return wxTopLevelWindows.empty(); });
    }

    // A new start: the old window goes and a new one reads the same folders.
    void Restart() {
        window->Destroy();
        ASSERT_TRUE(WaitFor([] { return wxTopLevelWindows.empty(); }));
        OpenWindow();
        StartAsTheProgramDoes();
    }

    void ShowAtOrigin() {
        window->Move(0, 0);
        window->Show();
        ASSERT_TRUE(
            WaitFor([&] { return window->IsShownOnScreen() && window->GetScreenPosition() == wxPoint(); }));
    }

    // As the program starts: the splash dismissed, the window shown, every chooser's list filled.
    void StartAsTheProgramDoes() {
        wxTEST_DIALOG(window->PrepareFirstShow(), wxExpectDismissableModal<SplashWindow>(wxID_OK));
        ShowAtOrigin();
        ASSERT_TRUE(WaitFor([&] { return window->AllEnginesListed(); }));
    }

    static void ServePages(std::function<std::string(const std::string&)> body) {
        TestProxy().SetResponder(
            [body](const std::string& url) { return RecordingProxy::Response{.body = body(url)}; });
    }

    bool Show(PaneIndex i, const std::wstring& url) {
        window->paneViews[i]->Navigate(url);
        return watchers[i]->WaitUntilLoaded(url);
    }

    void PressDownInEmptyKeywordBox(int modifiers = wxMOD_NONE) {
        window->keywordsBox->Clear();
        window->keywordsBox->SetFocus();
        PressKey(WXK_DOWN, modifiers);
    }

    MainWindow* window = nullptr;
    TempFolder programTemp{"scoutwell-folder"};
    std::filesystem::path programFolder = programTemp.path;
    PaneArray<std::unique_ptr<LoadWatcher>> watchers;
};
