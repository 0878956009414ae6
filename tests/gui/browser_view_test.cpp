#include "failure.h"
#include "gui_test.h"
#include "search_dispatch.h"
#include "webkit_browser_view.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/webview.h>

#include <algorithm>
#include <memory>

namespace {

class BrowserViewTest : public testing::Test {
protected:
    void SetUp() override {
        TestProxy().ClearRequests();
        m_frame = new wxFrame(nullptr, wxID_ANY, "views", wxPoint(0, 0), wxSize(900, 700));
        for (PaneIndex i = 0; i < PaneCount; ++i) {
            m_views[i] = std::make_unique<WebKitBrowserView>(m_frame);
            m_views[i]->View()->SetSize(0, i * 130, 880, 120);
            m_pointers[i] = m_views[i].get();
            m_watchers[i] = std::make_unique<LoadWatcher>(m_views[i]->View());
        }
        m_frame->Show();
    }
    void TearDown() override { m_frame->Destroy(); }

    bool Loaded(PaneIndex i, const std::wstring& url) { return m_watchers[i]->WaitUntilLoaded(url); }

    std::vector<std::string> RequestsWithout(const std::string& needle) const {
        auto requests = TestProxy().Requests();
        std::erase_if(requests,
                      [&](const std::string& url) { return url.find(needle) != std::string::npos; });
        return requests;
    }

    wxFrame* m_frame = nullptr;
    PaneArray<std::unique_ptr<WebKitBrowserView>> m_views;
    PaneArray<BrowserView*> m_pointers{};
    PaneArray<std::unique_ptr<LoadWatcher>> m_watchers;
};

const PaneArray<std::wstring> CreationTexts = {L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search",
                                               L"Dogpile"};

const PaneArray<std::wstring> NewYorkUrls = {
    L"http://www.altavista.com/cgi-bin/query?pg=q&kl=XX&stype=stext&q=new+york&search.x=11&search.y=10",
    L"http://www.lycos.com/cgi-bin/pursuit?cat=dir&query=new+york",
    L"http://www.infoseek.com/Titles?qt=new+york&col=WW&sv=IS&lk=noframes&svx=home_searchbox",
    L"http://www.savvysearch.com/search.cgi?s=new+york",
    L"http://www.dogpile.com/texis/search?q=new+york&fs=web&to=thirty",
};

std::vector<std::string> Narrow(const PaneArray<std::wstring>& urls) {
    std::vector<std::string> result;
    for (const auto& url : urls)
        result.push_back(wxString(url).utf8_string());
    return result;
}

} // namespace

TEST_F(BrowserViewTest, ANewViewHasNoAddressAndNoHistory) {
    RunEventLoopFor(std::chrono::milliseconds(300));
    EXPECT_EQ(m_views[0]->LocationURL(), L"");
    EXPECT_THROW(m_views[0]->GoBack(), ScoutwellError);
    EXPECT_THROW(m_views[0]->GoForward(), ScoutwellError);
    EXPECT_NO_THROW(m_views[0]->Stop());
    EXPECT_TRUE(TestProxy().Requests().empty());
}

TEST_F(BrowserViewTest, SearchSendsEachViewExactlyItsEnginesUrl) {
    RunSearch(L"new york", CreationTexts, m_pointers);
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_TRUE(Loaded(i, NewYorkUrls[i])) << "pane " << i;
    auto requests = RequestsWithout("favicon");
    auto expected = Narrow(NewYorkUrls);
    std::sort(requests.begin(), requests.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(requests, expected);
}

TEST_F(BrowserViewTest, APaneNamingNoEngineStaysOnItsPage) {
    RunSearch(L"new york", CreationTexts, m_pointers);
    for (PaneIndex i = 0; i < PaneCount; ++i)
        ASSERT_TRUE(Loaded(i, NewYorkUrls[i]));
    TestProxy().ClearRequests();

    RunSearch(L"boston", {L"Altavista", L"Lycos", L"Ya", L"Savvy Search", L"Dogpile"}, m_pointers);
    for (PaneIndex i : {0, 1, 3, 4})
        ASSERT_TRUE(WaitFor([&] { return m_watchers[i]->Last().find(L"boston") != std::wstring::npos; }));
    RunEventLoopFor(std::chrono::milliseconds(300));
    EXPECT_EQ(RequestsWithout("favicon").size(), 4u);
    EXPECT_EQ(m_views[2]->LocationURL(), NewYorkUrls[2]);
    EXPECT_THROW(m_views[2]->GoBack(), ScoutwellError);
}

TEST_F(BrowserViewTest, BackAndForwardWalkTheViewsOwnHistoryAndReportAnEnd) {
    const std::wstring first = L"http://one.test/a", second = L"http://one.test/b";
    m_views[0]->Navigate(first);
    ASSERT_TRUE(Loaded(0, first));
    m_views[0]->Navigate(second);
    ASSERT_TRUE(Loaded(0, second));
    ASSERT_TRUE(WaitFor([&] { return m_views[0]->View()->CanGoBack(); }));

    EXPECT_THROW(m_views[0]->GoForward(), ScoutwellError);
    m_views[0]->GoBack();
    EXPECT_TRUE(Loaded(0, first));
    ASSERT_TRUE(WaitFor([&] { return m_views[0]->View()->CanGoForward(); }));
    m_views[0]->GoForward();
    EXPECT_TRUE(Loaded(0, second));
    EXPECT_EQ(m_views[1]->LocationURL(), L"");
}

TEST_F(BrowserViewTest, PlacementIsInTwipsOfWholePixelsAndRefusesNegativeSizes) {
    BrowserView& view = *m_views[1];
    view.SetLeft(735);
    view.SetTop(4275);
    view.SetWidth(10530);
    view.SetHeight(1350);
    EXPECT_EQ(m_views[1]->View()->GetRect(), wxRect(49, 285, 702, 90));
    EXPECT_FLOAT_EQ(view.Left(), 735);
    EXPECT_FLOAT_EQ(view.Top(), 4275);
    EXPECT_FLOAT_EQ(view.Width(), 10530);
    EXPECT_FLOAT_EQ(view.Height(), 1350);

    view.SetTop(665); // not a whole pixel: the view takes the nearest one
    EXPECT_FLOAT_EQ(view.Top(), 660);

    EXPECT_THROW(view.SetWidth(-15), ScoutwellError);
    EXPECT_THROW(view.SetHeight(-1), ScoutwellError);
    EXPECT_THROW(view.SetTop(1e30f), ScoutwellError);
    EXPECT_EQ(m_views[1]->View()->GetRect(), wxRect(49, 44, 702, 90));

    view.SetVisible(false);
    EXPECT_FALSE(view.Visible());
    EXPECT_FALSE(m_views[1]->View()->IsShown());
}
