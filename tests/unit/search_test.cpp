#include "engine_catalogue.h"
#include "keyword_encoding.h"

#include <gtest/gtest.h>

// Only the first three characters of a chooser's text count, in any case; nothing is trimmed and only
// ASCII letters are lowered, so a look-alike never names an engine.
TEST(EngineCatalogue, ChooserTextsFindTheirEngines) {
    for (const EngineEntry& entry : EngineCatalogue()) { // each listed name reaches its own address
        const auto found = FindEngine(MakeEngineKey(entry.DisplayName));
        ASSERT_TRUE(found) << std::wstring(entry.DisplayName);
        const std::wstring url = BuildQueryUrl(*found, L"KEYS");
        EXPECT_TRUE(url.starts_with(L"http://") && url.find(L"=KEYS") != std::wstring::npos) << url;
        EXPECT_EQ(found->DisplayName, entry.DisplayName);
    }
    for (const auto& [text, name] :
         {std::pair{L"SAVVY", L"Savvy Search"}, {L"yah", L"Yahoo"}, {L"altavista ", L"Altavista"}})
        EXPECT_EQ(FindEngine(MakeEngineKey(text)).value_or(EngineEntry{}).DisplayName, name);
    for (const wchar_t* text : {L"", L"Ya", L" Yahoo", L"Google", L"\u0130nfoseek"})
        EXPECT_FALSE(FindEngine(MakeEngineKey(text))) << text;
}

TEST(EncodeKeywords, WorkedExamplesAndEdges) {
    const std::pair<const wchar_t*, const wchar_t*> examples[] = {
        {L"new york city", L"new+york+city"},
        {L"c++ a=b", L"c+++a=b"},
        {L"50%7E", L"50%257E"}, // what is inserted is never encoded again
        {L" a  b ", L"+a++b+"},
        {L"%~`!#$^&()|\\{}[]:;'<,>?/\"",
         L"%25%7E%60%21%23%24%5E%26%28%29%7C%5C%7B%7D%5B%5D%3A%3B%27%3C%2C%3E%3F%2F%22"},
        {L"AZaz09@*-_.\t\u00E9\u4E2D\U0001F600", L"AZaz09@*-_.\t\u00E9\u4E2D\U0001F600"},
    };
    for (const auto& [keywords, encoded] : examples)
        EXPECT_EQ(EncodeKeywords(keywords), encoded);
}
