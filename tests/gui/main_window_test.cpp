#include "main_window_fixture.h"
#include "page_guard.h"
#include "splash_window.h"
#include "wx_placement.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include <wx/clipbrd.h>
#include <wx/display.h>
#include <wx/panel.h>
#include <wx/testing.h>

namespace {

// Texts typed into the choosers pick their engines; Enter there searches nothing.
TEST_F(MainWindowTest, ASearchClickSearchesEveryPaneOnceWithTheEnginesTypedIntoTheChoosers) {
    ShowAtOrigin();
    const auto pageRequests = [] { // without the icons WebKit asks for of itself
        return std::ranges::count_if(TestProxy().Requests(),
                                     [](auto& url) { return !url.ends_with("favicon.ico"); });
    };
    ASSERT_TRUE(TypeInto(window->engineChoosers[1], "yahoo"));
    PressKey(WXK_RETURN);
    ASSERT_TRUE(TypeInto(window->engineChoosers[3], "Hot"));
    ASSERT_TRUE(TypeInto(window->keywordsBox, "new york"));
    EXPECT_TRUE(Never([] { return !TestProxy().Requests().empty(); }, 300ms));
    Click(window->searchButton); // which engine a text names is the catalogue's own test
    EXPECT_TRUE(watchers[1]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=new+york"));
    EXPECT_TRUE(
        WaitFor([&] { return watchers[3]->Last().starts_with(L"http://www.hotbot.com/?MT=new+york&"); }));
    EXPECT_TRUE(WaitFor([&] { return pageRequests() == PaneCount; }));
    EXPECT_TRUE(Never([&] { return pageRequests() > PaneCount; }, 300ms));
}

// wx's handler of a new-window request ended the program; at most one address a click goes to the desktop.
TEST_F(MainWindowTest, NewWindowRequestsGoToTheDesktopBrowserAndPlainLinksStayInThePane) {
    ShowAtOrigin();
    ServePages([](const std::string& url) {
        return url.ends_with("/unasked")
                   ? "<script>window.open('http://elsewhere.test/unasked')</script>"
                   : WholePage(url.ends_with("/blank")
                                   ? "href='http://elsewhere.test/outside' target='_blank'"
                               : url.ends_with("/file")  ? "href='file:///etc/passwd' target='_blank'"
                               : url.ends_with("/plain") ? "href='http://elsewhere.test/inside'"
                                                         : "onclick=\"for (let i = 0; i < 200; ++i) "
                                                           "window.open('http://elsewhere.test/' + i)\"");
    });
    window->paneViews[0]->Navigate(L"http://pages.test/unasked");
    // Pane, page, how many addresses the desktop has had since the start, the last of them.
    for (const auto& [pane, page, calls, handed] :
         {std::tuple{1, L"http://pages.test/blank", 1u, "http://elsewhere.test/outside"},
          {2, L"http://pages.test/file", 1u, "http://elsewhere.test/outside"},
          {4, L"http://pages.test/flood", 2u, "http://elsewhere.test/0"}}) {
        ASSERT_TRUE(Show(pane, page));
        Click(window->paneViews[pane]->View());
        ASSERT_TRUE(WaitForDesktopCalls(calls));
        ASSERT_TRUE(Never([&] { return TestDesktop().Calls().size() > calls; }, 500ms)) << wxString(page);
        EXPECT_EQ(TestDesktop().Calls().back().argument, handed);
        EXPECT_EQ(window->paneViews[pane]->LocationURL(), page);
    }
    ASSERT_TRUE(Show(3, L"http://pages.test/plain"));
    Click(window->paneViews[3]->View());
    EXPECT_TRUE(watchers[3]->WaitUntilLoaded(L"http://elsewhere.test/inside"));

    EXPECT_EQ(wxTopLevelWindows.GetCount(), 1u);
}

// Once the web processes have grown (what a page left stays there), a pane's next search comes in a fresh
// process, with no note, and Back and Fwd still go over the pages before it.
TEST_F(MainWindowTest, AGrownPaneGetsAFreshProcessAndKeepsItsHistory) {
    const long bound = SetWebProcessGrowthBound(-1); // grown whatever the pages hold
    ServePages([](const std::string& url) { return "<title>" + url + "</title>"; });
    auto* view = static_cast<WebKitWebView*>(window->paneViews[0]->View()->GetNativeBackend());
    int renewals = 0;
    const auto onEnded = +[](WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer count) {
        *static_cast<int*>(count) += reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API;
    };
    g_signal_connect(view, "web-process-terminated", G_CALLBACK(onEnded), &renewals);
    const auto page = [](int i) { return "http://pages.example/" + std::to_string(i); };
    for (int i = 0; i < 32; ++i)
        ASSERT_TRUE(Show(0, wxString(page(i)).ToStdWstring())) << i;
    SetWebProcessGrowthBound(bound);
    EXPECT_GE(renewals, 1);
    const auto shows = [&](int i) {
        return WaitFor([&] { return window->paneViews[0]->View()->GetCurrentTitle() == page(i); });
    };
    for (int i = 30; i >= 27; --i) {
        window->OnBack(0);
        EXPECT_TRUE(shows(i)) << i;
    }
    window->OnForward(0);
    EXPECT_TRUE(shows(28));
    g_signal_handlers_disconnect_by_data(view, &renewals);
}

// What a new user meets first: Escape and Ctrl+Q anywhere, a pane's address from its menu, a quiet start.
using FirstMinutesTest = MainWindowTest;

// A first start showed the old catalogue's engines, and each list opened at its first row.
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
    const auto zoomed = [&](PaneIndex pane) {
        return WaitFor([&] { return window->zoom.zoomedPane == pane; });
    };
    const std::vector<std::pair<const char*, std::function<void()>>> cases{
        {"after a click on Open", [] {}},
        {"after a click on Load in Web Browser", [&] { Click(window->openInBrowserButton); }},
        {"with no control focused", [&] { gtk_window_set_focus(GTK_WINDOW(window->GetHandle()), nullptr); }},
    };
    for (const auto& [name, then] : cases) {
        Click(window->openButtons[1]);
        ASSERT_TRUE(zoomed(1)) << name;
        then();
        PressKey(WXK_ESCAPE);
        EXPECT_TRUE(zoomed(-1)) << name;
    }

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
    ASSERT_TRUE(ChooseFromMenu(window->paneViews[2]->View(), "Open Page in Web Browser"));
    ASSERT_TRUE(WaitForDesktopCalls(1));
    EXPECT_EQ(TestDesktop().Calls()[0].argument, "http://pages.test/results");
    EXPECT_TRUE(Never([] { return TestDesktop().Calls().size() > 1; }, 1000ms)); // one address a second
    ASSERT_TRUE(ChooseFromMenu(window->paneViews[2]->View(), "Copy Page Address"));
    const auto clipboardText = [] {
        wxTextDataObject text;
        wxClipboardLocker clipboard;
        return !clipboard || !wxTheClipboard->GetData(text) ? wxString() : text.GetText();
    };
    EXPECT_TRUE(WaitFor([&] { return clipboardText() == "http://pages.test/results"; }));

    ASSERT_TRUE(Show(3, L"http://pages.test/link"));
    ASSERT_TRUE(ChooseFromMenu(window->paneViews[3]->View(), "Open Link in Web Browser"));
    ASSERT_TRUE(WaitForDesktopCalls(2));
    EXPECT_EQ(TestDesktop().Calls()[1].argument, "http://elsewhere.test/linked");
    EXPECT_EQ(window->paneViews[3]->LocationURL(), L"http://pages.test/link");
}

// Every start wrote a dozen "ignored failure in ArrangePanes" lines, from layouts of a window with no size.
TEST(QuietStartTest, AStartBehindTheSplashAndASearchWriteNothingToStandardError) {
    TestProxy().ClearRequests();
    testing::internal::CaptureStderr();
    {
        TempFolder folder{"scoutwell-folder"};
        auto* window = new MainWindow(folder.path);
        LoadWatcher watcher(window->paneViews[4]->View());
        // As a window manager may size a new window on its way to its real size: too low for the strip.
        window->SetSize(200, 60);
        EXPECT_TRUE(WaitFor([&] { return window->GetSize() == wxSize(200, 60); }));
        window->zoom.zoomedPane = 3; // whatever it was, loading starts unzoomed
        // The work behind a splash closed at once runs right after it (the splash's test): still hidden.
        wxTEST_DIALOG(window->PrepareFirstShow(), wxExpectDismissableModal<SplashWindow>(wxID_OK));
        EXPECT_TRUE(!window->IsShown() && window->zoom.zoomedPane == -1);
        EXPECT_EQ(window->GetRect(), wxDisplay().GetGeometry()); // no window manager: the whole screen
        EXPECT_GT(WxPlacement(window->paneViews[4]->View()).Top(), 6975);
        window->Show();
        EXPECT_TRUE(Never([] { return !TestProxy().Requests().empty(); }, 500ms));
        window->keywordsBox->ChangeValue(L"new york");
        window->OnSearch();
        EXPECT_TRUE(WaitFor([&] { return !watcher.Last().empty(); }));
        window->Destroy();
        WaitFor([] { return wxTopLevelWindows.empty(); });
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

class ZoomTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ShowAtOrigin();
        SetSize(800, 600);
    }

    void SetSize(int width, int height) {
        window->SetSize(width, height);
        ASSERT_TRUE(WaitFor([&] { return window->GetSize() == wxSize(width, height); }));
    }

    using Rect = std::array<float, 4>;
    Rect View(PaneIndex i) const {
        const WxPlacement view(window->paneViews[i]->View());
        return {view.Left(), view.Top(), view.Width(), view.Height()};
    }

    // Whether pane z alone fills the window (or, for -1, every pane shows in its row).
    bool ZoomedOn(PaneIndex z) const {
        bool agrees = window->zoom.zoomedPane == z && window->urlBar->IsShown() == (z >= 0) &&
                      window->searchPanel->IsShown() == (z < 0);
        for (PaneIndex k = 0; k < PaneCount; ++k) {
            const bool shown = z < 0 || k == z;
            agrees = agrees && window->paneButtonColumns[k]->IsShown() == shown &&
                     window->paneViews[k]->Visible() == shown &&
                     window->openButtons[k]->GetLabel() == (k == z ? L"Close" : L"Open");
        }
        return agrees;
    }
};

TEST_F(ZoomTest, OpenFillsTheWindowWithOnePaneAcrossAResizeAndCloseRestoresTheRows) {
    const Rect row = View(2);
    ASSERT_TRUE(Show(2, L"http://pages.test/two"));
    Click(window->openButtons[2]);
    ASSERT_TRUE(WaitFor([&] { return ZoomedOn(2); }));
    const Rect zoomed = View(2); // as wide as a row, from above the first row, most of the window high
    EXPECT_TRUE(zoomed[0] == row[0] && zoomed[2] == row[2]);
    EXPECT_TRUE(zoomed[1] < row[1] - 2 * row[3] && zoomed[3] > 4 * row[3]);
    EXPECT_FLOAT_EQ(WxPlacement(window->paneButtonColumns[2]).Top(), row[1]); // its column stays
    SetSize(900, 765);
    EXPECT_TRUE(ZoomedOn(2));
    EXPECT_GT(View(2)[3], zoomed[3]);
    const Rect hidden = View(1);
    window->OnOpenOrClosePane(2);
    ASSERT_TRUE(ZoomedOn(-1));
    EXPECT_EQ(View(1), hidden);
    SetSize(800, 600);
    EXPECT_EQ(View(2), row);
}

TEST_F(ZoomTest, TheUrlBoxFollowsTheZoomedPanesPageWhoseWebAddressAloneGoesToTheDesktopOrItsFailureIsShown) {
    ASSERT_TRUE(Show(1, L"file:///etc/hostname"));
    for (const wchar_t* url : {L"http://pages.test/two", L"data:text/html,hello"}) // a history of its own
        ASSERT_TRUE(Show(2, url));
    ASSERT_TRUE(Show(0, L"http://pages.test/start"));
    window->OnOpenOrClosePane(0);
    EXPECT_EQ(window->urlBox->GetValue(), L"http://pages.test/start");
    ASSERT_TRUE(window->paneViews[0]->View()->RunScript("document.getElementById('next').click()"));
    ASSERT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/next"));
    EXPECT_TRUE(WaitFor([&] { return window->urlBox->GetValue() == L"http://pages.test/next"; }));
    window->urlBox->ChangeValue("file:///etc/passwd");
    Click(window->openInBrowserButton);
    ASSERT_TRUE(WaitForDesktopCalls(1));
    EXPECT_EQ(TestDesktop().Calls()[0].argument, "http://pages.test/next");
    EXPECT_TRUE(WaitFor([&] { return window->urlBox->GetValue() == L"http://pages.test/next"; }));
    window->OnOpenOrClosePane(0);
    for (PaneIndex i : {1, 2, 3}) { // pane 3 has shown nothing
        window->OnOpenOrClosePane(i);
        window->OnOpenInBrowser();
        window->OnOpenOrClosePane(i);
    }
    EXPECT_TRUE(
        Never([&] { return TestDesktop().Calls().size() > 1 || window->paneViews[3]->LocationURL() != L""; },
              800ms));

    window->OnOpenOrClosePane(0); // a desktop that cannot open the page says so
    TestDesktop().RemoveHandlerCommand();
    SeenMessageBox seen;
    wxTEST_DIALOG(window->OnOpenInBrowser(), ExpectMessageBox(&seen));
    TestDesktop().WriteHandlerCommand();
    EXPECT_TRUE(seen.message.Contains(L"http://pages.test/next") && (seen.style & wxICON_ERROR))
        << seen.message;
}

} // namespace
