#include "engine_catalogue.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::wstring KeyOf(std::wstring_view text) {
    return MakeEngineKey(text);
}

std::wstring NameFound(std::wstring_view chooserText) {
    const auto entry = FindEngine(MakeEngineKey(chooserText));
    return entry ? std::wstring(entry->DisplayName) : L"<none>";
}

} // namespace

TEST(EngineCatalogue, EveryRowBuildsItsOwnEnginesQueryForNewYork) {
    const wchar_t* expected[EngineCount] = {
        L"http://www.altavista.com/cgi-bin/query?pg=q&kl=XX&stype=stext&q=new+york&search.x=11&search.y=10",
        L"http://www.lycos.com/cgi-bin/pursuit?cat=dir&query=new+york",
        L"http://www.infoseek.com/Titles?qt=new+york&col=WW&sv=IS&lk=noframes&svx=home_searchbox",
        L"http://www.about.com/scripts/"
        L"query70.asp?terms=new+york&trail=&Site=home&SUName=home&COB=home&TopNode=%2F",
        L"http://search.yahoo.com/bin/search?p=new+york",
        L"http://www.hotbot.com/?MT=new+york&SM=MC&DV=0&LG=any&DC=10&DE=2&BT=H",
        L"http://www.dogpile.com/texis/search?q=new+york&fs=web&to=thirty",
        L"http://www.savvysearch.com/search.cgi?s=new+york",
        L"http://www.looksmart.com/r_search?look=&search=&key=new+york",
        L"http://www.webcrawler.com/cgi-bin/WebQuery?searchText=new+york",
        L"http://www.metacrawler.com/"
        L"crawler?rpp=20&general=new+york&method=0&target=&hpe=10&region=0&timeout=0&sort=0",
    };
    const wchar_t* names[EngineCount] = {L"Altavista", L"Lycos",      L"Infoseek",   L"About",
                                         L"Yahoo",     L"Hotbot",     L"Dogpile",    L"Savvy Search",
                                         L"Looksmart", L"Webcrawler", L"Metacrawler"};
    const auto& catalogue = EngineCatalogue();
    for (std::size_t row = 0; row < EngineCount; ++row) {
        SCOPED_TRACE(row + 1);
        EXPECT_EQ(catalogue[row].DisplayName, names[row]);
        EXPECT_EQ(BuildQueryUrl(catalogue[row], L"new+york"), expected[row]);
    }
}

TEST(EngineCatalogue, EachDisplayNameFindsItsOwnRowUnderADistinctKey) {
    std::set<std::wstring> keys;
    for (const EngineEntry& entry : EngineCatalogue()) {
        EXPECT_EQ(MakeEngineKey(entry.DisplayName), entry.EngineKey);
        EXPECT_EQ(NameFound(entry.DisplayName), entry.DisplayName);
        keys.insert(std::wstring(entry.EngineKey));
    }
    EXPECT_EQ(keys.size(), EngineCount);
}

TEST(MakeEngineKey, OnlyTheFirstThreeCharactersCountInAnyCase) {
    EXPECT_EQ(KeyOf(L"Savvy"), L"ssav");
    EXPECT_EQ(KeyOf(L"SAVVY SEARCH"), L"ssav");
    EXPECT_EQ(KeyOf(L"sav"), L"ssav");
    EXPECT_EQ(KeyOf(L"METACRAWLER"), L"smet");
    EXPECT_EQ(KeyOf(L"Met"), L"smet");
    EXPECT_EQ(NameFound(L"yahoo"), L"Yahoo");
    EXPECT_EQ(NameFound(L"YAHOO"), L"Yahoo");
    EXPECT_EQ(NameFound(L"Yah"), L"Yahoo");
    EXPECT_EQ(NameFound(L"Hot"), L"Hotbot");
    EXPECT_EQ(NameFound(L"altavista "), L"Altavista");
    EXPECT_EQ(NameFound(L"Webcrawler"), L"Webcrawler");
    EXPECT_EQ(NameFound(L"Metacrawler"), L"Metacrawler");
}

TEST(MakeEngineKey, ShortOrPaddedTextsNameNoEngine) {
    EXPECT_EQ(KeyOf(L""), L"s");
    EXPECT_EQ(KeyOf(L"Ya"), L"sya");
    EXPECT_EQ(KeyOf(L" Yahoo"), L"s ya"); // nothing is trimmed
    EXPECT_EQ(NameFound(L""), L"<none>");
    EXPECT_EQ(NameFound(L"Ya"), L"<none>");
    EXPECT_EQ(NameFound(L" Yahoo"), L"<none>");
    EXPECT_EQ(NameFound(L"Google"), L"<none>");
    // Only ASCII letters are lowered, so a look-alike never matches a key.
    EXPECT_EQ(NameFound(L"\u0130nfoseek"), L"<none>");
    EXPECT_EQ(KeyOf(L"\u00C9t\u00E9"), L"s\u00C9t\u00E9");
}

TEST(BuildQueryUrl, KeywordsSitBetweenPrefixAndSuffixUntouched) {
    const auto about = *FindEngine(L"sabo");
    const auto yahoo = *FindEngine(L"syah");
    EXPECT_EQ(BuildQueryUrl(yahoo, L"a+b"), L"http://search.yahoo.com/bin/search?p=a+b");
    EXPECT_EQ(BuildQueryUrl(yahoo, L""), L"http://search.yahoo.com/bin/search?p=");
    for (const wchar_t* keywords : {L"", L"x", L"%2F", L"a%26b"}) {
        const std::wstring url = BuildQueryUrl(about, keywords);
        EXPECT_TRUE(url.ends_with(L"&TopNode=%2F")) << keywords;
    }
    EXPECT_EQ(BuildQueryUrl(*FindEngine(L"sdog"), L""),
              L"http://www.dogpile.com/texis/search?q=&fs=web&to=thirty");
}
