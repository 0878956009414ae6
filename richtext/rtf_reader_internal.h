#pragma once

// The reader's state, shared by the files that read each part of RTF:
// rtf_reader.cpp (the tokens and groups), rtf_control_words.cpp (what each
// control word does), rtf_fonts.cpp (fonts, colours and code pages),
// rtf_paragraphs.cpp (text into runs and paragraphs) and
// rtf_picture_reader.cpp (\pict groups). Not for use outside richtext/.

#include "rtf_document.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace RtfReading {

// Deeper groups than this are read only for their braces: no writer nests
// this deep, and the stack of group states stays small whatever the file.
constexpr std::size_t MaxGroupDepth = 4096;
constexpr std::size_t MaxTabStops = 64;
constexpr int MaxHalfPoints = 3276; // 1638 points, the largest size word processors offer
constexpr int MaxLength = RtfLimits::MaxPictureTwips;

enum class Destination { Text, FontTable, ColourTable, Picture, Skip, UnicodeFallback };

enum class PictureKind { Other, Png, Jpeg, Dib, Wmf, Emf };

struct GroupState {
    Destination destination = Destination::Text;
    RtfTextStyle style;
    RtfParagraphFormat paragraph;
    int fontNumber = -1; // as written after \f; -1: the default font
    int unicodeSkip = 1;
    bool hidden = false;
    RtfTabKind nextTabKind = RtfTabKind::Left;
};

struct FontEntry {
    bool started = false;
    int number = 0;
    int codePage = 0;
    RtfFontFamily family = RtfFontFamily::Default;
    std::wstring name;
};

struct ColourEntry {
    bool set = false;
    RtfColour colour;
};

struct PictureEntry {
    PictureKind kind = PictureKind::Other;
    std::string data;
    bool tooLarge = false;
    int nibble = -1;
    std::int64_t width = 0, height = 0, widthGoal = 0, heightGoal = 0, scaleX = 100, scaleY = 100;
};

// A control word's number: value is 0 when none was written.
struct Parameter {
    bool given = false;
    int value = 0;
    // A toggle such as \b is on without a number and with any but 0.
    bool On() const { return !given || value != 0; }
};

class Reader;
using WordAction = void (*)(Reader&, Parameter);

// What a control word does in each destination that reads control words; a
// missing action: the word means nothing there.
struct ControlWord {
    WordAction text = nullptr;
    WordAction fontTable = nullptr;
    WordAction colourTable = nullptr;
    WordAction picture = nullptr;
    bool binary = false;        // \bin: raw bytes follow, whatever the destination
    bool keptAfterStar = false; // read even after \*, which otherwise skips its destination
    bool endsFallback = false;  // \ud: the Unicode text of a \upr group begins
};

// The control word of that name, or null for a word this reader ignores.
const ControlWord* FindControlWord(std::string_view name);

inline bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

inline int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline int Clamp(std::int64_t value, std::int64_t low, std::int64_t high) {
    return static_cast<int>(std::clamp(value, low, high));
}

// One reading of one document. Its members are open to the control words'
// actions, which are plain functions in a table.
class Reader {
public:
    explicit Reader(std::string_view input) : m_input(input) {}

    RtfDocument Read();

    // Tokens and groups (rtf_reader.cpp).
    GroupState& State() { return m_stack.back(); }
    bool Outside() const { return m_stack.empty() || m_excessDepth > 0; }
    // Whether the next piece of text is dropped: outside any group, or one of
    // the characters a \uN stands in for (each one it swallows counts).
    bool Swallowed() {
        if (Outside())
            return true;
        if (m_pendingSkip <= 0)
            return false;
        --m_pendingSkip;
        return true;
    }
    void OpenGroup();
    void CloseGroup();
    void ControlToken();
    void Symbol(char symbol);
    void Binary(int count);
    void Byte(unsigned char byte);
    void Act(const ControlWord& word, Parameter parameter);

    // Code pages, fonts and colours (rtf_fonts.cpp).
    void EncodedByte(unsigned char byte);
    void FlushLeadByte();
    void TextOrFontName(wchar_t c);
    void Literal(unsigned char byte);
    int CodePageOf(int fontCodePage) const { return fontCodePage == 0 ? m_codePage : fontCodePage; }
    int TextCodePage() const;
    void AppendFontName(wchar_t c);
    void CommitFont();
    int FontIndex(int number) const;
    void ResolveFonts();
    void CommitColour();

    // Text, runs and paragraphs (rtf_paragraphs.cpp).
    void UnicodeCharacter(int value);
    void Character(wchar_t c);
    void Emit(wchar_t c);
    bool AddRun(RtfRunKind kind);
    void EndParagraph();
    void Stop();
    static void AddTabStop(RtfParagraphFormat& paragraph, int position, RtfTabKind& kind);

    // Pictures (rtf_picture_reader.cpp).
    void StartPicture();
    bool PictureRoom(std::size_t more);
    void PictureHex(unsigned char byte);
    void AppendPictureBytes(std::string_view bytes);
    void FinishPicture();

    std::string_view m_input;
    std::size_t m_at = 0;
    bool m_finished = false;
    RtfDocument m_document;

    std::vector<GroupState> m_stack;
    std::size_t m_excessDepth = 0;
    int m_pendingSkip = 0;
    int m_leadByte = -1; // a double-byte character's first byte, waiting for its second
    bool m_star = false;
    int m_highSurrogate = 0;

    int m_codePage = 1252;
    bool m_codePageSet = false;
    int m_defaultFont = 0;
    FontEntry m_font;
    bool m_fontCodePageSet = false;
    std::unordered_map<int, int> m_fontIndexes;
    std::vector<int> m_fontCodePages; // by font index; 0: the document's
    ColourEntry m_colour;
    std::vector<bool> m_colourSet;

    std::vector<RtfRun> m_runs; // of the paragraph being read
    std::size_t m_characters = 0;
    std::size_t m_runCount = 0;

    bool m_picture = false;
    std::size_t m_pictureDepth = 0;
    PictureEntry m_pictureEntry;
    std::size_t m_pictureBytes = 0;
};

} // namespace RtfReading
