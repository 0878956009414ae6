#include "rtf_reader.h"

#include "code_pages.h"
#include "rtf_pictures.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// Deeper groups than this are read only for their braces: no writer nests
// this deep, and the stack of group states stays small whatever the file.
constexpr std::size_t MaxGroupDepth = 4096;
constexpr std::size_t MaxTabStops = 64;
constexpr int MaxHalfPoints = 3276; // 1638 points, the largest size word processors offer
constexpr int MaxLength = RtfLimits::MaxPictureTwips;

enum class Destination { Text, FontTable, ColourTable, Picture, Skip, UnicodeFallback };

enum class Word {
    Ansi,
    AnsiCodePage,
    Mac,
    Pc,
    Pca,
    DefaultFont,
    DefaultTab,
    UnicodeSkip,
    Unicode,
    Binary,
    FontTable,
    ColourTable,
    Picture,
    ShapePicture,
    SkipDestination,
    UnicodePair,
    UnicodeText,
    Paragraph,
    Line,
    Tab,
    Cell,
    Row,
    EmDash,
    EnDash,
    EmSpace,
    EnSpace,
    QuarterEmSpace,
    Bullet,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    ZeroWidthJoiner,
    ZeroWidthNonJoiner,
    LeftToRightMark,
    RightToLeftMark,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Font,
    FontSize,
    Colour,
    Superscript,
    Subscript,
    NoSuperSub,
    Hidden,
    ParagraphDefault,
    AlignLeft,
    AlignCentre,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstLineIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineSpacingMultiple,
    TabPosition,
    TabRight,
    TabCentre,
    TabDecimal,
    BarTab,
    FamilyNil,
    FamilyRoman,
    FamilySwiss,
    FamilyModern,
    FamilyScript,
    FamilyDecorative,
    FamilyTechnical,
    Charset,
    FontCodePage,
    Red,
    Green,
    Blue,
    Png,
    Jpeg,
    Dib,
    Wmf,
    Emf,
    OtherPicture,
    PictureWidth,
    PictureHeight,
    PictureWidthGoal,
    PictureHeightGoal,
    PictureScaleX,
    PictureScaleY,
};

const std::unordered_map<std::string_view, Word>& Words() {
    static const std::unordered_map<std::string_view, Word> words = [] {
        std::unordered_map<std::string_view, Word> w{
            {"ansi", Word::Ansi},
            {"ansicpg", Word::AnsiCodePage},
            {"mac", Word::Mac},
            {"pc", Word::Pc},
            {"pca", Word::Pca},
            {"deff", Word::DefaultFont},
            {"deftab", Word::DefaultTab},
            {"uc", Word::UnicodeSkip},
            {"u", Word::Unicode},
            {"bin", Word::Binary},
            {"fonttbl", Word::FontTable},
            {"colortbl", Word::ColourTable},
            {"pict", Word::Picture},
            {"shppict", Word::ShapePicture},
            {"upr", Word::UnicodePair},
            {"ud", Word::UnicodeText},
            {"par", Word::Paragraph},
            {"sect", Word::Paragraph},
            {"page", Word::Paragraph},
            {"column", Word::Paragraph},
            {"line", Word::Line},
            {"tab", Word::Tab},
            {"cell", Word::Cell},
            {"nestcell", Word::Cell},
            {"row", Word::Row},
            {"nestrow", Word::Row},
            {"emdash", Word::EmDash},
            {"endash", Word::EnDash},
            {"emspace", Word::EmSpace},
            {"enspace", Word::EnSpace},
            {"qmspace", Word::QuarterEmSpace},
            {"bullet", Word::Bullet},
            {"lquote", Word::LeftQuote},
            {"rquote", Word::RightQuote},
            {"ldblquote", Word::LeftDoubleQuote},
            {"rdblquote", Word::RightDoubleQuote},
            {"zwj", Word::ZeroWidthJoiner},
            {"zwnj", Word::ZeroWidthNonJoiner},
            {"ltrmark", Word::LeftToRightMark},
            {"rtlmark", Word::RightToLeftMark},
            {"plain", Word::Plain},
            {"b", Word::Bold},
            {"i", Word::Italic},
            {"ulnone", Word::UnderlineNone},
            {"strike", Word::Strike},
            {"striked", Word::Strike},
            {"f", Word::Font},
            {"fs", Word::FontSize},
            {"cf", Word::Colour},
            {"super", Word::Superscript},
            {"sub", Word::Subscript},
            {"nosupersub", Word::NoSuperSub},
            {"v", Word::Hidden},
            {"pard", Word::ParagraphDefault},
            {"ql", Word::AlignLeft},
            {"qc", Word::AlignCentre},
            {"qr", Word::AlignRight},
            {"qj", Word::AlignJustify},
            {"qd", Word::AlignJustify},
            {"li", Word::LeftIndent},
            {"lin", Word::LeftIndent},
            {"ri", Word::RightIndent},
            {"rin", Word::RightIndent},
            {"fi", Word::FirstLineIndent},
            {"sb", Word::SpaceBefore},
            {"sa", Word::SpaceAfter},
            {"sl", Word::LineSpacing},
            {"slmult", Word::LineSpacingMultiple},
            {"tx", Word::TabPosition},
            {"tqr", Word::TabRight},
            {"tqc", Word::TabCentre},
            {"tqdec", Word::TabDecimal},
            {"tb", Word::BarTab},
            {"fnil", Word::FamilyNil},
            {"froman", Word::FamilyRoman},
            {"fswiss", Word::FamilySwiss},
            {"fmodern", Word::FamilyModern},
            {"fscript", Word::FamilyScript},
            {"fdecor", Word::FamilyDecorative},
            {"ftech", Word::FamilyTechnical},
            {"fcharset", Word::Charset},
            {"cpg", Word::FontCodePage},
            {"red", Word::Red},
            {"green", Word::Green},
            {"blue", Word::Blue},
            {"pngblip", Word::Png},
            {"jpegblip", Word::Jpeg},
            {"dibitmap", Word::Dib},
            {"wmetafile", Word::Wmf},
            {"emfblip", Word::Emf},
            {"macpict", Word::OtherPicture},
            {"pmmetafile", Word::OtherPicture},
            {"wbitmap", Word::OtherPicture},
            {"picw", Word::PictureWidth},
            {"pich", Word::PictureHeight},
            {"picwgoal", Word::PictureWidthGoal},
            {"pichgoal", Word::PictureHeightGoal},
            {"picscalex", Word::PictureScaleX},
            {"picscaley", Word::PictureScaleY},
        };
        // Every kind of underline shows as the one underline.
        for (std::string_view kind :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd",
              "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            w.emplace(kind, Word::Underline);
        // Destinations that hold no text of the document, in case they come
        // without the \* that marks them.
        for (std::string_view skip : {"info",
                                      "stylesheet",
                                      "header",
                                      "headerl",
                                      "headerr",
                                      "headerf",
                                      "footer",
                                      "footerl",
                                      "footerr",
                                      "footerf",
                                      "footnote",
                                      "annotation",
                                      "atnid",
                                      "atnauthor",
                                      "filetbl",
                                      "revtbl",
                                      "listtable",
                                      "listoverridetable",
                                      "pgdsctbl",
                                      "rsidtbl",
                                      "nonshppict",
                                      "fldinst",
                                      "datafield",
                                      "xe",
                                      "tc",
                                      "txe",
                                      "rxe",
                                      "template",
                                      "comment",
                                      "title",
                                      "subject",
                                      "author",
                                      "operator",
                                      "keywords",
                                      "doccomm",
                                      "bkmkstart",
                                      "bkmkend",
                                      "ftnsep",
                                      "ftnsepc",
                                      "ftncn",
                                      "aftnsep",
                                      "aftnsepc",
                                      "aftncn",
                                      "pn",
                                      "pnseclvl",
                                      "pntxta",
                                      "pntxtb",
                                      "themedata",
                                      "colorschememapping",
                                      "datastore",
                                      "latentstyles",
                                      "xmlnstbl",
                                      "mmathPr",
                                      "generator",
                                      "private",
                                      "userprops",
                                      "docvar",
                                      "objdata",
                                      "objclass",
                                      "objname",
                                      "shpinst",
                                      "picprop",
                                      "blipuid",
                                      "falt",
                                      "panose",
                                      "fontemb",
                                      "fontfile",
                                      "listpicture",
                                      "background",
                                      "mailmerge",
                                      "fchars",
                                      "lchars",
                                      "protusertbl",
                                      "wgrffmtfilter",
                                      "pxe"})
            w.emplace(skip, Word::SkipDestination);
        return w;
    }();
    return words;
}

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

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int Clamp(std::int64_t value, std::int64_t low, std::int64_t high) {
    return static_cast<int>(std::clamp(value, low, high));
}

class Reader {
public:
    explicit Reader(std::string_view input) : m_input(input) {}

    RtfDocument Read() {
        while (m_at < m_input.size() && !m_finished) {
            const char c = m_input[m_at];
            if (c == '{') {
                ++m_at;
                OpenGroup();
            } else if (c == '}') {
                ++m_at;
                CloseGroup();
            } else if (c == '\\') {
                ControlToken();
            } else {
                ++m_at;
                if (c != '\r' && c != '\n')
                    Byte(static_cast<unsigned char>(c));
            }
        }
        FlushLeadByte();
        if (m_picture && m_excessDepth == 0)
            FinishPicture();
        if (!m_runs.empty())
            EndParagraph();
        return std::move(m_document);
    }

private:
    GroupState& State() { return m_stack.back(); }
    bool Outside() const { return m_stack.empty() || m_excessDepth > 0; }

    void OpenGroup() {
        FlushLeadByte();
        m_pendingSkip = 0;
        m_star = false;
        if (m_excessDepth > 0 || m_stack.size() >= MaxGroupDepth) {
            ++m_excessDepth;
            return;
        }
        m_stack.push_back(m_stack.empty() ? GroupState{} : m_stack.back());
    }

    void CloseGroup() {
        FlushLeadByte();
        m_pendingSkip = 0;
        m_star = false;
        if (m_excessDepth > 0) {
            --m_excessDepth;
            return;
        }
        if (m_stack.empty())
            return;
        const Destination closing = m_stack.back().destination;
        m_stack.pop_back();
        if (closing == Destination::FontTable) {
            CommitFont();
            if (m_stack.empty() || m_stack.back().destination != Destination::FontTable)
                ResolveFonts();
        }
        if (m_picture && m_stack.size() < m_pictureDepth)
            FinishPicture();
        if (m_stack.empty())
            m_finished = true; // the document's own group has closed: what follows is not part of it
    }

    // A backslash and what follows it.
    void ControlToken() {
        ++m_at;
        if (m_at >= m_input.size())
            return;
        const char first = m_input[m_at];
        if (first != '\'')
            FlushLeadByte();
        if (!IsLetter(first)) {
            ++m_at;
            Symbol(first);
            return;
        }
        const std::size_t start = m_at;
        while (m_at < m_input.size() && IsLetter(m_input[m_at]))
            ++m_at;
        const std::string_view word = m_input.substr(start, std::min<std::size_t>(m_at - start, 32));
        bool hasParameter = false;
        std::int64_t parameter = 0;
        bool negative = false;
        if (m_at + 1 < m_input.size() && m_input[m_at] == '-' && IsDigit(m_input[m_at + 1])) {
            negative = true;
            ++m_at;
        }
        while (m_at < m_input.size() && IsDigit(m_input[m_at])) {
            hasParameter = true;
            parameter = std::min<std::int64_t>(parameter * 10 + (m_input[m_at] - '0'), std::int64_t{1} << 40);
            ++m_at;
        }
        if (m_at < m_input.size() && m_input[m_at] == ' ')
            ++m_at;
        parameter = negative ? -parameter : parameter;
        const int value = Clamp(parameter, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());

        const auto found = Words().find(word);
        const bool known = found != Words().end();
        if (known && found->second == Word::Binary) {
            Binary(value);
            return;
        }
        if (Outside())
            return;
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        if (std::exchange(m_star, false)) {
            const bool wanted =
                known && (found->second == Word::ShapePicture || found->second == Word::UnicodeText ||
                          found->second == Word::Picture);
            if (!wanted) {
                State().destination = Destination::Skip;
                return;
            }
        }
        if (known)
            Act(found->second, hasParameter, value);
    }

    void Symbol(char symbol) {
        if (symbol == '\'') {
            // Two hex digits; a lone one is dropped with its escape.
            int value = 0;
            int digits = 0;
            while (digits < 2 && m_at < m_input.size() && HexValue(m_input[m_at]) >= 0) {
                value = value * 16 + HexValue(m_input[m_at]);
                ++digits;
                ++m_at;
            }
            if (digits < 2)
                value = -1;
            if (Outside())
                return;
            if (m_pendingSkip > 0) {
                --m_pendingSkip;
                return;
            }
            if (value >= 0)
                EncodedByte(static_cast<unsigned char>(value));
            return;
        }
        if (Outside())
            return;
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        switch (symbol) {
        case '{':
        case '}':
        case '\\':
            Literal(static_cast<unsigned char>(symbol));
            break;
        case '~':
            Character(0x00A0);
            break;
        case '_':
            Character(0x2011);
            break;
        case '*':
            m_star = true;
            break;
        case '\r':
        case '\n':
            if (State().destination == Destination::Text)
                EndParagraph();
            break;
        default:
            break; // \- optional hyphen, \| and \: formula and index marks
        }
    }

    // \binN: N raw bytes, never read as RTF.
    void Binary(int count) {
        const std::size_t length =
            std::min<std::size_t>(count < 0 ? 0 : static_cast<std::size_t>(count), m_input.size() - m_at);
        const std::string_view bytes = m_input.substr(m_at, length);
        m_at += length;
        if (Outside())
            return;
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        if (State().destination == Destination::Picture && m_picture)
            AppendPictureBytes(bytes);
    }

    // A byte of the document outside any control word.
    void Byte(unsigned char byte) {
        if (Outside())
            return;
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        if (State().destination == Destination::Picture) {
            PictureHex(byte);
            return;
        }
        if (byte == ';') {
            FlushLeadByte();
            if (State().destination == Destination::FontTable) {
                CommitFont();
                return;
            }
            if (State().destination == Destination::ColourTable) {
                CommitColour();
                return;
            }
        }
        EncodedByte(byte);
    }

    // A byte of text, raw or as \'hh, in the code page of its font. In a
    // double-byte code page a lead byte waits for the byte after it.
    void EncodedByte(unsigned char byte) {
        const Destination destination = State().destination;
        if (destination != Destination::FontTable && destination != Destination::Text)
            return;
        const int codePage =
            CodePageOf(destination == Destination::FontTable ? m_font.codePage : TextCodePage());
        std::string bytes(1, static_cast<char>(byte));
        if (m_leadByte >= 0) {
            bytes.insert(bytes.begin(), static_cast<char>(std::exchange(m_leadByte, -1)));
        } else if (byte < 0x80 || codePage == CodePageSymbol) {
            TextOrFontName(byte);
            return;
        } else if (IsLeadByte(codePage, byte)) {
            m_leadByte = byte;
            return;
        }
        for (const wchar_t c : DecodeCodePage(codePage, bytes))
            TextOrFontName(c);
    }

    // A lead byte that no byte followed stands alone.
    void FlushLeadByte() {
        if (m_leadByte < 0 || Outside()) {
            m_leadByte = -1;
            return;
        }
        const char lead = static_cast<char>(std::exchange(m_leadByte, -1));
        const Destination destination = State().destination;
        const int codePage =
            CodePageOf(destination == Destination::FontTable ? m_font.codePage : TextCodePage());
        for (const wchar_t c : DecodeCodePage(codePage, std::string_view(&lead, 1)))
            TextOrFontName(c);
    }

    void TextOrFontName(wchar_t c) {
        if (State().destination == Destination::FontTable)
            AppendFontName(c);
        else if (State().destination == Destination::Text)
            Character(c);
    }

    // \{, \} and \\ are text wherever text is.
    void Literal(unsigned char byte) {
        const Destination destination = State().destination;
        if (destination == Destination::FontTable)
            AppendFontName(byte);
        else if (destination == Destination::Text)
            Character(byte);
    }

    int CodePageOf(int fontCodePage) const { return fontCodePage == 0 ? m_codePage : fontCodePage; }

    int TextCodePage() const {
        const int font = m_stack.back().style.font;
        return font >= 0 ? m_fontCodePages[static_cast<std::size_t>(font)] : 0;
    }

    void Act(Word word, bool hasParameter, int value) {
        GroupState& state = State();
        const bool on = !hasParameter || value != 0;
        switch (state.destination) {
        case Destination::Skip:
            return;
        case Destination::UnicodeFallback:
            if (word == Word::UnicodeText)
                state.destination = Destination::Text;
            return;
        case Destination::FontTable:
            FontTableWord(word, value);
            return;
        case Destination::ColourTable:
            if (word == Word::Red)
                m_colour.colour.red = static_cast<std::uint8_t>(Clamp(value, 0, 255));
            else if (word == Word::Green)
                m_colour.colour.green = static_cast<std::uint8_t>(Clamp(value, 0, 255));
            else if (word == Word::Blue)
                m_colour.colour.blue = static_cast<std::uint8_t>(Clamp(value, 0, 255));
            else
                return;
            m_colour.set = true;
            return;
        case Destination::Picture:
            PictureWord(word, value);
            return;
        case Destination::Text:
            break;
        }

        RtfTextStyle& style = state.style;
        RtfParagraphFormat& paragraph = state.paragraph;
        switch (word) {
        case Word::Ansi:
            m_codePage = m_codePageSet ? m_codePage : 1252;
            break;
        case Word::AnsiCodePage:
            m_codePage = value > 0 ? value : 1252;
            m_codePageSet = true;
            break;
        case Word::Mac:
            m_codePage = 10000;
            break;
        case Word::Pc:
            m_codePage = 437;
            break;
        case Word::Pca:
            m_codePage = 850;
            break;
        case Word::DefaultFont:
            m_defaultFont = value;
            break;
        case Word::DefaultTab:
            if (value > 0)
                m_document.defaultTabWidth = Clamp(value, 15, MaxLength);
            break;
        case Word::UnicodeSkip:
            state.unicodeSkip = Clamp(value, 0, 255);
            break;
        case Word::Unicode:
            UnicodeCharacter(value);
            m_pendingSkip = state.unicodeSkip;
            break;
        case Word::FontTable:
            state.destination = Destination::FontTable;
            break;
        case Word::ColourTable:
            state.destination = Destination::ColourTable;
            m_colour = {};
            break;
        case Word::Picture:
            StartPicture();
            break;
        case Word::SkipDestination:
            state.destination = Destination::Skip;
            break;
        case Word::UnicodePair:
            state.destination = Destination::UnicodeFallback;
            break;
        case Word::ShapePicture:
        case Word::UnicodeText:
            break;
        case Word::Paragraph:
            EndParagraph();
            break;
        case Word::Row:
            EndParagraph();
            break;
        case Word::Line:
            AddRun(RtfRunKind::LineBreak);
            break;
        case Word::Tab:
        case Word::Cell:
            AddRun(RtfRunKind::Tab);
            break;
        case Word::EmDash:
            Character(0x2014);
            break;
        case Word::EnDash:
            Character(0x2013);
            break;
        case Word::EmSpace:
            Character(0x2003);
            break;
        case Word::EnSpace:
            Character(0x2002);
            break;
        case Word::QuarterEmSpace:
            Character(0x2005);
            break;
        case Word::Bullet:
            Character(0x2022);
            break;
        case Word::LeftQuote:
            Character(0x2018);
            break;
        case Word::RightQuote:
            Character(0x2019);
            break;
        case Word::LeftDoubleQuote:
            Character(0x201C);
            break;
        case Word::RightDoubleQuote:
            Character(0x201D);
            break;
        case Word::ZeroWidthJoiner:
            Character(0x200D);
            break;
        case Word::ZeroWidthNonJoiner:
            Character(0x200C);
            break;
        case Word::LeftToRightMark:
            Character(0x200E);
            break;
        case Word::RightToLeftMark:
            Character(0x200F);
            break;
        case Word::Plain:
            style = RtfTextStyle{};
            state.fontNumber = -1;
            style.font = FontIndex(m_defaultFont);
            state.hidden = false;
            break;
        case Word::Bold:
            style.bold = on;
            break;
        case Word::Italic:
            style.italic = on;
            break;
        case Word::Underline:
            style.underline = on;
            break;
        case Word::UnderlineNone:
            style.underline = false;
            break;
        case Word::Strike:
            style.strike = on;
            break;
        case Word::Font:
            state.fontNumber = value;
            style.font = FontIndex(value);
            break;
        case Word::FontSize:
            style.halfPoints = hasParameter && value > 0 ? Clamp(value, 2, MaxHalfPoints) : 24;
            break;
        case Word::Colour: {
            const bool valid = value >= 0 && static_cast<std::size_t>(value) < m_colourSet.size() &&
                               m_colourSet[static_cast<std::size_t>(value)];
            style.colour = valid ? value : -1;
            break;
        }
        case Word::Superscript:
            style.position = RtfVerticalPosition::Superscript;
            break;
        case Word::Subscript:
            style.position = RtfVerticalPosition::Subscript;
            break;
        case Word::NoSuperSub:
            style.position = RtfVerticalPosition::Baseline;
            break;
        case Word::Hidden:
            state.hidden = on;
            break;
        case Word::ParagraphDefault:
            paragraph = RtfParagraphFormat{};
            state.nextTabKind = RtfTabKind::Left;
            break;
        case Word::AlignLeft:
            paragraph.alignment = RtfAlignment::Left;
            break;
        case Word::AlignCentre:
            paragraph.alignment = RtfAlignment::Centre;
            break;
        case Word::AlignRight:
            paragraph.alignment = RtfAlignment::Right;
            break;
        case Word::AlignJustify:
            paragraph.alignment = RtfAlignment::Justify;
            break;
        case Word::LeftIndent:
            paragraph.leftIndent = Clamp(value, -MaxLength, MaxLength);
            break;
        case Word::RightIndent:
            paragraph.rightIndent = Clamp(value, -MaxLength, MaxLength);
            break;
        case Word::FirstLineIndent:
            paragraph.firstLineIndent = Clamp(value, -MaxLength, MaxLength);
            break;
        case Word::SpaceBefore:
            paragraph.spaceBefore = Clamp(value, 0, MaxLength);
            break;
        case Word::SpaceAfter:
            paragraph.spaceAfter = Clamp(value, 0, MaxLength);
            break;
        case Word::LineSpacing:
            paragraph.lineSpacing = Clamp(value, -MaxLength, MaxLength);
            break;
        case Word::LineSpacingMultiple:
            paragraph.lineSpacingMultiple = on;
            break;
        case Word::TabPosition:
            AddTabStop(paragraph, Clamp(value, 0, MaxLength), state.nextTabKind);
            break;
        case Word::TabRight:
            state.nextTabKind = RtfTabKind::Right;
            break;
        case Word::TabCentre:
            state.nextTabKind = RtfTabKind::Centre;
            break;
        case Word::TabDecimal:
            state.nextTabKind = RtfTabKind::Decimal;
            break;
        case Word::BarTab:
            state.nextTabKind = RtfTabKind::Left;
            break;
        default:
            break;
        }
    }

    static void AddTabStop(RtfParagraphFormat& paragraph, int position, RtfTabKind& kind) {
        auto& stops = paragraph.tabStops;
        const auto at = std::lower_bound(stops.begin(), stops.end(), position,
                                         [](const RtfTabStop& stop, int p) { return stop.position < p; });
        if (at != stops.end() && at->position == position)
            at->kind = kind;
        else if (stops.size() < MaxTabStops)
            stops.insert(at, RtfTabStop{position, kind});
        kind = RtfTabKind::Left;
    }

    // Fonts -----------------------------------------------------------------

    void FontTableWord(Word word, int value) {
        switch (word) {
        case Word::Font:
            CommitFont();
            m_font.started = true;
            m_font.number = value;
            break;
        case Word::Charset:
            if (m_font.codePage == 0 || !m_fontCodePageSet)
                m_font.codePage = CodePageOfCharset(value);
            break;
        case Word::FontCodePage:
            m_font.codePage = value > 0 ? value : m_font.codePage;
            m_fontCodePageSet = true;
            break;
        case Word::FamilyNil:
            m_font.family = RtfFontFamily::Default;
            break;
        case Word::FamilyRoman:
            m_font.family = RtfFontFamily::Roman;
            break;
        case Word::FamilySwiss:
            m_font.family = RtfFontFamily::Swiss;
            break;
        case Word::FamilyModern:
            m_font.family = RtfFontFamily::Modern;
            break;
        case Word::FamilyScript:
            m_font.family = RtfFontFamily::Script;
            break;
        case Word::FamilyDecorative:
            m_font.family = RtfFontFamily::Decorative;
            break;
        case Word::FamilyTechnical:
            m_font.family = RtfFontFamily::Technical;
            break;
        case Word::Unicode:
            if (value != 0)
                AppendFontName(static_cast<wchar_t>(value < 0 ? value + 0x10000 : std::min(value, 0xFFFD)));
            m_pendingSkip = State().unicodeSkip;
            break;
        case Word::SkipDestination:
            State().destination = Destination::Skip;
            break;
        default:
            break;
        }
    }

    void AppendFontName(wchar_t c) {
        m_font.started = true;
        if (m_font.name.size() < 256 && c >= 0x20)
            m_font.name += c;
    }

    void CommitFont() {
        if (!m_font.started)
            return;
        if (m_document.fonts.size() < RtfLimits::MaxFonts) {
            std::wstring name = m_font.name;
            const auto first = name.find_first_not_of(L' ');
            const auto last = name.find_last_not_of(L' ');
            name = first == std::wstring::npos ? L"" : name.substr(first, last - first + 1);
            m_fontIndexes[m_font.number] = static_cast<int>(m_document.fonts.size());
            m_document.fonts.push_back(RtfFont{std::move(name), m_font.family});
            m_fontCodePages.push_back(m_font.codePage);
        }
        m_font = FontEntry{};
        m_fontCodePageSet = false;
    }

    int FontIndex(int number) const {
        const auto found = m_fontIndexes.find(number < 0 ? m_defaultFont : number);
        return found == m_fontIndexes.end() ? -1 : found->second;
    }

    // The table may come after the default font was chosen: the groups
    // already open learn their fonts now.
    void ResolveFonts() {
        for (GroupState& state : m_stack)
            state.style.font = FontIndex(state.fontNumber);
    }

    void CommitColour() {
        if (m_document.colours.size() < RtfLimits::MaxColours) {
            m_document.colours.push_back(m_colour.colour);
            m_colourSet.push_back(m_colour.set);
        }
        m_colour = {};
    }

    // Text ------------------------------------------------------------------

    void UnicodeCharacter(int value) {
        const int code = value < 0 ? value + 0x10000 : value;
        if (code < 0 || code > 0xFFFF) {
            Character(0xFFFD);
            return;
        }
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (m_highSurrogate != 0)
                Emit(0xFFFD);
            m_highSurrogate = code;
            return;
        }
        if (code >= 0xDC00 && code <= 0xDFFF) {
            if (m_highSurrogate != 0) {
                const int combined = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (code - 0xDC00);
                m_highSurrogate = 0;
                Emit(static_cast<wchar_t>(combined));
            } else {
                Emit(0xFFFD);
            }
            return;
        }
        Character(static_cast<wchar_t>(code));
    }

    void Character(wchar_t c) {
        if (m_highSurrogate != 0) {
            m_highSurrogate = 0;
            Emit(0xFFFD);
        }
        Emit(c);
    }

    void Emit(wchar_t c) {
        const GroupState& state = State();
        if (state.destination != Destination::Text || state.hidden)
            return;
        if (c == L'\t') {
            AddRun(RtfRunKind::Tab);
            return;
        }
        if (c < 0x20 || c == 0x7F)
            return;
        if (m_characters >= RtfLimits::MaxTextCharacters) {
            Stop();
            return;
        }
        if (m_runs.empty() || m_runs.back().kind != RtfRunKind::Text ||
            !(m_runs.back().style == state.style)) {
            if (!AddRun(RtfRunKind::Text))
                return;
        }
        m_runs.back().text += c;
        ++m_characters;
    }

    bool AddRun(RtfRunKind kind) {
        const GroupState& state = State();
        if (state.destination != Destination::Text || state.hidden)
            return false;
        if (m_runCount >= RtfLimits::MaxRuns) {
            Stop();
            return false;
        }
        RtfRun run;
        run.kind = kind;
        run.style = state.style;
        m_runs.push_back(std::move(run));
        ++m_runCount;
        return true;
    }

    void EndParagraph() {
        if (m_document.paragraphs.size() >= RtfLimits::MaxParagraphs) {
            Stop();
            return;
        }
        RtfParagraph paragraph;
        if (!m_stack.empty()) {
            paragraph.format = m_stack.back().paragraph;
            paragraph.markStyle = m_stack.back().style;
        }
        paragraph.runs = std::move(m_runs);
        m_runs.clear();
        m_document.paragraphs.push_back(std::move(paragraph));
    }

    void Stop() {
        m_document.truncated = true;
        m_finished = true;
    }

    // Pictures --------------------------------------------------------------

    void StartPicture() {
        if (m_picture)
            return; // a picture inside a picture adds nothing to show
        State().destination = Destination::Picture;
        m_picture = true;
        m_pictureDepth = m_stack.size();
        m_pictureEntry = PictureEntry{};
    }

    void PictureWord(Word word, int value) {
        PictureEntry& p = m_pictureEntry;
        switch (word) {
        case Word::Png:
            p.kind = PictureKind::Png;
            break;
        case Word::Jpeg:
            p.kind = PictureKind::Jpeg;
            break;
        case Word::Dib:
            p.kind = PictureKind::Dib;
            break;
        case Word::Wmf:
            p.kind = PictureKind::Wmf;
            break;
        case Word::Emf:
            p.kind = PictureKind::Emf;
            break;
        case Word::OtherPicture:
            p.kind = PictureKind::Other;
            break;
        case Word::PictureWidth:
            p.width = value;
            break;
        case Word::PictureHeight:
            p.height = value;
            break;
        case Word::PictureWidthGoal:
            p.widthGoal = value;
            break;
        case Word::PictureHeightGoal:
            p.heightGoal = value;
            break;
        case Word::PictureScaleX:
            p.scaleX = value;
            break;
        case Word::PictureScaleY:
            p.scaleY = value;
            break;
        case Word::SkipDestination:
            State().destination = Destination::Skip;
            break;
        default:
            break;
        }
    }

    bool PictureRoom(std::size_t more) {
        PictureEntry& p = m_pictureEntry;
        if (p.tooLarge || p.data.size() + more > RtfLimits::MaxPictureBytes - m_pictureBytes) {
            p.tooLarge = true;
            return false;
        }
        return true;
    }

    void PictureHex(unsigned char byte) {
        const int value = HexValue(static_cast<char>(byte));
        if (value < 0)
            return;
        PictureEntry& p = m_pictureEntry;
        if (p.nibble < 0) {
            p.nibble = value;
            return;
        }
        if (PictureRoom(1))
            p.data += static_cast<char>(p.nibble * 16 + value);
        p.nibble = -1;
    }

    void AppendPictureBytes(std::string_view bytes) {
        if (PictureRoom(bytes.size()))
            m_pictureEntry.data.append(bytes);
    }

    // The shown length of one side: the goal, else the picture's own extent
    // (pixels for bitmaps, hundredths of a millimetre for metafiles), else the
    // image's pixels; then the scale, within a frame of sane size.
    static int ShownTwips(std::int64_t goal, std::int64_t extent, bool metafile, int pixels,
                          std::int64_t scale) {
        std::int64_t twips = goal;
        if (twips <= 0 && extent > 0)
            twips = metafile ? extent * 1440 / 2540 : extent * 15;
        if (twips <= 0)
            twips = std::int64_t{pixels} * 15;
        twips = std::min<std::int64_t>(twips, RtfLimits::MaxPictureTwips);
        if (scale > 0)
            twips = twips * std::min<std::int64_t>(scale, 100000) / 100;
        return Clamp(twips, 0, RtfLimits::MaxPictureTwips);
    }

    void FinishPicture() {
        m_picture = false;
        PictureEntry& p = m_pictureEntry;
        RtfPicture picture;
        if (!p.tooLarge) {
            switch (p.kind) {
            case PictureKind::Png:
                picture = PngPicture(std::move(p.data));
                break;
            case PictureKind::Jpeg:
                picture = JpegPicture(std::move(p.data));
                break;
            case PictureKind::Dib:
                picture = DibPicture(p.data);
                break;
            case PictureKind::Wmf:
                picture = MetafilePicture(p.data);
                break;
            case PictureKind::Emf:
                picture = EnhancedMetafilePicture(p.data);
                break;
            case PictureKind::Other:
                break;
            }
        }
        if (picture.bytes.size() > RtfLimits::MaxPictureBytes - m_pictureBytes)
            picture = RtfPicture{};
        m_pictureBytes += picture.bytes.size();
        const bool metafile = p.kind == PictureKind::Wmf || p.kind == PictureKind::Emf;
        picture.widthTwips = ShownTwips(p.widthGoal, p.width, metafile, picture.pixelWidth, p.scaleX);
        picture.heightTwips = ShownTwips(p.heightGoal, p.height, metafile, picture.pixelHeight, p.scaleY);
        m_pictureEntry = PictureEntry{};

        // The picture stands in the text of the group that holds the \pict.
        if (m_stack.empty() || m_stack.back().destination != Destination::Text || m_stack.back().hidden)
            return;
        if (m_document.pictures.size() >= RtfLimits::MaxPictureCount) {
            m_document.truncated = true;
            return;
        }
        if (!AddRun(RtfRunKind::Picture))
            return;
        m_runs.back().picture = static_cast<int>(m_document.pictures.size());
        m_document.pictures.push_back(std::move(picture));
    }

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

} // namespace

RtfDocument ReadRtf(std::string_view rtf) {
    return Reader(rtf).Read();
}

bool LooksLikeRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

int CodePageOfCharset(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return CodePageSymbol;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0; // 1, the default character set, and any other: the document's code page
    }
}
