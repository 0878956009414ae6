#include "engine_catalogue.h"
#include "main_window_fixture.h"
#include "wx_placement.h"
#include "x_stacking.h"

#include <wx/panel.h>

namespace {

std::vector<std::string> ExpectedRequests(MainWindow* window, const wchar_t* keywords, int times = 1) {
    std::vector<std::string> urls;
    for (int n = 0; n < times; ++n)
        for (auto* chooser : window->engineChoosers)
            urls.push_back(
                wxString(
                    BuildQueryUrl(*FindEngine(MakeEngineKey(chooser->GetValue().ToStdWstring())), keywords))
                    .utf8_string());
    std::sort(urls.begin(), urls.end());
    return urls;
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

// Texts typed into the choosers pick their engines; Enter there searches nothing.
TEST_F(MainWindowTest, EnterInTheKeywordBoxAndEachSearchClickSearchEveryPaneOnce) {
    ShowAtOrigin();
    ASSERT_TRUE(TypeInto(window->engineChoosers[1], "yahoo"));
    PressKey(WXK_RETURN);
    ASSERT_TRUE(TypeInto(window->engineChoosers[3], "Hot"));
    ASSERT_TRUE(TypeInto(window->keywordsBox, "new york"));
    EXPECT_TRUE(Never([] { return !TestProxy().Requests().empty(); }, std::chrono::milliseconds(300)));
    PressKey(WXK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return SortedRequests() == ExpectedRequests(window, L"new+york"); }));
    EXPECT_TRUE(watchers[1]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=new+york"));
    Click(window->searchButton);
    EXPECT_TRUE(WaitFor([&] { return SortedRequests() == ExpectedRequests(window, L"new+york", 2); }));
}

TEST_F(MainWindowTest, BackAndForwardMoveOnlyTheirOwnPaneAndDoNothingWithoutAHistory) {
    ShowAtOrigin();
    for (wxWindow* button : {window->backButtons[0], window->forwardButtons[0], window->stopButtons[0]})
        Click(button);
    EXPECT_TRUE(
        Never([&] { return !TestProxy().Requests().empty() || window->paneViews[0]->LocationURL() != L""; },
              std::chrono::milliseconds(300)));

    const std::wstring first = L"http://pages.test/first", second = L"http://pages.test/second";
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        for (const auto& url : {first, second})
            ASSERT_TRUE(Show(i, url));
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

// wx's own handler of a new-window request ended the program; web addresses go to the desktop.
TEST_F(MainWindowTest, NewWindowRequestsGoToTheDesktopBrowserAndPlainLinksStayInThePane) {
    TestDesktop().ForgetCalls();
    ShowAtOrigin();
    TestProxy().SetResponder([](const std::string& url) {
        const std::string attributes =
            url.ends_with("/blank")   ? "href='http://elsewhere.test/outside' target='_blank'"
            : url.ends_with("/file")  ? "href='file:///etc/passwd' target='_blank'"
            : url.ends_with("/plain") ? "href='http://elsewhere.test/inside'"
                                      : "onclick=\"window.open('http://elsewhere.test/popup')\"";
        RecordingProxy::Response page;
        page.body = WholePage(attributes);
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
        ASSERT_TRUE(Show(step.pane, step.page));
        Click(window->paneViews[step.pane]->View());
        ASSERT_TRUE(WaitForDesktopCalls(step.calls));
        ASSERT_TRUE(
            Never([&] { return TestDesktop().Calls().size() > step.calls; }, std::chrono::milliseconds(500)))
            << wxString(step.page);
        EXPECT_EQ(TestDesktop().Calls().back().argument, step.handed);
        EXPECT_EQ(window->paneViews[step.pane]->LocationURL(), step.page);
    }
    ASSERT_TRUE(Show(3, L"http://pages.test/plain"));
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
