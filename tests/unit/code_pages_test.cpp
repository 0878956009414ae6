#include "code_pages.h"

#include <gtest/gtest.h>

TEST(DecodeUtf8, AcceptsValidTextAndRoundTripsThroughEncode) {
    const std::wstring text = L"caf\u00E9 \u4E2D \U0001F600 \u05D0";
    EXPECT_EQ(DecodeUtf8(EncodeUtf8(text)), text);
    EXPECT_EQ(DecodeUtf8(""), L"");
    EXPECT_EQ(EncodeUtf8(L"\u00E9"), "\xC3\xA9");
}

TEST(DecodeUtf8, RefusesWhatIsNotUtf8) {
    EXPECT_FALSE(DecodeUtf8("caf\xE9"));         // a Windows-1252 byte
    EXPECT_FALSE(DecodeUtf8("\xC3"));            // cut short
    EXPECT_FALSE(DecodeUtf8("\xC0\xAF"));        // overlong
    EXPECT_FALSE(DecodeUtf8("\xE0\x80\xAF"));    // overlong
    EXPECT_FALSE(DecodeUtf8("\xED\xA0\x80"));    // a surrogate
    EXPECT_FALSE(DecodeUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(DecodeUtf8("\x80"));
}

TEST(DecodeCodePage, Windows1252MapsItsOwnHighBytes) {
    EXPECT_EQ(DecodeCodePage(1252, "\xE9t\xE9"), L"\u00E9t\u00E9");
    EXPECT_EQ(DecodeCodePage(1252, "\x80\x93\x94\x9F"), L"\u20AC\u201C\u201D\u0178");
    EXPECT_EQ(DecodeCodePage(1252, std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}
