#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A rich-text document as the viewer shows it: paragraphs of styled runs,
// with the fonts, colours and pictures they refer to. Lengths are twips.

enum class RtfFontFamily { Default, Roman, Swiss, Modern, Script, Decorative, Technical };

struct RtfFont {
    std::wstring name;
    RtfFontFamily family = RtfFontFamily::Default;
};

struct RtfColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const RtfColour&) const = default;
};

enum class RtfVerticalPosition { Baseline, Superscript, Subscript };

struct RtfTextStyle {
    int font = -1; // index into RtfDocument::fonts; -1 for the viewer's own font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    RtfVerticalPosition position = RtfVerticalPosition::Baseline;
    int colour = -1; // index into RtfDocument::colours; -1 for the automatic colour
    bool operator==(const RtfTextStyle&) const = default;
};

enum class RtfRunKind { Text, Tab, LineBreak, Picture };

struct RtfRun {
    RtfRunKind kind = RtfRunKind::Text;
    RtfTextStyle style;
    std::wstring text; // Text runs only
    int picture = -1;  // Picture runs: index into RtfDocument::pictures
};

enum class RtfAlignment { Left, Centre, Right, Justify };
enum class RtfTabKind { Left, Centre, Right, Decimal };

struct RtfTabStop {
    int position = 0; // from the left edge of the text, not from the indent
    RtfTabKind kind = RtfTabKind::Left;
    bool operator==(const RtfTabStop&) const = default;
};

struct RtfParagraphFormat {
    RtfAlignment alignment = RtfAlignment::Left;
    std::vector<RtfTabStop> tabStops; // in increasing position
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0; // relative to leftIndent, may be negative
    int spaceBefore = 0;
    int spaceAfter = 0;
    // 0: single. Positive: at least that many twips, or that many 240ths of a
    // line when lineSpacingMultiple. Negative: exactly that many twips.
    int lineSpacing = 0;
    bool lineSpacingMultiple = false;
};

struct RtfParagraph {
    RtfParagraphFormat format;
    RtfTextStyle markStyle; // the style of its end mark: an empty paragraph is that high
    std::vector<RtfRun> runs;
};

// Image bytes as an image loader reads them: a whole PNG or JPEG file, or a
// BMP file (BITMAPFILEHEADER + DIB). None: a picture that could not be
// decoded, or one too large to decode; it is shown as an empty frame.
enum class RtfPictureFormat { None, Png, Jpeg, Bmp };

struct RtfPicture {
    RtfPictureFormat format = RtfPictureFormat::None;
    std::string bytes;
    int pixelWidth = 0; // the image's own size, from its header
    int pixelHeight = 0;
    int widthTwips = 0; // the size it is shown at
    int heightTwips = 0;
};

struct RtfDocument {
    std::vector<RtfFont> fonts;
    std::vector<RtfColour> colours;
    std::vector<RtfParagraph> paragraphs;
    std::vector<RtfPicture> pictures;
    int defaultTabWidth = 720;
    bool truncated = false; // content past one of RtfLimits was left out
};

// What a document may hold at most, so that no file, however made, takes
// absurd memory or time to show.
namespace RtfLimits {
constexpr int MaxFramePixels = 32767;
constexpr int MaxPictureTwips = MaxFramePixels * 15;
constexpr std::int64_t MaxPicturePixels = 4096 * 4096;
constexpr std::size_t MaxPictureCount = 4096;
constexpr std::size_t MaxPictureBytes = std::size_t{128} << 20; // all pictures together
constexpr std::size_t MaxTextCharacters = std::size_t{64} << 20;
constexpr std::size_t MaxRuns = std::size_t{1} << 20;
constexpr std::size_t MaxParagraphs = std::size_t{1} << 20;
constexpr std::size_t MaxFonts = 4096;
constexpr std::size_t MaxColours = 4096;
} // namespace RtfLimits

// The document's text: paragraphs end with '\n', a line break is '\n' too, a
// tab '\t' and a picture U+FFFC.
std::wstring DocumentText(const RtfDocument& document);
