#include "main_window_fixture.h"
#include "page_guard.h"
#include "splash_window.h"
#include "wx_placement.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/display.h>
#include <wx/panel.h>
#include <wx/testing.h>

// Texts typed into the choosers pick their engines; Enter there searches nothing. (Enter in the keyword box
// searching every pane once is the recent searches' test.)
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
    EXPECT_TRUE(Never([] { return !TestProxy().Requests().empty(); }, std::chrono::milliseconds(300)));
    Click(window->searchButton); // which engine a text names is the catalogue's own test
    EXPECT_TRUE(watchers[1]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=new+york"));
    EXPECT_TRUE(
        WaitFor([&] { return watchers[3]->Last().starts_with(L"http://www.hotbot.com/?MT=new+york&"); }));
    EXPECT_TRUE(WaitFor([&] { return pageRequests() == PaneCount; }));
    EXPECT_TRUE(Never([&] { return pageRequests() > PaneCount; }, std::chrono::milliseconds(300)));
}

// wx's own handler of a new-window request ended the program; web addresses go to the desktop, at most one a
// click however many a page asks for, none without a click.
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
        ASSERT_TRUE(
            Never([&] { return TestDesktop().Calls().size() > calls; }, std::chrono::milliseconds(500)))
            << wxString(page);
        EXPECT_EQ(TestDesktop().Calls().back().argument, handed);
        EXPECT_EQ(window->paneViews[pane]->LocationURL(), page);
    }
    ASSERT_TRUE(Show(3, L"http://pages.test/plain"));
    Click(window->paneViews[3]->View());
    EXPECT_TRUE(watchers[3]->WaitUntilLoaded(L"http://elsewhere.test/inside"));

    EXPECT_EQ(wxTopLevelWindows.GetCount(), 1u);
}

namespace {

// What a result page leaves behind in its web process stays there after the page is left: once the web
// processes have grown, a pane's next search comes in a fresh process, with no note, and Back and Fwd still
// go over the pages before it.
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

using BadInputTest = MainWindowTest;

void UseYahooEverywhere(MainWindow* window) {
    for (auto* chooser : window->engineChoosers)
        chooser->ChangeValue("Yahoo");
}

} // namespace

// Input no user means to give, and more than anyone would: the program keeps working and consistent.
TEST_F(BadInputTest, AHugeKeywordTextReachesTheEngineAndTheWindowStaysUsable) {
    ShowAtOrigin();
    UseYahooEverywhere(window);
    const std::string prefix = "http://search.yahoo.com/bin/search?p=";
    // A megabyte: the box holds what the toolkit's text box can (about 64K characters), all of it sent.
    window->keywordsBox->ChangeValue(wxString(std::string(1 << 20, 'k')));
    window->OnSearch();
    ASSERT_TRUE(WaitFor([&] { return TestProxy().Requests().size() >= 5; }, std::chrono::seconds(30)));
    EXPECT_EQ(TestProxy().Requests()[0].size(), prefix.size() + window->keywordsBox->GetValue().length());
    ASSERT_TRUE(TypeInto(window->keywordsBox, "after"));
    PressKey(WXK_RETURN);
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_TRUE(watchers[i]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=after")) << i;
}

TEST_F(BadInputTest, SearchZoomAndResizeStormsWhilePagesLoadLeaveAConsistentWindow) {
    ShowAtOrigin();
    UseYahooEverywhere(window);
    TestProxy().SetResponder([](const std::string& url) {
        auto page = RecordingProxy::DefaultPage(url);
        page.delay = std::chrono::milliseconds(30); // searches overlap loads
        return page;
    });
    std::wstring lastSearch;
    for (int n = 0; n < 300; ++n) {
        window->keywordsBox->ChangeValue(wxString::Format("storm%d", n));
        if (window->zoom.zoomedPane < 0) {
            window->OnSearch();
            lastSearch = L"http://search.yahoo.com/bin/search?p=storm" + std::to_wstring(n);
        }
        // Only the buttons a user can reach: while a pane is zoomed, its own is the only one showing.
        window->OnOpenOrClosePane(window->zoom.zoomedPane >= 0 ? window->zoom.zoomedPane : n % PaneCount);
        window->SetSize(300 + (n * 37) % 900, 80 + (n * 53) % 900); // some too small to hold a zoom
        if (n % 10 == 0)
            wxTheApp->Yield(true);
        int zoomed = 0;
        for (auto* button : window->openButtons)
            zoomed += button->GetLabel() == L"Close";
        ASSERT_EQ(zoomed, window->zoom.zoomedPane >= 0 ? 1 : 0) << "step " << n;
    }
    if (window->zoom.zoomedPane >= 0)
        window->OnOpenOrClosePane(window->zoom.zoomedPane);
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_TRUE(watchers[i]->WaitUntilLoaded(lastSearch, std::chrono::seconds(60)))
            << i; // the last search wins
}

// What a new user meets first: Escape and Ctrl+Q wherever the focus is, a pane's address from its menu, and a
// start that writes nothing to standard error.
namespace {

class FirstMinutesTest : public MainWindowTest {
protected:
    bool Zoomed(PaneIndex pane) {
        return WaitFor([&] { return window->zoom.zoomedPane == pane; });
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
    ASSERT_TRUE(ChooseFromMenu(window->paneViews[2]->View(), "Open Page in Web Browser"));
    ASSERT_TRUE(WaitForDesktopCalls(1));
    EXPECT_EQ(TestDesktop().Calls()[0].argument, "http://pages.test/results");
    EXPECT_TRUE(Never([] { return TestDesktop().Calls().size() > 1; }, std::chrono::milliseconds(1000)));
    ASSERT_TRUE(ChooseFromMenu(window->paneViews[2]->View(), "Copy Page Address"));
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == "http://pages.test/results"; }));

    ASSERT_TRUE(Show(3, L"http://pages.test/link"));
    ASSERT_TRUE(ChooseFromMenu(window->paneViews[3]->View(), "Open Link in Web Browser"));
    ASSERT_TRUE(WaitForDesktopCalls(2));
    EXPECT_EQ(TestDesktop().Calls()[1].argument, "http://elsewhere.test/linked");
    EXPECT_EQ(window->paneViews[3]->LocationURL(), L"http://pages.test/link");
}

// Stands for the splash during a load: runs a check while it would be up, then dismisses it.
class ExpectSplash : public wxExpectModalBase<SplashWindow, ExpectSplash> {
public:
    explicit ExpectSplash(std::function<void()> whileShown) : m_whileShown(std::move(whileShown)) {}

protected:
    int OnInvoked(SplashWindow*) const override {
        m_whileShown();
        return wxID_OK;
    }

private:
    std::function<void()> m_whileShown;
};

// Every start wrote a dozen "ignored failure in ArrangePanes" lines, from layouts of a window that had no
// size yet. The splash shows while the hidden window is already fitted and laid out; no search at start.
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
        bool splashShown = false;
        wxTEST_DIALOG(window->PrepareFirstShow(), ExpectSplash([&] {
                          splashShown = true;
                          EXPECT_FALSE(window->IsShown());
                          // With no window manager the work area is the whole screen.
                          EXPECT_EQ(window->GetRect(), wxDisplay().GetGeometry());
                          EXPECT_GT(WxPlacement(window->paneViews[4]->View()).Top(), 6975);
                      }));
        EXPECT_TRUE(splashShown && window->zoom.zoomedPane == -1);
        window->Show();
        EXPECT_TRUE(Never([] { return !TestProxy().Requests().empty(); }, std::chrono::milliseconds(500)));
        window->keywordsBox->ChangeValue(L"new york");
        window->OnSearch();
        EXPECT_TRUE(WaitFor([&] { return !watcher.Last().empty(); }));
        window->Destroy();
        WaitFor([] { return wxTopLevelWindows.empty(); });
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

namespace {

// The real window at 800 x 600 pixels.
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

} // namespace

// Zoomed, a pane fills the window from where the hidden search strip was; across a resize it stays zoomed and
// the hidden rows follow; closed, every row is back.
TEST_F(ZoomTest, OpenFillsTheWindowWithOnePaneAcrossAResizeAndCloseRestoresTheRows) {
    const Rect row = View(2);
    ASSERT_TRUE(Show(2, L"http://pages.test/two"));
    Click(window->openButtons[2]);
    ASSERT_TRUE(WaitFor([&] { return ZoomedOn(2); }));
    EXPECT_EQ(window->urlBox->GetValue(), L"http://pages.test/two");
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

// The box catches up with the zoomed pane's page at a later tick, text the user typed there included; only
// the page's web address goes to the desktop, never the box's text nor an address that is no web page.
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
    for (wxWindow* button : {window->backButtons[3], window->forwardButtons[3], window->stopButtons[3]})
        Click(button); // on a pane that has shown nothing: nothing

    for (PaneIndex i : {1, 2, 3}) { // pane 3 has shown nothing
        window->OnOpenOrClosePane(i);
        window->OnOpenInBrowser();
        window->OnOpenOrClosePane(i);
    }
    EXPECT_TRUE(
        Never([&] { return TestDesktop().Calls().size() > 1 || window->paneViews[3]->LocationURL() != L""; },
              std::chrono::milliseconds(800)));

    window->OnOpenOrClosePane(0); // a desktop that cannot open the page says so
    TestDesktop().RemoveHandlerCommand();
    SeenMessageBox seen;
    wxTEST_DIALOG(window->OnOpenInBrowser(), ExpectMessageBox(&seen));
    TestDesktop().WriteHandlerCommand();
    EXPECT_TRUE(seen.message.Contains(L"http://pages.test/next") && (seen.style & wxICON_ERROR))
        << seen.message;
}
