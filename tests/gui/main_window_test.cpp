#include "main_window_fixture.h"
#include "wx_placement.h"

#include <wx/app.h>
#include <wx/display.h>

#include <algorithm>

// Texts typed into the choosers pick their engines; Enter there searches nothing.
TEST_F(MainWindowTest, EnterInTheKeywordBoxAndEachSearchClickSearchEveryPaneOnce) {
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
    PressKey(WXK_RETURN); // which engine a text names is the catalogue's own test
    EXPECT_TRUE(watchers[1]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=new+york"));
    EXPECT_TRUE(
        WaitFor([&] { return watchers[3]->Last().starts_with(L"http://www.hotbot.com/?MT=new+york&"); }));
    ASSERT_TRUE(WaitFor([&] { return pageRequests() == PaneCount; }));
    Click(window->searchButton);
    EXPECT_TRUE(WaitFor([&] { return pageRequests() == 2 * PaneCount; }));
    EXPECT_TRUE(Never([&] { return pageRequests() > 2 * PaneCount; }, std::chrono::milliseconds(300)));
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

using StartupTest = MainWindowTest;
using BadInputTest = MainWindowTest;

void UseYahooEverywhere(MainWindow* window) {
    for (auto* chooser : window->engineChoosers)
        chooser->ChangeValue("Yahoo");
}

} // namespace

TEST_F(StartupTest, TheSplashShowsWhileTheHiddenWindowIsAlreadyFittedAndLaidOut) {
    bool splashShown = false;
    window->zoom.zoomedPane = 3; // whatever it was, loading starts unzoomed
    wxTEST_DIALOG(window->PrepareFirstShow(), ExpectSplash([&] {
                      splashShown = true;
                      EXPECT_FALSE(window->IsShown());
                      // With no window manager the work area is the whole screen.
                      EXPECT_EQ(window->GetRect(), wxDisplay().GetGeometry());
                      EXPECT_GT(WxPlacement(window->paneViews[4]->View()).Top(), 6975);
                  }));
    ASSERT_TRUE(splashShown);
    EXPECT_EQ(window->zoom.zoomedPane, -1);
    window->Show();
    EXPECT_TRUE(
        Never([] { return !TestProxy().Requests().empty(); }, std::chrono::milliseconds(500))); // no search
}

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
