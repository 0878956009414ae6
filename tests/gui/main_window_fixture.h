#pragma once

#include "compact_style.h"
#include "gui_test.h"
#include "main_window.h"

#include <gtest/gtest.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/webview.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

// A real main window, shown at the top-left corner of the virtual screen,
// with a watcher on each pane's web view. Clicks and typing go through the
// toolkit as a user's would.
class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ApplyCompactStyle(); }

    void SetUp() override {
        TestProxy().ClearRequests();
        TestProxy().SetResponder(nullptr);
        std::string pattern = (std::filesystem::temp_directory_path() / "scoutwell-folder-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        programFolder = pattern;
        form = new MainWindow(programFolder);
        for (PaneIndex i = 0; i < PaneCount; ++i)
            watchers[i] = std::make_unique<LoadWatcher>(form->paneViews[i]->View());
    }

    void TearDown() override {
        TestProxy().SetResponder(nullptr);
        form->Destroy();
        RunEventLoopFor(std::chrono::milliseconds(50));
        std::error_code ignored;
        std::filesystem::remove_all(programFolder, ignored);
    }

    void ShowAtOrigin() {
        form->Move(0, 0);
        form->Show();
        WaitFor([&] { return form->IsShownOnScreen(); });
        RunEventLoopFor(std::chrono::milliseconds(200));
    }

    // Moves the pointer to the middle of window (keys reach a window only
    // while the pointer is over it on a bare X server) and clicks there.
    void Click(wxWindow* window, wxPoint offset = wxDefaultPosition) {
        const wxRect rect = window->GetScreenRect();
        const wxPoint at = offset == wxDefaultPosition ? rect.GetPosition() + rect.GetSize() / 2
                                                       : rect.GetPosition() + offset;
        m_simulator.MouseMove(at);
        RunEventLoopFor(std::chrono::milliseconds(50));
        m_simulator.MouseClick();
        RunEventLoopFor(std::chrono::milliseconds(100));
    }

    void Type(const char* text) {
        m_simulator.Text(text);
        RunEventLoopFor(std::chrono::milliseconds(100));
    }

    void PressKey(int key, int modifiers = wxMOD_NONE) {
        m_simulator.Char(key, modifiers);
        RunEventLoopFor(std::chrono::milliseconds(100));
    }

    // Replaces a text box's or chooser's text as a user would: click, select
    // all, type.
    void TypeInto(wxWindow* box, const char* text) {
        Click(box, wxPoint(10, box->GetSize().y / 2));
        PressKey('A', wxMOD_CONTROL);
        Type(text);
    }

    std::vector<std::string> SortedRequests() const {
        auto requests = TestProxy().Requests();
        std::erase_if(requests,
                      [](const std::string& url) { return url.find("favicon") != std::string::npos; });
        std::sort(requests.begin(), requests.end());
        return requests;
    }

#ifdef STARTUP_PROBE_PROGRAM
    // What a new start of the program, in a process of its own, shows: the
    // five chooser texts (then, with "--lists", the five lists).
    std::vector<std::string> NewStart(const char* options = "") const {
        const std::string command =
            std::string(STARTUP_PROBE_PROGRAM) + " '" + programFolder.string() + "' " + options;
        std::vector<std::string> lines;
        if (FILE* probe = popen(command.c_str(), "r")) {
            for (char buffer[4096]; std::fgets(buffer, sizeof buffer, probe) != nullptr;)
                lines.emplace_back(buffer, std::strcspn(buffer, "\n"));
            EXPECT_EQ(pclose(probe), 0);
        }
        return lines;
    }
#endif

    MainWindow* form = nullptr;
    std::filesystem::path programFolder; // a fresh, empty one for each test
    PaneArray<std::unique_ptr<LoadWatcher>> watchers;

private:
    wxUIActionSimulator m_simulator;
};
