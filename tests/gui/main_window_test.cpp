#include "main_window_fixture.h"

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
