#include "plain_text_document.h"
#include "rtf_pictures.h"
#include "rtf_reader.h"
#include "rtf_samples.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

using namespace RtfSamples;

using namespace std::string_literals;

namespace {

const RtfRun& OnlyRun(const RtfDocument& document) {
    EXPECT_EQ(document.paragraphs.size(), 1u);
    EXPECT_EQ(document.paragraphs.at(0).runs.size(), 1u);
    return document.paragraphs.at(0).runs.at(0);
}

std::wstring Text(std::string_view rtf) {
    return DocumentText(ReadRtf(rtf));
}

} // namespace

TEST(ReadRtf, ParagraphsLineBreaksAndTabs) {
    const auto document = ReadRtf("{\\rtf1\\ansi First\\par Second\\line half\\tab end\\par\r\nThird}");
    EXPECT_EQ(DocumentText(document), L"First\nSecond\nhalf\tend\nThird\n");
    ASSERT_EQ(document.paragraphs.size(), 3u);
    const auto& runs = document.paragraphs[1].runs;
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[1].kind, RtfRunKind::LineBreak);
    EXPECT_EQ(runs[3].kind, RtfRunKind::Tab);
    // Line ends in the file are not text; the space that ends a control word is not either.
    EXPECT_EQ(Text("{\\rtf1 a\r\nb\\par}"), L"ab\n");
}

TEST(ReadRtf, CharacterFormattingFollowsGroups) {
    const auto document =
        ReadRtf("{\\rtf1{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss\\fcharset0 Arial;}}"
                "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
                "\\f1\\fs28 a{\\b b{\\i c}}\\ul d\\ulnone{\\cf1 e}\\plain f\\par}");
    ASSERT_EQ(document.fonts.size(), 2u);
    EXPECT_EQ(document.fonts[0].name, L"Times New Roman");
    EXPECT_EQ(document.fonts[0].family, RtfFontFamily::Roman);
    EXPECT_EQ(document.fonts[1].name, L"Arial");
    ASSERT_EQ(document.colours.size(), 3u);
    EXPECT_EQ(document.colours[1], (RtfColour{255, 0, 0}));
    EXPECT_EQ(document.colours[2], (RtfColour{0, 0, 128}));

    const auto& runs = document.paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[0].text, L"a");
    EXPECT_EQ(runs[0].style.font, 1);
    EXPECT_EQ(runs[0].style.halfPoints, 28);
    EXPECT_FALSE(runs[0].style.bold);
    EXPECT_TRUE(runs[1].style.bold);
    EXPECT_TRUE(runs[2].style.bold && runs[2].style.italic);
    EXPECT_EQ(runs[3].text, L"d");
    EXPECT_TRUE(runs[3].style.underline && !runs[3].style.bold);
    EXPECT_EQ(runs[4].style.colour, 1);
    EXPECT_FALSE(runs[4].style.underline);
    EXPECT_EQ(runs[5].text, L"f");
    EXPECT_EQ(runs[5].style, (RtfTextStyle{.font = 0}));
}

TEST(ReadRtf, DefaultFontAppliesBeforeAndAfterTheFontTable) {
    const auto document =
        ReadRtf("{\\rtf1\\deff1{\\fonttbl{\\f0 Courier;}{\\f1 Times New Roman;}}x\\f9 y\\par}");
    const auto& runs = document.paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].style.font, 1);
    EXPECT_EQ(runs[1].style.font, -1); // a font the table does not have
    // A table with no groups around its entries, and no table at all.
    const auto flat = ReadRtf("{\\rtf1{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\fmodern Courier;}\\f1 x}");
    ASSERT_EQ(flat.fonts.size(), 2u);
    EXPECT_EQ(flat.fonts[1].name, L"Courier");
    EXPECT_EQ(OnlyRun(flat).style.font, 1);
    EXPECT_EQ(OnlyRun(ReadRtf("{\\rtf1 x}")).style.font, -1);
}

TEST(ReadRtf, UnsetColourEntriesAreAutomatic) {
    const auto document = ReadRtf("{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}{\\cf0 a}{\\cf1 b}{\\cf7 c}}");
    const auto& runs = document.paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].style.colour, -1);
    EXPECT_EQ(runs[1].style.colour, 1);
    EXPECT_EQ(runs[2].style.colour, -1);
}

TEST(ReadRtf, ParagraphFormatting) {
    const auto document =
        ReadRtf("{\\rtf1\\deftab360\\pard\\qc centred\\par\\pard\\qr\\li200\\ri300\\fi-100\\sb60\\sa120 "
                "right\\par\\pard\\qj\\tx1440\\tqr\\tx4320\\tqc\\tx2880 j\\par\\pard plain\\par"
                "{\\pard\\qc\\fs40 inner\\par}outer\\par}");
    EXPECT_EQ(document.defaultTabWidth, 360);
    const auto& p = document.paragraphs;
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p[0].format.alignment, RtfAlignment::Centre);
    EXPECT_EQ(p[1].format.alignment, RtfAlignment::Right);
    EXPECT_EQ(p[1].format.leftIndent, 200);
    EXPECT_EQ(p[1].format.rightIndent, 300);
    EXPECT_EQ(p[1].format.firstLineIndent, -100);
    EXPECT_EQ(p[1].format.spaceBefore, 60);
    EXPECT_EQ(p[1].format.spaceAfter, 120);
    EXPECT_EQ(p[2].format.alignment, RtfAlignment::Justify);
    EXPECT_EQ(p[2].format.tabStops,
              (std::vector<RtfTabStop>{
                  {1440, RtfTabKind::Left}, {2880, RtfTabKind::Centre}, {4320, RtfTabKind::Right}}));
    EXPECT_EQ(p[3].format.alignment, RtfAlignment::Left);
    EXPECT_TRUE(p[3].format.tabStops.empty());
    EXPECT_EQ(p[4].format.alignment, RtfAlignment::Centre);
    EXPECT_EQ(p[4].markStyle.halfPoints, 40);
    // The group's paragraph properties end with it.
    EXPECT_EQ(p[5].format.alignment, RtfAlignment::Left);
    EXPECT_EQ(p[5].markStyle.halfPoints, 24);
}

TEST(ReadRtf, HexBytesUseTheCodePageOfTheirFontElseTheDocuments) {
    const std::string table =
        "{\\fonttbl{\\f0 Times;}{\\f1\\fcharset204 Times Cyr;}{\\f2\\fcharset238 Times CE;}"
        "{\\f3\\fcharset161 Greek;}{\\f4\\fcharset2 Symbol;}{\\f5\\fcharset177 Hebrew;}"
        "{\\f6\\fcharset1 Default;}}";
    EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1252" + table +
                   "\\f0\\'e9 \\f1\\'e9\\'c0 \\f2\\'b9 \\f3\\'c1 \\f4\\'b7 "
                   "\\f5\\'e0 \\f6\\'e9}"),
              L"\u00E9 \u0439\u0410 \u0105 \u0391 \u00B7 \u05D0 \u00E9\n");
    // With no charset of its own the font takes \ansicpg; raw 8-bit bytes are decoded like \'hh.
    EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1251" + table + "\\f0\\'e9\xe9\\f6\\'e9}"),
              L"\u0439\u0439\u0439\n");
    EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1250 \\'8a}"), L"\u0160\n");
    EXPECT_EQ(Text("{\\rtf1\\mac \\'80}"), L"\u00C4\n");
    // \cpg overrides the charset's code page.
    EXPECT_EQ(Text("{\\rtf1{\\fonttbl{\\f0\\fcharset0\\cpg1253 G;}}\\f0\\'e1}"), L"\u03B1\n");
    // A font name is read in its own code page.
    EXPECT_EQ(ReadRtf("{\\rtf1{\\fonttbl{\\f0\\fcharset204 \\'c0rial;}}}").fonts.at(0).name, L"\u0410rial");
}

TEST(CodePageOfCharset, MapsAsWindowsDoes) {
    EXPECT_EQ(CodePageOfCharset(0), 1252);
    EXPECT_EQ(CodePageOfCharset(238), 1250);
    EXPECT_EQ(CodePageOfCharset(204), 1251);
    EXPECT_EQ(CodePageOfCharset(161), 1253);
    EXPECT_EQ(CodePageOfCharset(162), 1254);
    EXPECT_EQ(CodePageOfCharset(177), 1255);
    EXPECT_EQ(CodePageOfCharset(178), 1256);
    EXPECT_EQ(CodePageOfCharset(186), 1257);
    EXPECT_EQ(CodePageOfCharset(222), 874);
    EXPECT_EQ(CodePageOfCharset(77), 10000);
    EXPECT_EQ(CodePageOfCharset(2), CodePageSymbol);
    EXPECT_EQ(CodePageOfCharset(1), 0);
}

TEST(ReadRtf, UnicodeEscapesAreSigned16BitAndSkipTheirFallback) {
    EXPECT_EQ(Text("{\\rtf1 \\u1055?\\u-3913?}"), L"\u041F\uF0B7\n");
    EXPECT_EQ(Text("{\\rtf1 \\u233 x}"), L"\u00E9\n"); // the space ends the word; x is the fallback
    EXPECT_EQ(Text("{\\rtf1\\uc2 \\u8364\\'80\\'80y}"), L"\u20AC"
                                                        L"y\n"); // \'hh counts as one
    EXPECT_EQ(Text("{\\rtf1\\uc0 \\u8364 y}"), L"\u20ACy\n");
    EXPECT_EQ(Text("{\\rtf1\\uc3 \\u8364 a{}b}"), L"\u20AC"
                                                  L"b\n"); // a brace ends the skipping
    EXPECT_EQ(Text("{\\rtf1\\uc1 \\u8364\\bin3 {}\\x}"), L"\u20AC"
                                                         L"x\n"); // \bin counts as one
    EXPECT_EQ(Text("{\\rtf1{\\uc2 a}\\u8364 ?b}"), L"a\u20AC"
                                                   L"b\n"); // \uc belongs to its group
    // Characters beyond the 16 bits come as a surrogate pair; a lone half is not a character.
    EXPECT_EQ(Text("{\\rtf1 \\u-10179?\\u-8704?}"), L"\U0001F600\n");
    EXPECT_EQ(Text("{\\rtf1 \\u55357?x\\u56832?}"), L"\uFFFDx\uFFFD\n");
    EXPECT_EQ(Text("{\\rtf1\\uc0 \\u0 \\u9 \\u70000 }"), L"\t\uFFFD\n");
}

TEST(ReadRtf, SymbolsAndSpecialCharacters) {
    EXPECT_EQ(
        Text("{\\rtf1 \\{a\\}\\\\\\~\\_\\-b\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}"),
        L"{a}\\\u00A0\u2011b\u2014\u2013\u2022\u2018\u2019\u201C\u201D\n");
    EXPECT_EQ(Text("{\\rtf1 a\\\nb\\\r\nc}"), L"a\nb\nc\n");
    EXPECT_EQ(Text("{\\rtf1 a\\cell b\\cell\\row c}"), L"a\tb\t\nc\n");
}

TEST(ReadRtf, DestinationsThatAreNotTextAreLeftOut) {
    EXPECT_EQ(Text("{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}{\\header H\\par}"
                   "{\\footer F}{\\*\\generator G;}{\\*\\unknownthing {nested} text}{\\*\\bkmkstart x}"
                   "{\\footnote N}shown\\par}"),
              L"shown\n");
    // Fields show their result, not their instruction; hidden text stays hidden.
    EXPECT_EQ(Text("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}} "
                   "{\\field{\\fldinst PAGE}{\\fldrslt 1}}{\\v hidden}seen}"),
              L"link 1seen\n");
    // Unknown words that are not destinations do nothing.
    EXPECT_EQ(Text("{\\rtf1\\unknownword12 a\\rtlch\\ltrch b}"), L"ab\n");
    // The Unicode twin of an ANSI text replaces it.
    EXPECT_EQ(Text("{\\rtf1{\\upr{\\fonttbl{\\f0 A;}}{\\*\\ud{\\fonttbl{\\f0 U;}}}}{\\upr{x}{\\*\\ud{y}}}}"),
              L"y\n");
    // Text after the document's closing brace is not part of it.
    EXPECT_EQ(Text("{\\rtf1 a}b{c}"), L"a\n");
}

TEST(ReadRtf, BinaryDataIsNotReadForBraces) {
    EXPECT_EQ(Text("{\\rtf1 a\\bin4 }{\\}b}"), L"ab\n");
    const std::string png = Png(3, 2);
    const auto document = ReadRtf("{\\rtf1{\\pict\\pngblip\\picwgoal45\\pichgoal30\\bin" +
                                  std::to_string(png.size()) + " " + png + "}z}");
    ASSERT_EQ(document.pictures.size(), 1u);
    EXPECT_EQ(document.pictures[0].format, RtfPictureFormat::Png);
    EXPECT_EQ(document.pictures[0].bytes, png);
    EXPECT_EQ(DocumentText(document), L"\uFFFCz\n");
}

TEST(ReadRtf, PngAndJpegPicturesKeepTheirFilesAndShownSize) {
    const std::string png = Png(163, 105);
    const auto document =
        ReadRtf("{\\rtf1 a{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn x}{\\sv 1}}}\\pngblip\\picw163"
                "\\pich105\\picwgoal2400\\pichgoal1560\\picscalex98\\picscaley97 " +
                Hex(png) + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}b}");
    ASSERT_EQ(document.pictures.size(), 1u);
    const RtfPicture& picture = document.pictures[0];
    EXPECT_EQ(picture.format, RtfPictureFormat::Png);
    EXPECT_EQ(picture.bytes, png);
    EXPECT_EQ(picture.pixelWidth, 163);
    EXPECT_EQ(picture.pixelHeight, 105);
    EXPECT_EQ(picture.widthTwips, 2352);  // 2400 x 98 %
    EXPECT_EQ(picture.heightTwips, 1513); // 1560 x 97 %
    EXPECT_EQ(DocumentText(document), L"a\uFFFC"
                                      L"b\n");
    EXPECT_EQ(document.paragraphs[0].runs[1].picture, 0);

    const std::string jpeg = Jpeg(640, 480);
    const auto photo = ReadRtf("{\\rtf1{\\pict\\jpegblip\\picw640\\pich480 " + Hex(jpeg) + "}}");
    ASSERT_EQ(photo.pictures.size(), 1u);
    EXPECT_EQ(photo.pictures[0].format, RtfPictureFormat::Jpeg);
    EXPECT_EQ(photo.pictures[0].bytes, jpeg);
    EXPECT_EQ(photo.pictures[0].pixelWidth, 640);
    EXPECT_EQ(photo.pictures[0].widthTwips, 640 * 15); // no goal: pixels at 15 twips each
    EXPECT_EQ(photo.pictures[0].heightTwips, 480 * 15);
}

TEST(ReadRtf, DeviceIndependentBitmapBecomesABmpFile) {
    const std::string dib = SmallDib();
    const auto document =
        ReadRtf("{\\rtf1{\\pict\\dibitmap0\\picw2\\pich2\\picwgoal300\\pichgoal300 " + Hex(dib) + "}}");
    ASSERT_EQ(document.pictures.size(), 1u);
    const RtfPicture& picture = document.pictures[0];
    EXPECT_EQ(picture.format, RtfPictureFormat::Bmp);
    EXPECT_EQ(picture.pixelWidth, 2);
    EXPECT_EQ(picture.pixelHeight, 2);
    EXPECT_EQ(picture.widthTwips, 300);
    ASSERT_EQ(picture.bytes.size(), 14 + dib.size());
    EXPECT_EQ(picture.bytes.substr(0, 2), "BM");
    EXPECT_EQ(Bytes{}.U32(static_cast<std::uint32_t>(14 + dib.size())).data, picture.bytes.substr(2, 4));
    EXPECT_EQ(Bytes{}.U32(54).data, picture.bytes.substr(10, 4)); // pixels right after the 40-byte header
    EXPECT_EQ(picture.bytes.substr(14 + 40), dib.substr(40));
}

TEST(ReadRtf, MetafilePicturesYieldTheirBitmapFromEachRecordKind) {
    const std::string dib = SmallDib();
    struct Case {
        unsigned function;
        std::size_t offset;
    };
    for (const Case c : {Case{0x0F43, 28}, Case{0x0B41, 26}, Case{0x0940, 22}, Case{0x0D33, 24}}) {
        for (const bool placeable : {false, true}) {
            SCOPED_TRACE(testing::Message() << std::hex << c.function << (placeable ? " placeable" : ""));
            const auto document =
                ReadRtf("{\\rtf1{\\pict\\wmetafile8\\picw4313\\pich2778\\picwgoal2445\\pichgoal1575"
                        "\\picscalex98\\picscaley99 " +
                        Hex(Metafile(c.function, c.offset, dib, placeable)) + "}}");
            ASSERT_EQ(document.pictures.size(), 1u);
            const RtfPicture& picture = document.pictures[0];
            EXPECT_EQ(picture.format, RtfPictureFormat::Bmp);
            EXPECT_EQ(picture.pixelWidth, 2);
            EXPECT_EQ(picture.bytes.substr(14 + 40), dib.substr(40));
            EXPECT_EQ(picture.widthTwips, 2396);  // 2445 x 98 %
            EXPECT_EQ(picture.heightTwips, 1559); // 1575 x 99 %
        }
    }
    // Without goals the metafile's extent is in hundredths of a millimetre.
    const auto noGoal = ReadRtf("{\\rtf1{\\pict\\wmetafile8\\picw2540\\pich1270 " +
                                Hex(Metafile(0x0F43, 28, dib, false)) + "}}");
    EXPECT_EQ(noGoal.pictures.at(0).widthTwips, 1440);
    EXPECT_EQ(noGoal.pictures.at(0).heightTwips, 720);
}

TEST(ReadRtf, EnhancedMetafileWithABitmap) {
    const std::string dib = SmallDib();
    const std::string info = dib.substr(0, 40);
    const std::string bits = dib.substr(40);
    Bytes emf;
    emf.U32(1).U32(88).Raw(std::string(32, '\0')).U32(0x464D4520).Raw(std::string(44, '\0'));
    const std::uint32_t recordSize = 80 + static_cast<std::uint32_t>(dib.size());
    emf.U32(81).U32(recordSize).Raw(std::string(40, '\0'));
    emf.U32(80).U32(40).U32(120).U32(static_cast<std::uint32_t>(bits.size())).U32(0).U32(0).U32(2).U32(2);
    emf.Raw(info).Raw(bits);
    emf.U32(14).U32(20).U32(0).U32(0).U32(20);
    const RtfPicture picture = EnhancedMetafilePicture(emf.data);
    EXPECT_EQ(picture.format, RtfPictureFormat::Bmp);
    EXPECT_EQ(picture.bytes.substr(14 + 40), dib.substr(40));
}

TEST(DibPicture, OtherDepthsBecome24BitsAndPalettesAreKeptWhole) {
    // 16 bits, 5-5-5: one red pixel.
    const RtfPicture sixteen = DibPicture(Dib(1, 1, 16, Bytes{}.U16(0x7C00).U16(0).data));
    ASSERT_EQ(sixteen.format, RtfPictureFormat::Bmp);
    EXPECT_EQ(sixteen.bytes.substr(28, 2), Bytes{}.U16(24).data);
    EXPECT_EQ(sixteen.bytes.substr(54, 3), "\x00\x00\xFF"s);
    // 32 bits with explicit masks (red in the low byte): one red pixel.
    const std::string masks = Bytes{}.U32(0xFF).U32(0xFF00).U32(0xFF0000).data;
    const std::string header = Dib(1, 1, 32, "", 3);
    const RtfPicture thirtyTwo = DibPicture(header + masks + Bytes{}.U32(0xFF).data);
    ASSERT_EQ(thirtyTwo.format, RtfPictureFormat::Bmp);
    EXPECT_EQ(thirtyTwo.bytes.substr(54, 3), "\x00\x00\xFF"s);
    // 8 bits with a two-colour palette: the palette is filled out to 256 entries.
    const std::string palette = Bytes{}.U32(0x000000).U32(0xFFFFFF).data;
    const RtfPicture indexed = DibPicture(Dib(1, 1, 8, std::string("\x01\0\0\0", 4), 0, palette, 2));
    ASSERT_EQ(indexed.format, RtfPictureFormat::Bmp);
    EXPECT_EQ(indexed.bytes.size(), 14u + 40 + 256 * 4 + 4);
    EXPECT_EQ(indexed.bytes.substr(14 + 40, 8), palette);
}

TEST(DibPicture, RleIsExpandedAndTopDownRowsLeftForTheLoader) {
    const std::string palette(256 * 4, '\0');
    // RLE8, 4 x 2: row 0 = 3 x index 7 then absolute {1, 2}... clipped to the width; row 1 = 4 x index 9.
    const std::string rle = Bytes{}.U8(3).U8(7).U8(0).U8(0).U8(4).U8(9).U8(0).U8(1).data;
    const RtfPicture expanded = DibPicture(Dib(4, 2, 8, rle, 1, palette));
    ASSERT_EQ(expanded.format, RtfPictureFormat::Bmp);
    EXPECT_EQ(expanded.bytes.substr(14 + 40 + 1024), std::string("\x07\x07\x07\x00\x09\x09\x09\x09", 8));
    // Top-down rows keep their order and their negative height.
    const std::string rows("\x01\x01\x01\x01\x02\x02\x02\x02", 8);
    const RtfPicture topDown = DibPicture(Dib(4, -2, 8, rows, 0, palette));
    ASSERT_EQ(topDown.format, RtfPictureFormat::Bmp);
    EXPECT_EQ(topDown.pixelHeight, 2);
    EXPECT_EQ(topDown.bytes.substr(22, 4), Bytes{}.U32(static_cast<std::uint32_t>(-2)).data);
    EXPECT_EQ(topDown.bytes.substr(14 + 40 + 1024), rows);
}

TEST(ReadRtf, PicturesThatCannotBeDecodedKeepAFrameOfTheirSize) {
    for (const std::string kind :
         {"\\macpict", "\\pngblip", "\\jpegblip", "\\dibitmap", "\\wmetafile8", "\\emfblip"}) {
        SCOPED_TRACE(kind);
        const auto document =
            ReadRtf("{\\rtf1{\\pict" + kind + "\\picwgoal1000\\pichgoal500 0123456789abcdef}}");
        ASSERT_EQ(document.pictures.size(), 1u);
        EXPECT_EQ(document.pictures[0].format, RtfPictureFormat::None);
        EXPECT_TRUE(document.pictures[0].bytes.empty());
        EXPECT_EQ(document.pictures[0].widthTwips, 1000);
        EXPECT_EQ(document.pictures[0].heightTwips, 500);
    }
    // A bitmap whose pixels are cut short.
    const std::string dib = SmallDib();
    EXPECT_EQ(DibPicture(dib.substr(0, dib.size() - 1)).format, RtfPictureFormat::None);
    EXPECT_EQ(MetafilePicture(Metafile(0x0F43, 28, dib, false).substr(0, 40)).format, RtfPictureFormat::None);
}

TEST(ReadRtf, AbsurdPictureSizesAreCapped) {
    const auto document = ReadRtf("{\\rtf1{\\pict\\pngblip\\picwgoal2000000000\\pichgoal-5\\picscalex100000 "
                                  "00}{\\pict\\wmetafile8\\picw99999999\\pich2540\\picscaley2000000000 00}}");
    ASSERT_EQ(document.pictures.size(), 2u);
    EXPECT_EQ(document.pictures[0].widthTwips, RtfLimits::MaxPictureTwips);
    EXPECT_EQ(document.pictures[0].heightTwips, 0);
    EXPECT_EQ(document.pictures[1].widthTwips, RtfLimits::MaxPictureTwips);
    EXPECT_EQ(document.pictures[1].heightTwips, RtfLimits::MaxPictureTwips);

    // Images that claim more pixels than is sane are not decoded, whatever the container.
    EXPECT_EQ(PngPicture(Png(100000, 100000)).format, RtfPictureFormat::None);
    EXPECT_EQ(PngPicture(Png(0xFFFFFFFF, 1)).format, RtfPictureFormat::None);
    EXPECT_EQ(JpegPicture(Jpeg(65535, 65535)).format, RtfPictureFormat::None);
    EXPECT_EQ(DibPicture(Dib(100000, 100000, 24, "")).format, RtfPictureFormat::None);
    EXPECT_EQ(DibPicture(Dib(100000, -100000, 1, "")).format, RtfPictureFormat::None);
    EXPECT_EQ(DibPicture(Dib(1, static_cast<int>(0x80000000), 8, "")).format, RtfPictureFormat::None);
    EXPECT_EQ(MetafilePicture(Metafile(0x0F43, 28, Dib(100000, 100000, 24, ""), true)).format,
              RtfPictureFormat::None);
    EXPECT_EQ(PngPicture(Png(4096, 4096)).format, RtfPictureFormat::Png); // the largest allowed
}

TEST(ReadRtf, BadInputNeverFails) {
    // Cut short anywhere: inside a word, a hex escape, a picture, a table.
    const std::string whole = "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red9;}\\f0\\b bold\\'e9 \\u233?"
                              "{\\pict\\pngblip " +
                              Hex(Png(2, 2)) + "}\\par end}";
    for (std::size_t length = 0; length <= whole.size(); ++length)
        ReadRtf(std::string_view(whole).substr(0, length));
    EXPECT_EQ(Text("{\\rtf1 cut\\par half"), L"cut\nhalf\n");
    EXPECT_EQ(Text("{\\rtf1 a\\'4"), L"a\n");
    EXPECT_EQ(Text("{\\rtf1 a\\'zz b}"), L"azz b\n");
    // Unbalanced braces.
    EXPECT_EQ(Text("{\\rtf1 a}}}}b"), L"a\n");
    EXPECT_EQ(Text("}}{\\rtf1 a{{{b"), L"ab\n");
    EXPECT_EQ(Text(""), L"");
    EXPECT_EQ(Text("plain words"), L"");
    // A huge parameter and a word longer than any real one.
    EXPECT_EQ(Text("{\\rtf1\\fs99999999999999999999 a\\" + std::string(1000, 'x') + " b\\bin-5 c}"),
              L"abc\n");
}

TEST(ReadRtf, DeepNestingIsReadWithoutRecursion) {
    const std::string open(100000, '{');
    const std::string close(100000, '}');
    EXPECT_EQ(Text("{\\rtf1 a" + open + "\\b deep" + close + " b}"), L"a b\n");
    EXPECT_EQ(Text("{\\rtf1{{{{\\b x}}}}y}"), L"xy\n");
    EXPECT_EQ(Text("{\\rtf1 a" + open), L"a\n");
    const auto document = ReadRtf("{\\rtf1 a" + open + "\\b deep" + close + " b}");
    EXPECT_FALSE(document.paragraphs.at(0).runs.back().style.bold);
}

TEST(ReadRtf, BinaryGarbageIsReadAsFarAsItMakesSense) {
    std::mt19937 random(20240601);
    for (int round = 0; round < 50; ++round) {
        std::string bytes = "{\\rtf1 ";
        for (int i = 0; i < 20000; ++i)
            bytes += static_cast<char>(random() & 0xFF);
        const auto document = ReadRtf(bytes);
        for (const auto& paragraph : document.paragraphs)
            for (const auto& run : paragraph.runs)
                for (const wchar_t c : run.text)
                    EXPECT_GE(c, 0x20);
    }
}

TEST(ReadRtf, HugeDocumentsStayWithinTheLimits) {
    // 50 MB of short paragraphs: more paragraphs than a document may hold.
    std::string rtf = "{\\rtf1 ";
    rtf.reserve(50u << 20);
    while (rtf.size() < (50u << 20))
        rtf += "line of text\\par ";
    rtf += "}";
    const auto document = ReadRtf(rtf);
    EXPECT_TRUE(document.truncated);
    EXPECT_EQ(document.paragraphs.size(), RtfLimits::MaxParagraphs);
    EXPECT_EQ(document.paragraphs.back().runs.at(0).text, L"line of text");

    // A 50 MB picture: more picture data than a document may hold, so a frame.
    std::string big = "{\\rtf1{\\pict\\pngblip\\picwgoal100\\pichgoal100 ";
    big.append(50u << 20, '0');
    big += "}{\\pict\\pngblip\\picwgoal100\\pichgoal100 ";
    big.append(100u << 20, 'f');
    big += "}}";
    const auto pictures = ReadRtf(big);
    ASSERT_EQ(pictures.pictures.size(), 2u);
    EXPECT_EQ(pictures.pictures[0].format, RtfPictureFormat::None); // not a PNG
    EXPECT_EQ(pictures.pictures[1].format, RtfPictureFormat::None); // past the limit
    EXPECT_EQ(pictures.pictures[1].widthTwips, 100);

    // Many pictures: only so many are kept.
    std::string many = "{\\rtf1 ";
    for (std::size_t i = 0; i < RtfLimits::MaxPictureCount + 10; ++i)
        many += "{\\pict\\pngblip\\picwgoal15\\pichgoal15 00}";
    many += "}";
    const auto counted = ReadRtf(many);
    EXPECT_EQ(counted.pictures.size(), RtfLimits::MaxPictureCount);
    EXPECT_TRUE(counted.truncated);
}

TEST(LooksLikeRtf, NeedsTheHeader) {
    EXPECT_TRUE(LooksLikeRtf("{\\rtf1\\ansi}"));
    EXPECT_TRUE(LooksLikeRtf("{\\rtf"));
    EXPECT_FALSE(LooksLikeRtf(" {\\rtf1"));
    EXPECT_FALSE(LooksLikeRtf("{\\rt"));
    EXPECT_FALSE(LooksLikeRtf("Hello"));
}

TEST(PlainTextDocument, OneParagraphPerLineWithTabs) {
    const auto document = PlainTextDocument("one\r\ntwo\tcols\nthree\rfour");
    EXPECT_EQ(DocumentText(document), L"one\ntwo\tcols\nthree\nfour\n");
    ASSERT_EQ(document.paragraphs.size(), 4u);
    EXPECT_EQ(document.paragraphs[1].runs.at(1).kind, RtfRunKind::Tab);
    EXPECT_EQ(document.paragraphs[0].runs.at(0).style.font, -1);
}

TEST(PlainTextDocument, Utf8ElseWindows1252AndNoControlCharacters) {
    EXPECT_EQ(DocumentText(PlainTextDocument("\xEF\xBB\xBF"
                                             "caf\xC3\xA9")),
              L"caf\u00E9\n");
    EXPECT_EQ(DocumentText(PlainTextDocument("caf\xE9 \x80")), L"caf\u00E9 \u20AC\n");
    EXPECT_EQ(DocumentText(PlainTextDocument(std::string("a\0b\x1B", 4))), L"a\uFFFDb\uFFFD\n");
    EXPECT_EQ(DocumentText(PlainTextDocument("")), L"\n");
}
