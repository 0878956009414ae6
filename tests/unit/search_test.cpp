#include "engine_catalogue.h"
#include "fake_browser_view.h"
#include "keyword_encoding.h"
#include "search_dispatch.h"

#include <gtest/gtest.h>

// Only the first three characters of a chooser's text count, in any case; nothing is trimmed and only
// ASCII letters are lowered, so a look-alike never names an engine.
TEST(EngineCatalogue, ChooserTextsFindTheirEnginesQuery) {
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"Altavista",
         L"http://www.altavista.com/cgi-bin/query?pg=q&kl=XX&stype=stext&q=new+york&search.x=11&search.y=10"},
        {L"Lycos", L"http://www.lycos.com/cgi-bin/pursuit?cat=dir&query=new+york"},
        {L"Infoseek",
         L"http://www.infoseek.com/Titles?qt=new+york&col=WW&sv=IS&lk=noframes&svx=home_searchbox"},
        {L"About", L"http://www.about.com/scripts/"
                   L"query70.asp?terms=new+york&trail=&Site=home&SUName=home&COB=home&TopNode=%2F"},
        {L"Yahoo", L"http://search.yahoo.com/bin/search?p=new+york"},
        {L"Hotbot", L"http://www.hotbot.com/?MT=new+york&SM=MC&DV=0&LG=any&DC=10&DE=2&BT=H"},
        {L"Dogpile", L"http://www.dogpile.com/texis/search?q=new+york&fs=web&to=thirty"},
        {L"Savvy Search", L"http://www.savvysearch.com/search.cgi?s=new+york"},
        {L"Looksmart", L"http://www.looksmart.com/r_search?look=&search=&key=new+york"},
        {L"Webcrawler", L"http://www.webcrawler.com/cgi-bin/WebQuery?searchText=new+york"},
        {L"Metacrawler",
         L"http://www.metacrawler.com/"
         L"crawler?rpp=20&general=new+york&method=0&target=&hpe=10&region=0&timeout=0&sort=0"},
        {L"SAVVY", L"http://www.savvysearch.com/search.cgi?s=new+york"},
        {L"yah", L"http://search.yahoo.com/bin/search?p=new+york"},
        {L"altavista ",
         L"http://www.altavista.com/cgi-bin/query?pg=q&kl=XX&stype=stext&q=new+york&search.x=11&search.y=10"},
        {L"", nullptr},
        {L"Ya", nullptr},
        {L" Yahoo", nullptr},
        {L"Google", nullptr},
        {L"\u0130nfoseek", nullptr},
    };
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        SCOPED_TRACE(row);
        const auto engine = FindEngine(MakeEngineKey(rows[row].first));
        EXPECT_EQ(engine ? BuildQueryUrl(*engine, L"new+york") : L"(none)",
                  rows[row].second ? rows[row].second : L"(none)");
        if (row < EngineCount) { // the choosers' order
            EXPECT_EQ(EngineCatalogue()[row].DisplayName, rows[row].first);
        }
    }
}

TEST(EncodeKeywords, WorkedExamplesAndEdges) {
    const std::pair<const wchar_t*, const wchar_t*> examples[] = {
        {L"new york city", L"new+york+city"},
        {L"100% pure", L"100%25+pure"},
        {L"c++ a=b", L"c+++a=b"},
        {L"rock & roll", L"rock+%26+roll"},
        {L"\"new york\"", L"%22new+york%22"},
        {L"50%7E", L"50%257E"}, // what is inserted is never encoded again
        {L" a  b ", L"+a++b+"},
        {L"%~`!#$^&()|\\{}[]:;'<,>?/\"",
         L"%25%7E%60%21%23%24%5E%26%28%29%7C%5C%7B%7D%5B%5D%3A%3B%27%3C%2C%3E%3F%2F%22"},
        {L"AZaz09@*-_.\t\u00E9\u4E2D\U0001F600", L"AZaz09@*-_.\t\u00E9\u4E2D\U0001F600"},
    };
    for (const auto& [keywords, encoded] : examples)
        EXPECT_EQ(EncodeKeywords(keywords), encoded);
    EXPECT_EQ(ReplaceAll(L"aaa", L"aa", L"b"), L"ba"); // non-overlapping, leftmost first
    EXPECT_EQ(ReplaceAll(L"Abc", L"", L"x"), L"Abc");
}

TEST(RunSearch, EachPaneNamingAnEngineLoadsItsResultsOnceAndTheOthersKeepTheirPage) {
    PaneArray<FakeBrowserView> views;
    PaneArray<BrowserView*> panes{&views[0], &views[1], &views[2], &views[3], &views[4]};
    views[1].Navigate(L"http://earlier.example/");
    RunSearch(L"100% a&b", {L"Yahoo", L"Ya", L"yahoo", L"Lycos", L"Google"}, panes);
    RunSearch(L"x", {L"Yahoo", L"Ya", L"yahoo", L"Lycos", L"Google"}, panes);
    const std::wstring yahoo = L"http://search.yahoo.com/bin/search?p=";
    EXPECT_EQ(views[0].navigations, (std::vector<std::wstring>{yahoo + L"100%25+a%26b", yahoo + L"x"}));
    EXPECT_EQ(views[1].navigations, std::vector<std::wstring>{L"http://earlier.example/"});
    EXPECT_EQ(views[2].navigations, views[0].navigations);
    EXPECT_EQ(views[3].navigations.back(), L"http://www.lycos.com/cgi-bin/pursuit?cat=dir&query=x");
    EXPECT_TRUE(views[4].navigations.empty());
}
