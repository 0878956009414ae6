#include "engine_catalogue.h"
#include "failure.h"
#include "keyword_encoding.h"
#include "suggestions_answer.h"

#include <gtest/gtest.h>

// The first three characters count, in any case; nothing trimmed, only ASCII lowered: no look-alikes.
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
        {L"c++ a=b", L"c+++a=b"},
        {L" a  b ", L"+a++b+"},
        {L"%~`!#$^&()|\\{}[]:;'<,>?/\"",
         L"%25%7E%60%21%23%24%5E%26%28%29%7C%5C%7B%7D%5B%5D%3A%3B%27%3C%2C%3E%3F%2F%22"},
        {L"AZaz09@*-_.\t\u00E9\u4E2D\U0001F600", L"AZaz09@*-_.\t\u00E9\u4E2D\U0001F600"},
    };
    for (const auto& [keywords, encoded] : examples)
        EXPECT_EQ(EncodeKeywords(keywords), encoded);
}

using Completions = std::vector<std::wstring>;

TEST(SuggestionsAnswer, CompletionsAreRead) {
    const std::pair<std::string, Completions> cases[] = {
        {R"(["ca",["cat","car"]])", {L"cat", L"car"}},
        {" [ \"ca\" , [ ] , [ ] , [ ] ] \n", {}},
        // Descriptions, addresses and an engine's own extras are passed over.
        {R"(["ca",["cat"],["a pet"],["https://x/"],{"x:type":["Q",1.5e-3,-0,true,false,null,{}]}])",
         {L"cat"}},
        // Escapes, a pair of surrogates, UTF-8 as it comes.
        {R"(["x",["\"\\\/\u00e9\u20AC","\ud83d\ude00 é"]])", {L"\"\\/é€", L"\U0001F600 é"}},
        // Empty, a control character, a line separator, or a repeat: left out.
        {R"(["x",["","a\tb","a\u0000","a\u2028b","cat","cat"]])", {L"cat"}},
    };
    for (const auto& [answer, expected] : cases)
        EXPECT_EQ(ReadSuggestions(answer), expected) << answer;
}

TEST(SuggestionsAnswer, MalformedAnswersAreRefused) {
    // The answer's own array is the first level.
    const auto nested = [](int depth) {
        return "[\"x\",[]," + std::string(depth - 1, '[') + std::string(depth - 1, ']') + "]";
    };
    const auto refused = [](const std::string& answer) {
        EXPECT_THROW(ReadSuggestions(answer), ScoutwellError) << answer.substr(0, 80);
    };
    // Not the answer's shape, or bad JSON around the completions.
    for (const std::string& answer : std::initializer_list<std::string>{
             "", "{}", R"(["x"])", R"([["x"],["a"]])", R"(["x","a"])", R"(["x",[1]])", R"(["x",["a",]])",
             R"(["x",["a"],])", R"(["x",["a"]] x)", R"(["x",["a"]][])", R"(["x",["a"])", R"(["x",["a]])"})
        refused(answer);
    // Bad JSON in a string, a number, a literal or an object; too deep; too large.
    for (const std::string& answer : std::initializer_list<std::string>{
             "[\"x\",[\"a\nb\"]]", R"(["x",["\x"]])", R"(["x",["\u12"]])", R"(["x",["\ud83d"]])",
             R"(["x",["\ud83dx"]])", R"(["x",["\ude00\ud83d"]])", "[\"x\",[\"\xed\xa0\x80\"]]",
             "\xef\xbb\xbf[\"x\",[]]", R"(["x",[],01])", R"(["x",[],1.])", R"(["x",[],-])", R"(["x",[],1e])",
             R"(["x",[],tru])", R"(["x",[],{"a"}])", R"(["x",[],{1:2}])", nested(MaxSuggestionsDepth + 1),
             "[\"x\",[\"" + std::string(MaxSuggestionsBytes, 'a') + "\"]]"})
        refused(answer);
    EXPECT_NO_THROW(ReadSuggestions(nested(MaxSuggestionsDepth)));
}
