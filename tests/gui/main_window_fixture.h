#pragma once

#include "compact_style.h"
#include "gui_test.h"
#include "main_window.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>
#include <wx/webview.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

// A real main window in a fresh, empty program folder of its own, with a
// watcher on each pane's web view.
class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ApplyCompactStyle(); }

    void SetUp() override {
        TestProxy().ClearRequests();
        TestProxy().SetResponder(nullptr);
        std::string pattern = (std::filesystem::temp_directory_path() / "scoutwell-folder-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        programFolder = pattern;
        window = new MainWindow(programFolder);
        for (PaneIndex i = 0; i < PaneCount; ++i)
            watchers[i] = std::make_unique<LoadWatcher>(window->paneViews[i]->View());
    }

    void TearDown() override {
        TestProxy().SetResponder(nullptr);
        window->Destroy();
        WaitFor([] { return wxTopLevelWindows.empty(); });
        std::error_code ignored;
        std::filesystem::remove_all(programFolder, ignored);
    }

    // Shows the window at the top-left corner of the virtual screen.
    void ShowAtOrigin() {
        window->Move(0, 0);
        window->Show();
        ASSERT_TRUE(
            WaitFor([&] { return window->IsShownOnScreen() && window->GetScreenPosition() == wxPoint(); }));
    }

    // The addresses the panes asked for, sorted, without the icons WebKit asks for of itself.
    static std::vector<std::string> SortedRequests() {
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

    MainWindow* window = nullptr;
    std::filesystem::path programFolder;
    PaneArray<std::unique_ptr<LoadWatcher>> watchers;
};
