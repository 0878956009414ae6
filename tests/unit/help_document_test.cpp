// The help document as shipped, resources/help.rtf, read as the help window
// reads it.

#include "rtf_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

std::string ShippedDocument() {
    std::ifstream in(SCOUTWELL_HELP_DOCUMENT, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring ParagraphText(const RtfParagraph& paragraph) {
    std::wstring text;
    for (const RtfRun& run : paragraph.runs)
        text += run.kind == RtfRunKind::Picture ? L"\uFFFC" : run.text;
    return text;
}

// What one paragraph must be: a picture of the given size, an empty line, or
// text in the given size that starts with or contains a phrase.
struct Expected {
    enum Kind { Picture, Empty, Text } kind = Empty;
    int width = 0; // twips, pictures only
    int height = 0;
    int halfPoints = 0;
    bool bold = false;
    std::wstring startsWith;
    std::wstring contains;
};

Expected PictureOf(int width, int height) {
    Expected e;
    e.kind = Expected::Picture;
    e.width = width;
    e.height = height;
    return e;
}

Expected EmptyLine() {
    return {};
}

Expected TextOf(int halfPoints, std::wstring startsWith, std::wstring contains = {}, bool bold = false) {
    Expected e;
    e.kind = Expected::Text;
    e.halfPoints = halfPoints;
    e.bold = bold;
    e.startsWith = std::move(startsWith);
    e.contains = std::move(contains);
    return e;
}

} // namespace

TEST(HelpDocument, HeaderFontsAndColours) {
    const std::string rtf = ShippedDocument();
    ASSERT_TRUE(LooksLikeRtf(rtf)) << "cannot read " << SCOUTWELL_HELP_DOCUMENT;
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u);
    EXPECT_NE(rtf.find("\\deflang1033"), std::string::npos);

    const RtfDocument document = ReadRtf(rtf);
    EXPECT_FALSE(document.truncated);
    ASSERT_EQ(document.fonts.size(), 3u);
    EXPECT_EQ(document.fonts[0].name, L"MS Sans Serif");
    EXPECT_EQ(document.fonts[1].name, L"Symbol");
    EXPECT_EQ(document.fonts[2].name, L"Times New Roman");
    EXPECT_EQ(document.colours, (std::vector<RtfColour>{{0, 0, 0}}));
    EXPECT_EQ(document.defaultTabWidth, 720);
    // All of the text is Times New Roman.
    for (const RtfParagraph& paragraph : document.paragraphs) {
        for (const RtfRun& run : paragraph.runs) {
            if (run.kind == RtfRunKind::Text) {
                EXPECT_EQ(run.style.font, 2) << std::string(run.text.begin(), run.text.end());
            }
        }
    }
}

TEST(HelpDocument, ParagraphsComeInTheirOrderWithTheirSizes) {
    const std::vector<Expected> expected{
        PictureOf(2353, 1515),
        TextOf(28, L"Scoutwell Version 2.0", {}, true),
        TextOf(24, L"Scoutwell is a", L"at once"),
        EmptyLine(),
        TextOf(24, L"Copyright (C) 2026 Scoutwell Software"),
        TextOf(24, L"All rights reserved."),
        TextOf(24, L"For additional help, e-mail: support@scoutwell.example"),
        EmptyLine(),
        TextOf(20, L"To search, type your keywords", L"Search button"),
        PictureOf(2424, 1116),
        EmptyLine(),
        TextOf(20, L"Select the search engine", L"Save button"),
        PictureOf(6685, 705),
        EmptyLine(),
        TextOf(20, L"The four buttons", L"control the browser pane"),
        PictureOf(690, 1009),
        EmptyLine(),
        TextOf(20, L"Open:", L"full size"),
        TextOf(20, L"Fwd:", L"forward one page"),
        TextOf(20, L"Back:", L"back one page"),
        TextOf(20, L"Stop:", L"stops loading"),
        EmptyLine(),
        PictureOf(1967, 414),
        TextOf(20, L"While a pane is shown full size", L"default web browser"),
        EmptyLine(),
        PictureOf(7138, 507),
        TextOf(20, L"While a pane is shown full size", L"full URL"),
        EmptyLine(),
        TextOf(20, L"Right-click a link, a page or a picture", L"Open Link in New Window"),
        EmptyLine(),
        TextOf(20, L"Adding search engines", {}, true),
        TextOf(20, L"Each box lists", L".config/scoutwell/engines"),
        TextOf(20, L"When a page in a pane offers", L"\u201cAdd search engine\u201d"),
    };
    const RtfDocument document = ReadRtf(ShippedDocument());
    std::string outline; // what the document holds, for a failure's message
    for (const RtfParagraph& paragraph : document.paragraphs) {
        const std::wstring text = ParagraphText(paragraph);
        const auto shown = static_cast<std::ptrdiff_t>(std::min<std::size_t>(text.size(), 40));
        outline += std::string(text.begin(), text.begin() + shown) + "\n";
    }
    ASSERT_EQ(document.paragraphs.size(), expected.size()) << outline;
    int picture = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const RtfParagraph& paragraph = document.paragraphs[i];
        const Expected& e = expected[i];
        switch (e.kind) {
        case Expected::Empty:
            EXPECT_TRUE(paragraph.runs.empty());
            break;
        case Expected::Picture: {
            ASSERT_EQ(paragraph.runs.size(), 1u);
            ASSERT_EQ(paragraph.runs[0].kind, RtfRunKind::Picture);
            EXPECT_EQ(paragraph.runs[0].picture, picture++);
            const RtfPicture& p = document.pictures.at(static_cast<std::size_t>(paragraph.runs[0].picture));
            EXPECT_EQ(p.widthTwips, e.width);
            EXPECT_EQ(p.heightTwips, e.height);
            break;
        }
        case Expected::Text: {
            const std::wstring text = ParagraphText(paragraph);
            EXPECT_EQ(text.rfind(e.startsWith, 0), 0u) << std::string(text.begin(), text.end());
            EXPECT_NE(text.find(e.contains), std::wstring::npos) << std::string(text.begin(), text.end());
            EXPECT_EQ(text.find(L'\n'), std::wstring::npos); // one line of the table: one paragraph
            for (const RtfRun& run : paragraph.runs) {
                EXPECT_EQ(run.style.halfPoints, e.halfPoints);
                EXPECT_EQ(run.style.bold, e.bold);
            }
            break;
        }
        }
    }
    EXPECT_EQ(picture, 6);
}

// Screenshots as metafiles that carry 24-bit bitmaps, shown at 98 or 99 per
// cent of a goal near the bitmap's own size.
TEST(HelpDocument, PicturesAre24BitMetafileScreenshotsAtNearlyTheirOwnSize) {
    const std::string rtf = ShippedDocument();
    const std::regex pictureHeader(R"(\\pict\\wmetafile8\\picw\d+\\pich\d+)"
                                   R"(\\picwgoal(\d+)\\pichgoal(\d+)\\picscalex(\d+)\\picscaley(\d+))");
    std::vector<std::smatch> headers;
    for (auto it = std::sregex_iterator(rtf.begin(), rtf.end(), pictureHeader); it != std::sregex_iterator();
         ++it)
        headers.push_back(*it);
    ASSERT_EQ(headers.size(), 6u);

    const RtfDocument document = ReadRtf(rtf);
    ASSERT_EQ(document.pictures.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const RtfPicture& p = document.pictures[i];
        ASSERT_EQ(p.format, RtfPictureFormat::Bmp);
        ASSERT_GT(p.bytes.size(), 30u);
        EXPECT_EQ(static_cast<unsigned char>(p.bytes[28]), 24); // biBitCount of the BMP file

        const int goalWidth = std::stoi(headers[i][1]);
        const int goalHeight = std::stoi(headers[i][2]);
        const int scaleX = std::stoi(headers[i][3]);
        const int scaleY = std::stoi(headers[i][4]);
        EXPECT_TRUE(scaleX == 98 || scaleX == 99) << scaleX;
        EXPECT_TRUE(scaleY == 98 || scaleY == 99) << scaleY;
        EXPECT_EQ(goalWidth * scaleX / 100, p.widthTwips);
        EXPECT_EQ(goalHeight * scaleY / 100, p.heightTwips);
        // A picture of the right part of the window: its own pixels, at 15
        // twips each, come within 5 % of the size it is shown at.
        EXPECT_NEAR(p.pixelWidth * 15.0, p.widthTwips, p.widthTwips * 0.05);
        EXPECT_NEAR(p.pixelHeight * 15.0, p.heightTwips, p.heightTwips * 0.05);
    }
}
