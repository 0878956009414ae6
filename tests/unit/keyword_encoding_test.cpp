#include "keyword_encoding.h"

#include <gtest/gtest.h>

TEST(EncodeKeywords, WorkedExamples) {
    EXPECT_EQ(EncodeKeywords(L"new york city"), L"new+york+city");
    EXPECT_EQ(EncodeKeywords(L"100% pure"), L"100%25+pure");
    EXPECT_EQ(EncodeKeywords(L"c++"), L"c++");
    EXPECT_EQ(EncodeKeywords(L"a=b"), L"a=b");
    EXPECT_EQ(EncodeKeywords(L"rock & roll"), L"rock+%26+roll");
    EXPECT_EQ(EncodeKeywords(L"a&b&c"), L"a%26b%26c");
    EXPECT_EQ(EncodeKeywords(L"\"new york\""), L"%22new+york%22");
    EXPECT_EQ(EncodeKeywords(L"50%7E"), L"50%257E");
    EXPECT_EQ(EncodeKeywords(L"what?"), L"what%3F");
    EXPECT_EQ(EncodeKeywords(L"path/to"), L"path%2Fto");
}

TEST(EncodeKeywords, SpacesAreNeitherTrimmedNorCollapsed) {
    EXPECT_EQ(EncodeKeywords(L""), L"");
    EXPECT_EQ(EncodeKeywords(L"a  b"), L"a++b");
    EXPECT_EQ(EncodeKeywords(L" a "), L"+a+");
}

TEST(EncodeKeywords, EveryTableCharacterGetsItsUpperCaseCode) {
    EXPECT_EQ(EncodeKeywords(L"%~`!#$^&()|\\{}[]:;'<,>?/\""),
              L"%25%7E%60%21%23%24%5E%26%28%29%7C%5C%7B%7D%5B%5D%3A%3B%27%3C%2C%3E%3F%2F%22");
}

TEST(EncodeKeywords, CharactersOutsideTheTablePassUnchanged) {
    const std::wstring untouched = L"AZaz09+=@*-_.\t\u00E9\u4E2D\U0001F600\u05D0";
    EXPECT_EQ(EncodeKeywords(untouched), untouched);
}

TEST(ReplaceAll, InsertedTextIsNeverSearchedAgain) {
    EXPECT_EQ(ReplaceAll(L"aaa", L"a", L"aa"), L"aaaaaa");
    EXPECT_EQ(ReplaceAll(L"%%", L"%", L"%25"), L"%25%25");
    EXPECT_EQ(ReplaceAll(L"aaaa", L"aa", L"b"), L"bb"); // non-overlapping, leftmost first
    EXPECT_EQ(ReplaceAll(L"aaa", L"aa", L"b"), L"ba");
}

TEST(ReplaceAll, CaseMattersAndAbsentOrEmptyFindChangesNothing) {
    EXPECT_EQ(ReplaceAll(L"Abc", L"a", L"x"), L"Abc");
    EXPECT_EQ(ReplaceAll(L"abc", L"", L"x"), L"abc");
    EXPECT_EQ(ReplaceAll(L"", L"a", L"x"), L"");
    EXPECT_EQ(ReplaceAll(L"abc", L"abc", L""), L"");
}
