// What a new user meets first: Escape and Ctrl+Q wherever the focus is, a pane's address from its menu, and a
// start that writes nothing to standard error.
#include "main_window_fixture.h"
#include "popup_menu.h"

#include <gtk/gtk.h>
#include <wx/clipbrd.h>

#include <algorithm>

namespace {

class FirstMinutesTest : public MainWindowTest {
protected:
    void TearDown() override {
        if (window != nullptr)
            MainWindowTest::TearDown();
    }

    bool Zoomed(PaneIndex pane) {
        return WaitFor([&] { return window->zoom.zoomedPane == pane; });
    }

    // Right-clicks the middle of pane i and picks the item of that label from its menu.
    void ChooseFromMenu(PaneIndex i, const std::string& label) {
        const wxRect area = window->paneViews[i]->View()->GetScreenRect();
        ASSERT_TRUE(ChooseFromMenuAt(area.GetPosition() + area.GetSize() / 2, label)) << label;
    }

    static wxString ClipboardText() {
        wxTextDataObject text;
        wxClipboardLocker clipboard;
        return !clipboard || !wxTheClipboard->GetData(text) ? wxString() : text.GetText();
    }
};

} // namespace

// A first start showed Altavista, Lycos, Infoseek, Savvy Search and Dogpile, and each list opened at its
// first row.
TEST_F(FirstMinutesTest, AFirstStartShowsTheDefaultEnginesListsThemAtTheirRowAndSearchesThem) {
    TempFolder configDirs{"scoutwell-config-dirs"};
    std::filesystem::create_directories(configDirs.path / "scoutwell");
    std::filesystem::copy_file(DEFAULT_ENGINES_FILE, configDirs.path / "scoutwell/engines.lst");
    std::filesystem::create_directory_symlink(SHIPPED_ENGINES_FOLDER, programFolder / "engines");
    const char* previous = std::getenv("XDG_CONFIG_DIRS");
    const std::string restore = previous != nullptr ? previous : "";
    setenv("XDG_CONFIG_DIRS", configDirs.path.c_str(), 1);
    StartAsTheProgramDoes();
    setenv("XDG_CONFIG_DIRS", restore.c_str(), 1);

    const PaneArray<const char*> names{"Google", "Bing", "Brave Search", "Mojeek", "Wikipedia"};
    const PaneArray<const char*> hosts{"www.google.com:443", "www.bing.com:443", "search.brave.com:443",
                                       "www.mojeek.com:443", "en.wikipedia.org:443"};
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        EXPECT_EQ(window->engineChoosers[i]->GetValue(), names[i]);
        EXPECT_EQ(window->engineChoosers[i]->GetSelection(),
                  window->engineChoosers[i]->FindString(names[i], true));
    }
    window->keywordsBox->ChangeValue(L"new york");
    window->OnSearch();
    for (const char* host : hosts)
        EXPECT_TRUE(WaitFor([&] {
            return std::ranges::count(TestProxy().Requests(), std::string(host)) > 0;
        })) << host;
}

// Escape did nothing after a click on Open: the focus went with the hidden button column.
TEST_F(FirstMinutesTest, EscapePutsAZoomedPaneBackWhereverTheFocusIsAndCtrlQClosesEveryWindow) {
    ShowAtOrigin();
    const std::vector<std::pair<const char*, std::function<void()>>> cases{
        {"after a click on Open", [] {}},
        {"after a click on Load in Web Browser", [&] { Click(window->openInBrowserButton); }},
        {"with no control focused", [&] { gtk_window_set_focus(GTK_WINDOW(window->GetHandle()), nullptr); }},
    };
    for (const auto& [name, then] : cases) {
        Click(window->openButtons[1]);
        ASSERT_TRUE(Zoomed(1)) << name;
        then();
        PressKey(WXK_ESCAPE);
        EXPECT_TRUE(Zoomed(-1)) << name;
    }
    EXPECT_TRUE(TestDesktop().Calls().empty());

    window->OnHelp();
    ASSERT_EQ(wxTopLevelWindows.GetCount(), 2u);
    Click(window->searchButton);
    PressKey('Q', wxMOD_CONTROL);
    EXPECT_TRUE(WaitFor([] { return wxTopLevelWindows.empty(); }));
    window = nullptr;
}

// The address of a page or link was only to be had by zooming and selecting the URL box.
TEST_F(FirstMinutesTest, APanesMenuCopiesAndHandsOnThePagesAndTheLinksAddress) {
    ShowAtOrigin();
    ServePages([](const std::string& url) {
        return url.ends_with("/link") ? WholePage("href='http://elsewhere.test/linked'")
                                      : "<p style='height:100vh'>results</p>";
    });
    ASSERT_TRUE(Show(2, L"http://pages.test/results"));
    ChooseFromMenu(2, "Open Page in Web Browser");
    ASSERT_TRUE(WaitForDesktopCalls(1));
    EXPECT_EQ(TestDesktop().Calls()[0].argument, "http://pages.test/results");
    EXPECT_TRUE(Never([] { return TestDesktop().Calls().size() > 1; }, std::chrono::milliseconds(1000)));
    ChooseFromMenu(2, "Copy Page Address");
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == "http://pages.test/results"; }));

    ASSERT_TRUE(Show(3, L"http://pages.test/link"));
    ChooseFromMenu(3, "Open Link in Web Browser");
    ASSERT_TRUE(WaitForDesktopCalls(2));
    EXPECT_EQ(TestDesktop().Calls()[1].argument, "http://elsewhere.test/linked");
    EXPECT_EQ(window->paneViews[3]->LocationURL(), L"http://pages.test/link");
}

// Every start wrote a dozen "ignored failure in ArrangePanes" lines, from layouts of a window that had no
// size yet.
TEST(QuietStartTest, AStartAndASearchWriteNothingToStandardError) {
    testing::internal::CaptureStderr();
    {
        TempFolder folder{"scoutwell-folder"};
        auto* window = new MainWindow(folder.path);
        LoadWatcher watcher(window->paneViews[4]->View());
        // As a window manager may size a new window on its way to its real size: too low for the strip.
        window->SetSize(200, 60);
        EXPECT_TRUE(WaitFor([&] { return window->GetSize() == wxSize(200, 60); }));
        wxTEST_DIALOG(window->PrepareFirstShow(), wxExpectDismissableModal<SplashWindow>(wxID_OK));
        window->Show();
        window->keywordsBox->ChangeValue(L"new york");
        window->OnSearch();
        EXPECT_TRUE(WaitFor([&] { return !watcher.Last().empty(); }));
        window->Destroy();
        WaitFor([] { return wxTopLevelWindows.empty(); });
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
