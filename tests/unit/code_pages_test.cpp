#include "code_pages.h"

#include <gtest/gtest.h>

TEST(DecodeUtf8, AcceptsValidTextAndRoundTripsThroughEncode) {
    const std::wstring text = L"caf\u00E9 \u4E2D \U0001F600 \u05D0";
    EXPECT_EQ(DecodeUtf8(EncodeUtf8(text)), text);
    EXPECT_EQ(DecodeUtf8(""), L"");
    EXPECT_EQ(EncodeUtf8(L"\u00E9"), "\xC3\xA9");
}

TEST(DecodeUtf8, RefusesWhatIsNotUtf8) {
    EXPECT_FALSE(DecodeUtf8("caf\xE9"));          // a Windows-1252 byte
    EXPECT_FALSE(DecodeUtf8("\xC3"));             // cut short
    EXPECT_FALSE(DecodeUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(DecodeUtf8("\xE0\x80\xAF"));     // overlong
    EXPECT_FALSE(DecodeUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(DecodeUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(DecodeUtf8("\x80"));
}

TEST(DecodeCodePage, Windows1252MapsItsOwnHighBytes) {
    EXPECT_EQ(DecodeCodePage(1252, "\xE9t\xE9"), L"\u00E9t\u00E9");
    EXPECT_EQ(DecodeCodePage(1252, "\x80\x93\x94\x9F"), L"\u20AC\u201C\u201D\u0178");
    EXPECT_EQ(DecodeCodePage(1252, std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(DecodeCodePageByte, WindowsSingleByteCodePages) {
    struct Case {
        int codePage;
        unsigned char byte;
        wchar_t expected;
    };
    for (const Case c :
         {Case{1250, 0x8A, L'\u0160'}, Case{1250, 0xB9, L'\u0105'}, Case{1251, 0xC0, L'\u0410'},
          Case{1251, 0xFF, L'\u044F'}, Case{1251, 0x88, L'\u20AC'}, Case{1253, 0xC1, L'\u0391'},
          Case{1254, 0xF0, L'\u011F'}, Case{1255, 0xE0, L'\u05D0'}, Case{1256, 0xC7, L'\u0627'},
          Case{1257, 0xC0, L'\u0104'}, Case{874, 0xA1, L'\u0E01'}, Case{874, 0x80, L'\u20AC'},
          Case{10000, 0x80, L'\u00C4'}, Case{10000, 0xDB, L'\u20AC'}, Case{1252, 0xE9, L'\u00E9'}}) {
        SCOPED_TRACE(testing::Message() << c.codePage << " " << int{c.byte});
        EXPECT_EQ(DecodeCodePageByte(c.codePage, c.byte), c.expected);
    }
    // ASCII is the same in all of them.
    for (const int codePage : {1250, 1251, 1253, 1254, 1255, 1256, 1257, 874, 10000})
        EXPECT_EQ(DecodeCodePage(codePage, "Az09 ~"), L"Az09 ~");
}

TEST(DecodeCodePageByte, UndefinedBytesAndUnknownCodePagesFallBackTo1252) {
    EXPECT_EQ(DecodeCodePageByte(1250, 0x81), L'\u0081'); // undefined in 1250 and in 1252
    EXPECT_EQ(DecodeCodePageByte(1253, 0xAA), L'\u00AA'); // undefined in 1253, a letter in 1252
    EXPECT_EQ(DecodeCodePageByte(874, 0xFC), L'\u00FC');
    EXPECT_EQ(DecodeCodePageByte(437, 0x80), L'\u20AC');
    EXPECT_EQ(DecodeCodePage(1251, "\xCF\xF0\xE8"), L"\u041F\u0440\u0438");
}
