#include "main_window_fixture.h"

// Texts typed into the choosers pick their engines; Enter there searches nothing.
TEST_F(MainWindowTest, EnterInTheKeywordBoxAndEachSearchClickSearchEveryPaneOnce) {
    ShowAtOrigin();
    ASSERT_TRUE(TypeInto(window->engineChoosers[1], "yahoo"));
    PressKey(WXK_RETURN);
    ASSERT_TRUE(TypeInto(window->engineChoosers[3], "Hot"));
    ASSERT_TRUE(TypeInto(window->keywordsBox, "new york"));
    EXPECT_TRUE(Never([] { return !TestProxy().Requests().empty(); }, std::chrono::milliseconds(300)));
    PressKey(WXK_RETURN); // which engine a text names is the catalogue's own test
    EXPECT_TRUE(watchers[1]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=new+york"));
    EXPECT_TRUE(
        WaitFor([&] { return watchers[3]->Last().starts_with(L"http://www.hotbot.com/?MT=new+york&"); }));
    ASSERT_TRUE(WaitFor([&] { return SortedRequests().size() == PaneCount; }));
    Click(window->searchButton);
    EXPECT_TRUE(WaitFor([&] { return SortedRequests().size() == 2 * PaneCount; }));
    EXPECT_TRUE(
        Never([] { return SortedRequests().size() > 2 * PaneCount; }, std::chrono::milliseconds(300)));
}

TEST_F(MainWindowTest, BackAndForwardMoveOnlyTheirOwnPaneAndDoNothingWithoutAHistory) {
    ShowAtOrigin();
    for (wxWindow* button : {window->backButtons[0], window->forwardButtons[0], window->stopButtons[0]})
        Click(button);
    EXPECT_TRUE(
        Never([&] { return !TestProxy().Requests().empty() || window->paneViews[0]->LocationURL() != L""; },
              std::chrono::milliseconds(300)));

    const std::wstring first = L"http://pages.test/first", second = L"http://pages.test/second";
    for (PaneIndex i = 0; i < PaneCount; ++i)
        for (const auto& url : {first, second})
            ASSERT_TRUE(Show(i, url));
    ASSERT_TRUE(WaitFor([&] { return window->paneViews[2]->View()->CanGoBack(); }));
    Click(window->backButtons[2]);
    ASSERT_TRUE(watchers[2]->WaitUntilLoaded(first));
    for (PaneIndex i : {0, 1, 3, 4})
        EXPECT_EQ(window->paneViews[i]->LocationURL(), second);
    ASSERT_TRUE(WaitFor([&] { return window->paneViews[2]->View()->CanGoForward(); }));
    Click(window->forwardButtons[2]);
    EXPECT_TRUE(watchers[2]->WaitUntilLoaded(second));
}

// wx's own handler of a new-window request ended the program; web addresses go to the desktop.
TEST_F(MainWindowTest, NewWindowRequestsGoToTheDesktopBrowserAndPlainLinksStayInThePane) {
    ShowAtOrigin();
    TestProxy().SetResponder([](const std::string& url) {
        RecordingProxy::Response page;
        page.body =
            WholePage(url.ends_with("/blank")   ? "href='http://elsewhere.test/outside' target='_blank'"
                      : url.ends_with("/file")  ? "href='file:///etc/passwd' target='_blank'"
                      : url.ends_with("/plain") ? "href='http://elsewhere.test/inside'"
                                                : "onclick=\"window.open('http://elsewhere.test/popup')\"");
        return page;
    });
    // Pane, page, how many addresses the desktop has had since the start, the last of them.
    for (const auto& [pane, page, calls, handed] :
         {std::tuple{1, L"http://pages.test/blank", 1u, "http://elsewhere.test/outside"},
          {2, L"http://pages.test/file", 1u, "http://elsewhere.test/outside"},
          {4, L"http://pages.test/script", 2u, "http://elsewhere.test/popup"}}) {
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
