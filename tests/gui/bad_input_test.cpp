// Input no user means to give, and more than anyone would: the program keeps working and consistent.

#include "main_window_fixture.h"

#include <wx/app.h>

namespace {

using BadInputTest = MainWindowTest;

void UseYahooEverywhere(MainWindow* window) {
    for (auto* chooser : window->engineChoosers)
        chooser->ChangeValue("Yahoo");
}

} // namespace

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
