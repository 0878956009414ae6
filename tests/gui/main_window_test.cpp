#include "engine_catalogue.h"
#include "main_window_fixture.h"
#include "wx_placement.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/stattext.h>

namespace {

std::vector<std::string> NewYorkUrls(int times = 1) {
    std::vector<std::string> urls;
    for (int n = 0; n < times; ++n) {
        urls.insert(urls.end(),
                    {"http://www.altavista.com/cgi-bin/"
                     "query?pg=q&kl=XX&stype=stext&q=new+york&search.x=11&search.y=10",
                     "http://www.lycos.com/cgi-bin/pursuit?cat=dir&query=new+york",
                     "http://www.infoseek.com/Titles?qt=new+york&col=WW&sv=IS&lk=noframes&svx=home_searchbox",
                     "http://www.savvysearch.com/search.cgi?s=new+york",
                     "http://www.dogpile.com/texis/search?q=new+york&fs=web&to=thirty"});
    }
    std::sort(urls.begin(), urls.end());
    return urls;
}

float TwipsTop(wxWindow* w) {
    return WxPlacement(w).Top();
}

} // namespace

TEST_F(MainWindowTest, ANewWindowHasTheDesignLayout) {
    EXPECT_EQ(form->GetTitle(), L"Scoutwell");
    EXPECT_EQ(form->GetBackgroundColour(), wxColour(0, 0, 0));
    EXPECT_EQ(form->GetClientSize(), wxSize(626, 453)); // 9390 x 6795 twips
    EXPECT_FLOAT_EQ(WxPlacement(form->searchPanel).Height(), 1575);
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        SCOPED_TRACE(i);
        WxPlacement view(form->paneViews[i]->View());
        EXPECT_FLOAT_EQ(view.Top(), 1560 + 1080 * i);
        EXPECT_FLOAT_EQ(view.Left(), 720);
        EXPECT_FLOAT_EQ(view.Width(), 8655);
        EXPECT_FLOAT_EQ(view.Height(), 1095);
        EXPECT_FLOAT_EQ(TwipsTop(form->paneButtonColumns[i]), 1560 + 1080 * i);
        EXPECT_EQ(form->paneButtonColumns[i]->GetBackgroundColour(), wxColour(192, 0, 0));
        EXPECT_EQ(form->openButtons[i]->GetLabel(), L"Open");
        EXPECT_EQ(form->paneViews[i]->LocationURL(), L"");
        // The number above each chooser counts from 1.
        EXPECT_EQ(form->chooserNumbers[i]->GetLabel(), wxString::Format("%d", i + 1));
        EXPECT_EQ(form->chooserNumbers[i]->GetPosition().x, form->engineChoosers[i]->GetPosition().x);
        EXPECT_LT(form->chooserNumbers[i]->GetPosition().y, form->engineChoosers[i]->GetPosition().y);
    }
    EXPECT_FALSE(form->urlBar->IsShown());
    EXPECT_FALSE(form->urlTimer.IsRunning());
    EXPECT_EQ(form->hintPanel->GetBackgroundColour(), wxColour(255, 255, 255));
    EXPECT_EQ(form->keywordsBox->GetValue(), L"");
    EXPECT_EQ(form->urlBox->GetValue(), L"");
}

TEST_F(MainWindowTest, ChoosersListTheCatalogueAndStartOnTheFiveDefaultEngines) {
    const wchar_t* initial[PaneCount] = {L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search", L"Dogpile"};
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        EXPECT_EQ(form->engineChoosers[i]->GetValue(), initial[i]);
        ASSERT_EQ(form->engineChoosers[i]->GetCount(), EngineCount);
        for (unsigned row = 0; row < EngineCount; ++row)
            EXPECT_EQ(form->engineChoosers[i]->GetString(row),
                      std::wstring(EngineCatalogue()[row].DisplayName));
    }
    const wxString hint = form->hintLabel->GetLabel();
    EXPECT_EQ(hint.length(), 255u);
    EXPECT_EQ(hint,
              L"Quick Hints: Left-Click will allow you to surf within the same browser window.  Right-Click "
              L"gives you the options to Open in a New Window, which will open your regular browser,  "
              L"Right-Click gives other options also.  Use Open to expand the browser window.");
    EXPECT_EQ(form->GetDefaultItem(), nullptr);
}

TEST_F(MainWindowTest, EnterInTheKeywordBoxSearchesEveryPaneOnce) {
    ShowAtOrigin();
    TypeInto(form->keywordsBox, "new york");
    EXPECT_TRUE(TestProxy().Requests().empty()); // the space typed started nothing
    PressKey(WXK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return SortedRequests().size() >= 5; }));
    RunEventLoopFor(std::chrono::milliseconds(300));
    EXPECT_EQ(SortedRequests(), NewYorkUrls());
    EXPECT_EQ(form->keywordsBox->GetValue(), L"new york");
}

TEST_F(MainWindowTest, EachClickOnSearchNavigatesAllFivePanes) {
    ShowAtOrigin();
    form->keywordsBox->ChangeValue("new york");
    Click(form->searchButton);
    ASSERT_TRUE(WaitFor([&] { return SortedRequests().size() >= 5; }));
    for (PaneIndex i = 0; i < PaneCount; ++i)
        ASSERT_TRUE(WaitFor([&] { return !watchers[i]->Loaded().empty(); }));
    Click(form->searchButton);
    ASSERT_TRUE(WaitFor([&] { return SortedRequests().size() >= 10; }));
    RunEventLoopFor(std::chrono::milliseconds(300));
    EXPECT_EQ(SortedRequests(), NewYorkUrls(2));
}

TEST_F(MainWindowTest, TypedChooserTextsPickTheirEngineAndEnterThereSearchesNothing) {
    ShowAtOrigin();
    form->keywordsBox->ChangeValue("x");
    TypeInto(form->engineChoosers[1], "yahoo");
    PressKey(WXK_RETURN);
    TypeInto(form->engineChoosers[3], "Hot");
    RunEventLoopFor(std::chrono::milliseconds(500));
    EXPECT_TRUE(TestProxy().Requests().empty());
    EXPECT_EQ(form->engineChoosers[1]->GetValue(), L"yahoo");

    Click(form->searchButton);
    ASSERT_TRUE(watchers[1]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=x"));
    EXPECT_TRUE(
        watchers[3]->WaitUntilLoaded(L"http://www.hotbot.com/?MT=x&SM=MC&DV=0&LG=any&DC=10&DE=2&BT=H"));
}

TEST_F(MainWindowTest, BackAndFwdMoveOnlyTheirOwnPane) {
    ShowAtOrigin();
    const std::wstring first = L"http://search.yahoo.com/bin/search?p=first";
    const std::wstring second = L"http://search.yahoo.com/bin/search?p=second";
    for (PaneIndex i = 0; i < PaneCount; ++i)
        form->engineChoosers[i]->ChangeValue("Yahoo");
    for (const auto& keywords : {L"first", L"second"}) {
        form->keywordsBox->ChangeValue(keywords);
        form->OnSearch();
        const std::wstring url = std::wstring(L"http://search.yahoo.com/bin/search?p=") + keywords;
        for (PaneIndex i = 0; i < PaneCount; ++i)
            ASSERT_TRUE(watchers[i]->WaitUntilLoaded(url)) << i;
    }
    ASSERT_TRUE(WaitFor([&] { return form->paneViews[2]->View()->CanGoBack(); }));

    Click(form->backButtons[2]);
    ASSERT_TRUE(watchers[2]->WaitUntilLoaded(first));
    ASSERT_TRUE(WaitFor([&] { return form->paneViews[2]->View()->CanGoForward(); }));
    for (PaneIndex i : {0, 1, 3, 4})
        EXPECT_EQ(form->paneViews[i]->LocationURL(), second);

    Click(form->forwardButtons[2]);
    EXPECT_TRUE(watchers[2]->WaitUntilLoaded(second));
    ASSERT_TRUE(WaitFor([&] { return form->paneViews[2]->View()->CanGoBack(); }));

    // Past the start of the history the click does nothing and says nothing.
    form->OnBack(2);
    ASSERT_TRUE(watchers[2]->WaitUntilLoaded(first));
    ASSERT_TRUE(WaitFor([&] { return !form->paneViews[2]->View()->IsBusy(); }));
    const auto loadsBefore = watchers[2]->Loaded().size();
    Click(form->backButtons[2]);
    Click(form->stopButtons[2]);
    RunEventLoopFor(std::chrono::milliseconds(500));
    EXPECT_EQ(form->paneViews[2]->LocationURL(), first);
    EXPECT_EQ(watchers[2]->Loaded().size(), loadsBefore);
}

TEST_F(MainWindowTest, BackOnAPaneThatShowedNothingDoesNothing) {
    ShowAtOrigin();
    Click(form->backButtons[0]);
    Click(form->forwardButtons[4]);
    Click(form->stopButtons[3]);
    RunEventLoopFor(std::chrono::milliseconds(300));
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_EQ(form->paneViews[i]->LocationURL(), L"");
    EXPECT_TRUE(TestProxy().Requests().empty());
}

namespace {

// A page that is one big link, so a click anywhere in the pane follows it.
RecordingProxy::Response LinkPage(const std::string& href, const std::string& target) {
    RecordingProxy::Response response;
    response.body = "<!doctype html><html><body style=\"margin:0\"><a id=\"link\" href=\"" + href +
                    "\" target=\"" + target +
                    "\" style=\"display:block;width:100vw;height:100vh\">link</a></body></html>";
    return response;
}

} // namespace

TEST_F(MainWindowTest, LinksAndScriptsAskingForANewWindowGoToTheDesktopBrowserAndPlainLinksStayInThePane) {
    TestDesktop().ForgetCalls();
    ShowAtOrigin();
    TestProxy().SetResponder([](const std::string& url) {
        if (url.find("/blank-page") != std::string::npos)
            return LinkPage("http://elsewhere.test/outside", "_blank");
        if (url.find("/file-page") != std::string::npos)
            return LinkPage("file:///etc/passwd", "_blank");
        if (url.find("/plain-page") != std::string::npos)
            return LinkPage("http://elsewhere.test/inside", "");
        if (url.find("/script-page") != std::string::npos) {
            RecordingProxy::Response page;
            page.body = "<!doctype html><body style=\"margin:0\"><div style=\"width:100vw;height:100vh\" "
                        "onclick=\"window.open('http://elsewhere.test/popup')\">open</div></body>";
            return page;
        }
        return RecordingProxy::DefaultPage(url);
    });

    form->paneViews[1]->Navigate(L"http://pages.test/blank-page");
    ASSERT_TRUE(watchers[1]->WaitUntilLoaded(L"http://pages.test/blank-page"));
    Click(form->paneViews[1]->View());
    ASSERT_TRUE(WaitForDesktopCalls(1));
    EXPECT_EQ(TestDesktop().Calls()[0].argument, "http://elsewhere.test/outside");
    EXPECT_EQ(form->paneViews[1]->LocationURL(), L"http://pages.test/blank-page");

    form->paneViews[2]->Navigate(L"http://pages.test/file-page");
    ASSERT_TRUE(watchers[2]->WaitUntilLoaded(L"http://pages.test/file-page"));
    Click(form->paneViews[2]->View());
    RunEventLoopFor(std::chrono::milliseconds(1000));
    EXPECT_EQ(TestDesktop().Calls().size(), 1u);

    form->paneViews[4]->Navigate(L"http://pages.test/script-page");
    ASSERT_TRUE(watchers[4]->WaitUntilLoaded(L"http://pages.test/script-page"));
    Click(form->paneViews[4]->View());
    ASSERT_TRUE(WaitForDesktopCalls(2));
    EXPECT_EQ(TestDesktop().Calls()[1].argument, "http://elsewhere.test/popup");

    form->paneViews[3]->Navigate(L"http://pages.test/plain-page");
    ASSERT_TRUE(watchers[3]->WaitUntilLoaded(L"http://pages.test/plain-page"));
    Click(form->paneViews[3]->View());
    EXPECT_TRUE(watchers[3]->WaitUntilLoaded(L"http://elsewhere.test/inside"));
    EXPECT_EQ(TestDesktop().Calls().size(), 2u);
    EXPECT_EQ(wxTopLevelWindows.GetCount(), 1u);
}

TEST_F(MainWindowTest, OpenLinkInNewWindowFromThePanesMenuGoesToTheDesktopBrowser) {
    TestDesktop().ForgetCalls();
    ShowAtOrigin();
    TestProxy().SetResponder([](const std::string& url) {
        return url.find("/menu-page") != std::string::npos ? LinkPage("http://elsewhere.test/from-menu", "")
                                                           : RecordingProxy::DefaultPage(url);
    });
    form->paneViews[0]->Navigate(L"http://pages.test/menu-page");
    ASSERT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/menu-page"));

    wxUIActionSimulator simulator;
    const wxRect view = form->paneViews[0]->View()->GetScreenRect();
    simulator.MouseMove(view.GetPosition() + wxPoint(40, 30));
    RunEventLoopFor(std::chrono::milliseconds(100));
    simulator.MouseClick(wxMOUSE_BTN_RIGHT);
    RunEventLoopFor(std::chrono::milliseconds(700));
    // The menu's second item on a link: "Open Link in New Window".
    PressKey(WXK_DOWN);
    PressKey(WXK_DOWN);
    PressKey(WXK_RETURN);
    ASSERT_TRUE(WaitForDesktopCalls(1));
    EXPECT_EQ(TestDesktop().Calls()[0].argument, "http://elsewhere.test/from-menu");
    EXPECT_EQ(form->paneViews[0]->LocationURL(), L"http://pages.test/menu-page");
}
