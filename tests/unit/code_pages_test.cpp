#include "code_pages.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(DecodeUtf8, AcceptsOnlyValidUtf8) {
    const std::wstring text = L"caf\u00E9 \u4E2D \U0001F600 \u05D0";
    EXPECT_EQ(DecodeUtf8(EncodeUtf8(text)), text);
    EXPECT_EQ(EncodeUtf8(L"\u00E9"), "\xC3\xA9");
    // A Windows-1252 byte, cut short, overlong, a surrogate, beyond U+10FFFF.
    for (const char* bad :
         {"caf\xE9", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(DecodeUtf8(bad)) << bad;
}

// The common pages are read in the RTF reader's tests; here the bytes a page leaves undefined, and more.
TEST(DecodeCodePage, SingleAndDoubleByteWindowsPages) {
    using Case = std::tuple<int, std::string, std::wstring>;
    for (const auto& [codePage, bytes, text] : {
             Case{1252, "\xE9\x80\x93\x81", L"\u00E9\u20AC\u201C\u0081"}, // 0x81: undefined, kept as itself
             Case{1252, std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
             Case{1253, "\xC1\xAA\xC2", L"\u0391\u00AA\u0392"}, // 0xAA undefined: 1252's, and on
             Case{936, "\xD6\xD0\xCE\xC4", L"\u4E2D\u6587"},    // GBK
             Case{99999, "\x80", L"\u20AC"},                    // a page iconv does not know: read as 1252
         })
        EXPECT_EQ(DecodeCodePage(codePage, bytes), text) << codePage;
}
