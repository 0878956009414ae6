#include "plain_text_document.h"
#include "rtf_pictures.h"
#include "rtf_reader.h"
#include "rtf_samples.h"

#include <gtest/gtest.h>

using namespace RtfSamples;

namespace {

RtfPicture ReadPicture(const std::string& kind, const std::string& data) {
    return ReadRtf("{\\rtf1{\\pict" + kind + " " + Hex(data) + "}}").pictures.at(0);
}

} // namespace

TEST(ReadRtf, TheTextOfEachKindOfInput) {
    const std::string fonts =
        "{\\fonttbl{\\f0 Times;}{\\f1\\fcharset204 Cyr;}{\\f2\\fcharset238 CE;}{\\f3\\fcharset161 "
        "Greek;}{\\f4\\fcharset2 Symbol;}{\\f5\\fcharset1 Default;}{\\f6\\fcharset0\\cpg1253 G;}}";
    const std::string deep(100000, '{'), undeep(100000, '}');
    const std::pair<std::string, std::wstring> cases[] = {
        {"{\\rtf1\\ansi First\\par Second\\line half\\tab end\\par\r\nThi\r\nrd}", // file line ends: no text
         L"First\nSecond\nhalf\tend\nThird\n"},
        {"{\\rtf1 a\\\nb\\\r\nc\\cell d\\cell\\row e}", L"a\nb\nc\td\t\ne\n"},
        {"{\\rtf1 \\{a\\}\\\\\\~\\_\\-b\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}",
         L"{a}\\\u00A0\u2011b\u2014\u2013\u2022\u2018\u2019\u201C\u201D\n"},
        // \'hh and raw bytes in the code page of their font, else \ansicpg; \cpg overrides the charset.
        {"{\\rtf1\\ansi\\ansicpg1252" + fonts +
             "\\f0\\'e9 \\f1\\'e9 \\f2\\'b9 \\f3\\'c1 \\f4\\'b7 \\f5\\'e9\\f6\\'e1}",
         L"\u00E9 \u0439 \u0105 \u0391 \u00B7 \u00E9\u03B1\n"},
        {"{\\rtf1\\ansi\\ansicpg1251" + fonts + "\\f0\\'e9\xe9\\f5\\'e9}", L"\u0439\u0439\u0439\n"},
        {"{\\rtf1\\mac \\'80}", L"\u00C4\n"},
        // A byte the page leaves undefined is 1252's (else itself); a page iconv does not know is 1252.
        {"{\\rtf1\\ansi\\ansicpg1253 \\'c1\\'aa\\'c2}", L"\u0391\u00AA\u0392\n"},
        {"{\\rtf1\\ansi\\ansicpg99999 \\'80\\'81}", L"\u20AC\u0081\n"},
        // A lead byte and its trail byte in a double-byte font are one character; cut short, it stands alone.
        {"{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b\\'82\\par\\'82}", L"\u65E5\u672C\u201A\n\u201A\n"},
        // \u is signed 16-bit and skips \uc fallback characters (a \'hh or \bin is one) until a brace.
        {"{\\rtf1 \\u1055?\\u-3913?\\u233 x}", L"\u041F\uF0B7\u00E9\n"},
        {"{\\rtf1\\uc2 \\u8364\\'80\\'80y\\uc3 \\u8364 a{}b\\uc1 \\u8364\\bin3 {}\\x}",
         L"\u20ACy\u20ACb\u20ACx\n"},
        {"{\\rtf1{\\uc2 a}\\u8364 ?b}", L"a\u20ACb\n"},
        {"{\\rtf1 \\u-10179?\\u-8704?\\u55357?x\\u56832?}", L"\U0001F600\uFFFDx\uFFFD\n"}, // surrogates
        {"{\\rtf1\\uc0 \\u0 \\u9 \\u70000 }", L"\t\uFFFD\n"},
        // Destinations that are not text, field instructions and hidden text are left out.
        {"{\\rtf1{\\info{\\title T}}{\\stylesheet{\\s0 N;}}{\\header H\\par}{\\footer F}{\\*\\generator G;}"
         "{\\*\\unknown {nested} t}{\\footnote N}{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}"
         "{\\v hid}\\unknownword12 a\\rtlch b}",
         L"linkab\n"},
        {"{\\rtf1{\\upr{x}{\\*\\ud{y}}}}", L"y\n"}, // the Unicode twin replaces its ANSI text
        {"{\\rtf1 a\\bin4 }{\\}b}", L"ab\n"},       // \bin data is not read for braces
        // Bad input: cut short, unbalanced, huge numbers and words, deep nesting without recursion.
        {"{\\rtf1 cut\\par half", L"cut\nhalf\n"},
        {"{\\rtf1 a\\'zz b\\'4", L"azz b\n"},
        {"{\\rtf1 a}}}}b{c}", L"a\n"},
        {"}}{\\rtf1 a{{{b", L"ab\n"},
        {"plain words", L""},
        {"{\\rtf1\\fs99999999999999999999 a\\" + std::string(1000, 'x') + " b\\bin-5 c}", L"abc\n"},
        {"{\\rtf1 a" + deep + "\\b deep" + undeep + " b}", L"a b\n"},
    };
    for (const auto& [rtf, text] : cases)
        EXPECT_EQ(DocumentText(ReadRtf(rtf)), text) << rtf.substr(0, 200);
    EXPECT_EQ(ReadRtf("{\\rtf1{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}}").fonts.at(0).name,
              L"\u5B8B\u4F53");
}

TEST(ReadRtf, PicturesKeepTheirDataAndShownSize) {
    const std::string png = Png(163, 105);
    const auto document =
        ReadRtf("{\\rtf1 a{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn x}{\\sv 1}}}\\pngblip"
                "\\picwgoal2400\\pichgoal1560\\picscalex98\\picscaley97 " +
                Hex(png) + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}{\\pict\\jpegblip\\bin" +
                std::to_string(Jpeg(640, 480).size()) + " " + Jpeg(640, 480) + "}b}");
    ASSERT_EQ(document.pictures.size(), 2u);
    EXPECT_EQ(DocumentText(document), L"a\uFFFC\uFFFCb\n");
    const RtfPicture& picture = document.pictures[0];
    EXPECT_TRUE(picture.format == RtfPictureFormat::Png && picture.bytes == png);
    EXPECT_EQ((std::array{picture.pixelWidth, picture.pixelHeight, picture.widthTwips, picture.heightTwips}),
              (std::array{163, 105, 2352, 1513})); // the goals times the scales
    EXPECT_TRUE(document.pictures[1].format == RtfPictureFormat::Jpeg &&
                document.pictures[1].widthTwips == 640 * 15); // no goal: pixels at 15 twips each

    const std::string dib = SmallDib();
    // A metafile's bitmap, from each kind of record that holds one, with or without the placeable header.
    for (const auto& [function, offset] :
         {std::pair{0x0F43u, 28u}, {0x0B41u, 26u}, {0x0940u, 22u}, {0x0D33u, 24u}})
        for (const bool placeable : {false, true}) {
            const RtfPicture metafile =
                ReadPicture("\\wmetafile8\\picw2540\\pich1270", Metafile(function, offset, dib, placeable));
            EXPECT_EQ(metafile.bytes.substr(14 + 40), dib.substr(40)) << function;
            EXPECT_EQ(metafile.widthTwips, 1440); // no goal: hundredths of a millimetre
        }
}

TEST(ReadRtf, PicturesThatCannotBeDecodedOrAreTooLargeKeepAFrameOfTheirCappedSize) {
    for (const std::string kind :
         {"\\macpict", "\\pngblip", "\\jpegblip", "\\dibitmap", "\\wmetafile8", "\\emfblip"}) {
        const RtfPicture picture = ReadPicture(kind + "\\picwgoal1000\\pichgoal500", "\x01\x23\x45\x67\x89");
        EXPECT_TRUE(picture.format == RtfPictureFormat::None && picture.bytes.empty()) << kind;
        EXPECT_EQ((std::array{picture.widthTwips, picture.heightTwips}), (std::array{1000, 500})) << kind;
    }
    const RtfPicture absurd = ReadPicture("\\pngblip\\picwgoal2000000000\\pichgoal-5", "?");
    EXPECT_EQ((std::array{absurd.widthTwips, absurd.heightTwips}),
              (std::array{RtfLimits::MaxPictureTwips, 0}));
    // Images that claim more pixels than is sane are not decoded, whatever the container.
    for (const auto& [kind, data] : {std::pair{"\\pngblip", Png(100000, 100000)},
                                     {"\\jpegblip", Jpeg(65535, 65535)},
                                     {"\\dibitmap", Dib(1, static_cast<int>(0x80000000), 8, "")}})
        EXPECT_EQ(ReadPicture(kind, data).format, RtfPictureFormat::None) << kind;
    EXPECT_EQ(ReadPicture("\\pngblip", Png(4096, 4096)).format, RtfPictureFormat::Png);
}

TEST(ReadRtf, HugeDocumentsStayWithinTheLimits) {
    std::string rtf = "{\\rtf1 ";
    while (rtf.size() < (50u << 20))
        rtf += "line of text\\par ";
    const auto document = ReadRtf(rtf);
    EXPECT_TRUE(document.truncated);
    EXPECT_EQ(document.paragraphs.size(), RtfLimits::MaxParagraphs);

    std::string many = "{\\rtf1 ";
    for (std::size_t i = 0; i < RtfLimits::MaxPictureCount + 10; ++i)
        many += "{\\pict\\pngblip 00}";
    EXPECT_EQ(ReadRtf(many).pictures.size(), RtfLimits::MaxPictureCount);
}

TEST(PlainTextDocument, OneParagraphPerLineInUtf8ElseWindows1252WithoutControlCharacters) {
    EXPECT_TRUE(LooksLikeRtf("{\\rtf1") && !LooksLikeRtf(" {\\rtf1") && !LooksLikeRtf("{\\rt"));
    for (const auto& [bytes, text] : std::initializer_list<std::pair<std::string, std::wstring>>{
             {"one\r\ntwo\tcols\nthree\rfour", L"one\ntwo\tcols\nthree\nfour\n"},
             {"\357\273\277caf\303\251", L"caf\u00E9\n"},
             {"caf\xE9 \x80", L"caf\u00E9 \u20AC\n"},
             {std::string("a\0b\x1B", 4), L"a\uFFFDb\uFFFD\n"}})
        EXPECT_EQ(DocumentText(PlainTextDocument(bytes)), text) << bytes;
}
