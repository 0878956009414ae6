#include "engine_catalogue.h"
#include "main_window_fixture.h"
#include "wx_placement.h"
#include "x_stacking.h"

#include <wx/panel.h>

namespace {

// What the five choosers' engines are sent for the given encoded keywords.
std::vector<std::string> ExpectedRequests(MainWindow* window, const wchar_t* keywords, int times = 1) {
    std::vector<std::string> urls;
    for (int n = 0; n < times; ++n) {
        for (auto* chooser : window->engineChoosers) {
            const auto engine = FindEngine(MakeEngineKey(chooser->GetValue().ToStdWstring()));
            urls.push_back(wxString(BuildQueryUrl(*engine, keywords)).utf8_string());
        }
    }
    std::sort(urls.begin(), urls.end());
    return urls;
}

// A page that is one big link, so a click anywhere in the pane follows it.
RecordingProxy::Response LinkPage(const std::string& href, const std::string& target) {
    RecordingProxy::Response page;
    page.body = "<body style=\"margin:0\"><a href=\"" + href + "\" target=\"" + target +
                "\" style=\"display:block;width:100vw;height:100vh\">link</a></body>";
    return page;
}

} // namespace

TEST_F(MainWindowTest, ANewWindowHasTheDesignLayoutAndTheDefaultEngines) {
    EXPECT_EQ(window->GetClientSize(), wxSize(626, 453)); // 9390 x 6795 twips
    const WxPlacement view(window->paneViews[2]->View());
    EXPECT_EQ((std::array{view.Left(), view.Top(), view.Width(), view.Height()}),
              (std::array<float, 4>{720, 3720, 8655, 1095}));
    EXPECT_FLOAT_EQ(WxPlacement(window->paneButtonColumns[2]).Top(), 3720);
    const wchar_t* initial[PaneCount] = {L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search", L"Dogpile"};
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        EXPECT_EQ(window->engineChoosers[i]->GetValue(), initial[i]);
        EXPECT_EQ(window->engineChoosers[i]->GetCount(), EngineCount);
        EXPECT_EQ(window->paneViews[i]->LocationURL(), L"");
    }
    EXPECT_FALSE(window->urlBar->IsShown());
    EXPECT_EQ(window->GetDefaultItem(), nullptr);
}

// Texts typed into the choosers pick their engines; Enter there, or a space
// in the keyword box, searches nothing.
TEST_F(MainWindowTest, EnterInTheKeywordBoxAndEachSearchClickSearchEveryPaneOnce) {
    ShowAtOrigin();
    ASSERT_TRUE(TypeInto(window->engineChoosers[1], "yahoo"));
    PressKey(WXK_RETURN);
    ASSERT_TRUE(TypeInto(window->engineChoosers[3], "Hot"));
    ASSERT_TRUE(TypeInto(window->keywordsBox, "new york"));
    RunEventLoopFor(std::chrono::milliseconds(300));
    EXPECT_TRUE(TestProxy().Requests().empty());
    PressKey(WXK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return SortedRequests() == ExpectedRequests(window, L"new+york"); }));
    EXPECT_TRUE(watchers[1]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=new+york"));
    Click(window->searchButton);
    EXPECT_TRUE(WaitFor([&] { return SortedRequests() == ExpectedRequests(window, L"new+york", 2); }));
}

TEST_F(MainWindowTest, BackAndForwardMoveOnlyTheirOwnPaneAndDoNothingWithoutAHistory) {
    ShowAtOrigin();
    // A pane that has shown nothing: Back, Forward and Stop do nothing and say nothing.
    for (wxWindow* button : {window->backButtons[0], window->forwardButtons[0], window->stopButtons[0]})
        Click(button);
    RunEventLoopFor(std::chrono::milliseconds(300));
    EXPECT_EQ(window->paneViews[0]->LocationURL(), L"");
    EXPECT_TRUE(TestProxy().Requests().empty());

    const std::wstring first = L"http://pages.test/first", second = L"http://pages.test/second";
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        for (const auto& url : {first, second}) {
            window->paneViews[i]->Navigate(url);
            ASSERT_TRUE(watchers[i]->WaitUntilLoaded(url));
        }
    }
    ASSERT_TRUE(WaitFor([&] { return window->paneViews[2]->View()->CanGoBack(); }));
    Click(window->backButtons[2]);
    ASSERT_TRUE(watchers[2]->WaitUntilLoaded(first));
    ASSERT_TRUE(WaitFor([&] { return window->paneViews[2]->View()->CanGoForward(); }));
    for (PaneIndex i : {0, 1, 3, 4})
        EXPECT_EQ(window->paneViews[i]->LocationURL(), second);
    Click(window->forwardButtons[2]);
    EXPECT_TRUE(watchers[2]->WaitUntilLoaded(second));
}

// wx's own handler of WebKit's request for a new window ended the whole
// program; the program hands http and https addresses to the desktop instead.
TEST_F(MainWindowTest, NewWindowRequestsGoToTheDesktopBrowserAndPlainLinksStayInThePane) {
    TestDesktop().ForgetCalls();
    ShowAtOrigin();
    TestProxy().SetResponder([](const std::string& url) {
        if (url.ends_with("/blank"))
            return LinkPage("http://elsewhere.test/outside", "_blank");
        if (url.ends_with("/file"))
            return LinkPage("file:///etc/passwd", "_blank");
        if (url.ends_with("/plain"))
            return LinkPage("http://elsewhere.test/inside", "");
        RecordingProxy::Response page;
        page.body = "<body style=\"margin:0\"><div style=\"width:100vw;height:100vh\" "
                    "onclick=\"window.open('http://elsewhere.test/popup')\">open</div></body>";
        return page;
    });
    struct Step {
        PaneIndex pane;
        const wchar_t* page;
        std::size_t calls;  // handed to the desktop so far
        const char* handed; // the last address handed over
    };
    for (const Step& step : {Step{1, L"http://pages.test/blank", 1, "http://elsewhere.test/outside"},
                             Step{2, L"http://pages.test/file", 1, "http://elsewhere.test/outside"},
                             Step{4, L"http://pages.test/script", 2, "http://elsewhere.test/popup"}}) {
        window->paneViews[step.pane]->Navigate(step.page);
        ASSERT_TRUE(watchers[step.pane]->WaitUntilLoaded(step.page));
        Click(window->paneViews[step.pane]->View());
        ASSERT_TRUE(WaitForDesktopCalls(step.calls));
        RunEventLoopFor(std::chrono::milliseconds(500));
        ASSERT_EQ(TestDesktop().Calls().size(), step.calls) << wxString(step.page);
        EXPECT_EQ(TestDesktop().Calls().back().argument, step.handed);
        EXPECT_EQ(window->paneViews[step.pane]->LocationURL(), step.page);
    }
    window->paneViews[3]->Navigate(L"http://pages.test/plain");
    ASSERT_TRUE(watchers[3]->WaitUntilLoaded(L"http://pages.test/plain"));
    Click(window->paneViews[3]->View());
    EXPECT_TRUE(watchers[3]->WaitUntilLoaded(L"http://elsewhere.test/inside"));

    // The view's own menu on a link: its second item is "Open Link in New Window".
    const std::size_t windows = StackedWindowTitles().size();
    ClickAt(window->paneViews[1]->View()->GetScreenPosition() + wxPoint(40, 30), 3);
    ASSERT_TRUE(WaitFor([&] { return StackedWindowTitles().size() > windows; })); // the menu's own window
    for (const int key : {WXK_DOWN, WXK_DOWN, WXK_RETURN})
        PressKey(key);
    ASSERT_TRUE(WaitForDesktopCalls(3));
    EXPECT_EQ(TestDesktop().Calls()[2].argument, "http://elsewhere.test/outside");
    EXPECT_EQ(wxTopLevelWindows.GetCount(), 1u);
}
