#include "code_pages.h"

#include <gtest/gtest.h>

TEST(DecodeUtf8, AcceptsOnlyValidUtf8) {
    const std::wstring text = L"caf\u00E9 \u4E2D \U0001F600 \u05D0";
    EXPECT_EQ(DecodeUtf8(EncodeUtf8(text)), text);
    EXPECT_EQ(EncodeUtf8(L"\u00E9"), "\xC3\xA9");
    // A Windows-1252 byte, cut short, overlong, a surrogate, beyond U+10FFFF.
    for (const char* bad :
         {"caf\xE9", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(DecodeUtf8(bad)) << bad;
}

TEST(DecodeCodePage, SingleAndDoubleByteWindowsPages) {
    struct Case {
        int codePage;
        std::string bytes;
        std::wstring text;
    };
    for (const Case& c : {
             Case{1252, "\xE9\x80\x93\x81", L"\u00E9\u20AC\u201C\u0081"}, // 0x81: undefined, kept as itself
             Case{1252, std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
             Case{1250, "\x8A\xB9", L"\u0160\u0105"}, Case{1251, "\xCF\xF0\xE8", L"\u041F\u0440\u0438"},
             Case{1253, "\xC1\xAA\xC2", L"\u0391\u00AA\u0392"}, // 0xAA undefined: 1252's, and on
             Case{1255, "\xE0", L"\u05D0"}, Case{874, "\xA1", L"\u0E01"},
             Case{10000, "\x80\xDB", L"\u00C4\u20AC"},
             Case{932, "\x93\xFA\x96\x7B\x82\xA0", L"\u65E5\u672C\u3042"}, // Shift-JIS
             Case{936, "\xD6\xD0\xCE\xC4", L"\u4E2D\u6587"},               // GBK
             Case{949, "\xC7\xD1\xB1\xDB", L"\uD55C\uAE00"},               // Korean
             Case{950, "\xA4\xA4\xA4\xE5", L"\u4E2D\u6587"},               // Big5
             Case{932, "a\x82", L"a\u201A"}, // a lead byte cut short: 1252's character
             Case{99999, "\x80", L"\u20AC"}, // a page iconv does not know: read as 1252
         }) {
        SCOPED_TRACE(c.codePage);
        EXPECT_EQ(DecodeCodePage(c.codePage, c.bytes), c.text);
    }
    EXPECT_TRUE(IsLeadByte(932, 0x82) && IsLeadByte(950, 0xA4) && !IsLeadByte(932, 0xA4) &&
                !IsLeadByte(1252, 0x82));
}
