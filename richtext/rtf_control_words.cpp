// The control words this reader understands, each with what it does in the
// text, the font table, the colour table and a picture. Words not named here
// are ignored wherever they stand.
#include "rtf_reader.h"
#include "rtf_reader_internal.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace RtfReading {

namespace {

// Text ----------------------------------------------------------------------

template <wchar_t C> void InsertCharacter(Reader& reader, Parameter) {
    reader.Character(C);
}

void EndParagraph(Reader& reader, Parameter) {
    reader.EndParagraph();
}
void LineBreak(Reader& reader, Parameter) {
    reader.AddRun(RtfRunKind::LineBreak);
}
void Tab(Reader& reader, Parameter) {
    reader.AddRun(RtfRunKind::Tab);
}

void Unicode(Reader& reader, Parameter p) {
    GroupState& state = reader.State();
    reader.UnicodeCharacter(p.value);
    reader.m_pendingSkip = state.unicodeSkip;
}
void UnicodeSkip(Reader& reader, Parameter p) {
    reader.State().unicodeSkip = Clamp(p.value, 0, 255);
}

// Destinations ---------------------------------------------------------------

template <Destination D> void Enter(Reader& reader, Parameter) {
    reader.State().destination = D;
}
void EnterColourTable(Reader& reader, Parameter) {
    reader.State().destination = Destination::ColourTable;
    reader.m_colour = {};
}
void EnterPicture(Reader& reader, Parameter) {
    reader.StartPicture();
}

// The document --------------------------------------------------------------

void Ansi(Reader& reader, Parameter) {
    reader.m_codePage = reader.m_codePageSet ? reader.m_codePage : 1252;
}
void AnsiCodePage(Reader& reader, Parameter p) {
    reader.m_codePage = p.value > 0 ? p.value : 1252;
    reader.m_codePageSet = true;
}
template <int CodePage> void DocumentCodePage(Reader& reader, Parameter) {
    reader.m_codePage = CodePage;
}
void DefaultFont(Reader& reader, Parameter p) {
    reader.m_defaultFont = p.value;
}
void DefaultTab(Reader& reader, Parameter p) {
    if (p.value > 0)
        reader.m_document.defaultTabWidth = Clamp(p.value, 15, MaxLength);
}

// Character formatting ------------------------------------------------------

void Plain(Reader& reader, Parameter) {
    GroupState& state = reader.State();
    state.style = RtfTextStyle{};
    state.fontNumber = -1;
    state.style.font = reader.FontIndex(reader.m_defaultFont);
    state.hidden = false;
}
template <auto Flag> void Toggle(Reader& reader, Parameter p) {
    reader.State().style.*Flag = p.On();
}
void UnderlineNone(Reader& reader, Parameter) {
    reader.State().style.underline = false;
}
void Font(Reader& reader, Parameter p) {
    GroupState& state = reader.State();
    state.fontNumber = p.value;
    state.style.font = reader.FontIndex(p.value);
}
void FontSize(Reader& reader, Parameter p) {
    reader.State().style.halfPoints = p.given && p.value > 0 ? Clamp(p.value, 2, MaxHalfPoints) : 24;
}
void Colour(Reader& reader, Parameter p) {
    const bool valid = p.value >= 0 && static_cast<std::size_t>(p.value) < reader.m_colourSet.size() &&
                       reader.m_colourSet[static_cast<std::size_t>(p.value)];
    reader.State().style.colour = valid ? p.value : -1;
}
template <RtfVerticalPosition Position> void Vertical(Reader& reader, Parameter) {
    reader.State().style.position = Position;
}
void Hidden(Reader& reader, Parameter p) {
    reader.State().hidden = p.On();
}

// Paragraph formatting ------------------------------------------------------

void ParagraphDefault(Reader& reader, Parameter) {
    GroupState& state = reader.State();
    state.paragraph = RtfParagraphFormat{};
    state.nextTabKind = RtfTabKind::Left;
}
template <RtfAlignment Alignment> void Align(Reader& reader, Parameter) {
    reader.State().paragraph.alignment = Alignment;
}
// Indents and line spacing may be negative; the space around a paragraph not.
template <auto Field, int Low> void Length(Reader& reader, Parameter p) {
    reader.State().paragraph.*Field = Clamp(p.value, Low, MaxLength);
}
void LineSpacingMultiple(Reader& reader, Parameter p) {
    reader.State().paragraph.lineSpacingMultiple = p.On();
}
void TabPosition(Reader& reader, Parameter p) {
    GroupState& state = reader.State();
    Reader::AddTabStop(state.paragraph, Clamp(p.value, 0, MaxLength), state.nextTabKind);
}
template <RtfTabKind Kind> void NextTabKind(Reader& reader, Parameter) {
    reader.State().nextTabKind = Kind;
}

// The font table ------------------------------------------------------------

void StartFont(Reader& reader, Parameter p) {
    reader.CommitFont();
    reader.m_font.started = true;
    reader.m_font.number = p.value;
}
void Charset(Reader& reader, Parameter p) {
    if (reader.m_font.codePage == 0 || !reader.m_fontCodePageSet)
        reader.m_font.codePage = CodePageOfCharset(p.value);
}
void FontCodePage(Reader& reader, Parameter p) {
    reader.m_font.codePage = p.value > 0 ? p.value : reader.m_font.codePage;
    reader.m_fontCodePageSet = true;
}
template <RtfFontFamily Family> void SetFamily(Reader& reader, Parameter) {
    reader.m_font.family = Family;
}
void UnicodeInFontName(Reader& reader, Parameter p) {
    if (p.value != 0)
        reader.AppendFontName(
            static_cast<wchar_t>(p.value < 0 ? p.value + 0x10000 : std::min(p.value, 0xFFFD)));
    reader.m_pendingSkip = reader.State().unicodeSkip;
}

// The colour table ----------------------------------------------------------

template <auto Channel> void SetChannel(Reader& reader, Parameter p) {
    reader.m_colour.colour.*Channel = static_cast<std::uint8_t>(Clamp(p.value, 0, 255));
    reader.m_colour.set = true;
}

// Pictures ------------------------------------------------------------------

template <PictureKind Kind> void SetPictureKind(Reader& reader, Parameter) {
    reader.m_pictureEntry.kind = Kind;
}
template <auto Field> void SetPictureSize(Reader& reader, Parameter p) {
    reader.m_pictureEntry.*Field = p.value;
}

// The table -----------------------------------------------------------------

constexpr WordAction Skip = Enter<Destination::Skip>;

ControlWord Text(WordAction action) {
    return ControlWord{.text = action};
}

// Destinations that hold no text of the document, in case they come without
// the \* that marks them.
constexpr std::string_view SkippedDestinations =
    "info stylesheet header headerl headerr headerf footer footerl footerr footerf footnote "
    "annotation atnid atnauthor filetbl revtbl listtable listoverridetable pgdsctbl rsidtbl "
    "nonshppict fldinst datafield xe tc txe rxe template comment title subject author operator "
    "keywords doccomm bkmkstart bkmkend ftnsep ftnsepc ftncn aftnsep aftnsepc aftncn pn "
    "pnseclvl pntxta pntxtb themedata colorschememapping datastore latentstyles xmlnstbl "
    "mmathPr generator private userprops docvar objdata objclass objname shpinst picprop "
    "blipuid falt panose fontemb fontfile listpicture background mailmerge fchars lchars "
    "protusertbl wgrffmtfilter pxe";

// Every kind of underline shows as the one underline.
constexpr std::string_view Underlines =
    "ul uld uldash uldashd uldashdd uldb ulhwave ulldash ulth ulthd ulthdash ulthdashd "
    "ulthdashdd ulthldash ululdbwave ulw ulwave";

using WordTable = std::unordered_map<std::string_view, ControlWord>;

// Adds each of the space-separated names with the same meaning.
void AddEach(WordTable& w, std::string_view names, const ControlWord& word) {
    while (!names.empty()) {
        const std::size_t end = std::min(names.find(' '), names.size());
        w.emplace(names.substr(0, end), word);
        names.remove_prefix(std::min(end + 1, names.size()));
    }
}

void AddDocumentWords(WordTable& w) {
    w.insert({{"ansi", Text(Ansi)},
              {"ansicpg", Text(AnsiCodePage)},
              {"mac", Text(DocumentCodePage<10000>)},
              {"pc", Text(DocumentCodePage<437>)},
              {"pca", Text(DocumentCodePage<850>)},
              {"deff", Text(DefaultFont)},
              {"deftab", Text(DefaultTab)},
              {"uc", Text(UnicodeSkip)},
              {"u", {.text = Unicode, .fontTable = UnicodeInFontName}},
              {"bin", {.binary = true}},
              {"fonttbl", Text(Enter<Destination::FontTable>)},
              {"colortbl", Text(EnterColourTable)},
              {"pict", {.text = EnterPicture, .keptAfterStar = true}},
              {"shppict", {.keptAfterStar = true}},
              {"upr", Text(Enter<Destination::UnicodeFallback>)},
              {"ud", {.keptAfterStar = true, .endsFallback = true}}});
    AddEach(w, SkippedDestinations, ControlWord{.text = Skip, .fontTable = Skip, .picture = Skip});
}

void AddSpecialCharacters(WordTable& w) {
    w.insert({{"par", Text(EndParagraph)},
              {"sect", Text(EndParagraph)},
              {"page", Text(EndParagraph)},
              {"column", Text(EndParagraph)},
              {"line", Text(LineBreak)},
              {"tab", Text(Tab)},
              {"cell", Text(Tab)},
              {"nestcell", Text(Tab)},
              {"row", Text(EndParagraph)},
              {"nestrow", Text(EndParagraph)},
              {"emdash", Text(InsertCharacter<0x2014>)},
              {"endash", Text(InsertCharacter<0x2013>)},
              {"emspace", Text(InsertCharacter<0x2003>)},
              {"enspace", Text(InsertCharacter<0x2002>)},
              {"qmspace", Text(InsertCharacter<0x2005>)},
              {"bullet", Text(InsertCharacter<0x2022>)},
              {"lquote", Text(InsertCharacter<0x2018>)},
              {"rquote", Text(InsertCharacter<0x2019>)},
              {"ldblquote", Text(InsertCharacter<0x201C>)},
              {"rdblquote", Text(InsertCharacter<0x201D>)},
              {"zwj", Text(InsertCharacter<0x200D>)},
              {"zwnj", Text(InsertCharacter<0x200C>)},
              {"ltrmark", Text(InsertCharacter<0x200E>)},
              {"rtlmark", Text(InsertCharacter<0x200F>)}});
}

void AddFormattingWords(WordTable& w) {
    w.insert({{"plain", Text(Plain)},
              {"b", Text(Toggle<&RtfTextStyle::bold>)},
              {"i", Text(Toggle<&RtfTextStyle::italic>)},
              {"ulnone", Text(UnderlineNone)},
              {"strike", Text(Toggle<&RtfTextStyle::strike>)},
              {"striked", Text(Toggle<&RtfTextStyle::strike>)},
              {"f", {.text = Font, .fontTable = StartFont}},
              {"fs", Text(FontSize)},
              {"cf", Text(Colour)},
              {"super", Text(Vertical<RtfVerticalPosition::Superscript>)},
              {"sub", Text(Vertical<RtfVerticalPosition::Subscript>)},
              {"nosupersub", Text(Vertical<RtfVerticalPosition::Baseline>)},
              {"v", Text(Hidden)},
              {"pard", Text(ParagraphDefault)},
              {"ql", Text(Align<RtfAlignment::Left>)},
              {"qc", Text(Align<RtfAlignment::Centre>)},
              {"qr", Text(Align<RtfAlignment::Right>)},
              {"qj", Text(Align<RtfAlignment::Justify>)},
              {"qd", Text(Align<RtfAlignment::Justify>)},
              {"li", Text(Length<&RtfParagraphFormat::leftIndent, -MaxLength>)},
              {"lin", Text(Length<&RtfParagraphFormat::leftIndent, -MaxLength>)},
              {"ri", Text(Length<&RtfParagraphFormat::rightIndent, -MaxLength>)},
              {"rin", Text(Length<&RtfParagraphFormat::rightIndent, -MaxLength>)},
              {"fi", Text(Length<&RtfParagraphFormat::firstLineIndent, -MaxLength>)},
              {"sb", Text(Length<&RtfParagraphFormat::spaceBefore, 0>)},
              {"sa", Text(Length<&RtfParagraphFormat::spaceAfter, 0>)},
              {"sl", Text(Length<&RtfParagraphFormat::lineSpacing, -MaxLength>)},
              {"slmult", Text(LineSpacingMultiple)},
              {"tx", Text(TabPosition)},
              {"tqr", Text(NextTabKind<RtfTabKind::Right>)},
              {"tqc", Text(NextTabKind<RtfTabKind::Centre>)},
              {"tqdec", Text(NextTabKind<RtfTabKind::Decimal>)},
              {"tb", Text(NextTabKind<RtfTabKind::Left>)}});
    AddEach(w, Underlines, Text(Toggle<&RtfTextStyle::underline>));
}

void AddTableWords(WordTable& w) {
    w.insert({{"fnil", {.fontTable = SetFamily<RtfFontFamily::Default>}},
              {"froman", {.fontTable = SetFamily<RtfFontFamily::Roman>}},
              {"fswiss", {.fontTable = SetFamily<RtfFontFamily::Swiss>}},
              {"fmodern", {.fontTable = SetFamily<RtfFontFamily::Modern>}},
              {"fscript", {.fontTable = SetFamily<RtfFontFamily::Script>}},
              {"fdecor", {.fontTable = SetFamily<RtfFontFamily::Decorative>}},
              {"ftech", {.fontTable = SetFamily<RtfFontFamily::Technical>}},
              {"fcharset", {.fontTable = Charset}},
              {"cpg", {.fontTable = FontCodePage}},
              {"red", {.colourTable = SetChannel<&RtfColour::red>}},
              {"green", {.colourTable = SetChannel<&RtfColour::green>}},
              {"blue", {.colourTable = SetChannel<&RtfColour::blue>}}});
}

void AddPictureWords(WordTable& w) {
    w.insert({{"pngblip", {.picture = SetPictureKind<PictureKind::Png>}},
              {"jpegblip", {.picture = SetPictureKind<PictureKind::Jpeg>}},
              {"dibitmap", {.picture = SetPictureKind<PictureKind::Dib>}},
              {"wmetafile", {.picture = SetPictureKind<PictureKind::Wmf>}},
              {"emfblip", {.picture = SetPictureKind<PictureKind::Emf>}},
              {"macpict", {.picture = SetPictureKind<PictureKind::Other>}},
              {"pmmetafile", {.picture = SetPictureKind<PictureKind::Other>}},
              {"wbitmap", {.picture = SetPictureKind<PictureKind::Other>}},
              {"picw", {.picture = SetPictureSize<&PictureEntry::width>}},
              {"pich", {.picture = SetPictureSize<&PictureEntry::height>}},
              {"picwgoal", {.picture = SetPictureSize<&PictureEntry::widthGoal>}},
              {"pichgoal", {.picture = SetPictureSize<&PictureEntry::heightGoal>}},
              {"picscalex", {.picture = SetPictureSize<&PictureEntry::scaleX>}},
              {"picscaley", {.picture = SetPictureSize<&PictureEntry::scaleY>}}});
}

} // namespace

const ControlWord* FindControlWord(std::string_view name) {
    static const WordTable words = [] {
        WordTable w;
        AddDocumentWords(w);
        AddSpecialCharacters(w);
        AddFormattingWords(w);
        AddTableWords(w);
        AddPictureWords(w);
        return w;
    }();
    const auto found = words.find(name);
    return found == words.end() ? nullptr : &found->second;
}

} // namespace RtfReading
