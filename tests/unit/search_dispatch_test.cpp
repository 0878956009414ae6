#include "search_dispatch.h"

#include "fake_browser_view.h"

#include <gtest/gtest.h>

namespace {

struct Panes {
    PaneArray<FakeBrowserView> views;
    PaneArray<BrowserView*> pointers{&views[0], &views[1], &views[2], &views[3], &views[4]};
};

const PaneArray<std::wstring> CreationTexts = {L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search",
                                               L"Dogpile"};

} // namespace

TEST(RunSearch, EachPaneLoadsItsOwnEnginesResultsOnce) {
    Panes panes;
    RunSearch(L"new york", CreationTexts, panes.pointers);
    const wchar_t* expected[PaneCount] = {
        L"http://www.altavista.com/cgi-bin/query?pg=q&kl=XX&stype=stext&q=new+york&search.x=11&search.y=10",
        L"http://www.lycos.com/cgi-bin/pursuit?cat=dir&query=new+york",
        L"http://www.infoseek.com/Titles?qt=new+york&col=WW&sv=IS&lk=noframes&svx=home_searchbox",
        L"http://www.savvysearch.com/search.cgi?s=new+york",
        L"http://www.dogpile.com/texis/search?q=new+york&fs=web&to=thirty",
    };
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_EQ(panes.views[i].navigations, std::vector<std::wstring>{expected[i]}) << "pane " << i;
}

TEST(RunSearch, SearchingTwiceNavigatesEveryPaneTwice) {
    Panes panes;
    RunSearch(L"x", CreationTexts, panes.pointers);
    RunSearch(L"x", CreationTexts, panes.pointers);
    for (const auto& view : panes.views)
        EXPECT_EQ(view.navigations.size(), 2u);
}

TEST(RunSearch, EmptyKeywordsJoinPrefixAndSuffix) {
    Panes panes;
    RunSearch(L"", {L"About", L"Yahoo", L"yahoo", L"Hot", L"METACRAWLER"}, panes.pointers);
    EXPECT_EQ(
        panes.views[0].navigations.at(0),
        L"http://www.about.com/scripts/query70.asp?terms=&trail=&Site=home&SUName=home&COB=home&TopNode=%2F");
    EXPECT_EQ(panes.views[1].navigations.at(0), L"http://search.yahoo.com/bin/search?p=");
    EXPECT_EQ(panes.views[2].navigations, panes.views[1].navigations);
    EXPECT_EQ(panes.views[3].navigations.at(0),
              L"http://www.hotbot.com/?MT=&SM=MC&DV=0&LG=any&DC=10&DE=2&BT=H");
    EXPECT_TRUE(
        panes.views[4].navigations.at(0).starts_with(L"http://www.metacrawler.com/crawler?rpp=20&general=&"));
}

TEST(RunSearch, APaneNamingNoEngineKeepsItsPageAndTheOthersGoOn) {
    Panes panes;
    panes.views[1].Navigate(L"http://earlier.example/");
    panes.views[1].navigations.clear();
    RunSearch(L"cats", {L"", L"Ya", L" Yahoo", L"Google", L"Lycos"}, panes.pointers);
    for (PaneIndex i = 0; i < 4; ++i)
        EXPECT_TRUE(panes.views[i].navigations.empty()) << "pane " << i;
    EXPECT_EQ(panes.views[1].LocationURL(), L"http://earlier.example/");
    EXPECT_EQ(panes.views[4].navigations,
              std::vector<std::wstring>{L"http://www.lycos.com/cgi-bin/pursuit?cat=dir&query=cats"});
}

TEST(RunSearch, KeywordsAreEncodedOnceForAllPanes) {
    Panes panes;
    RunSearch(L"100% a&b", {L"Yahoo", L"Lycos", L"Yahoo", L"Lycos", L"Yahoo"}, panes.pointers);
    EXPECT_EQ(panes.views[0].navigations.at(0), L"http://search.yahoo.com/bin/search?p=100%25+a%26b");
    EXPECT_EQ(panes.views[4].navigations, panes.views[0].navigations);
}
