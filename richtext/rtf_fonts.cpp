// Code pages, the font table and the colour table: bytes of text become
// characters in the code page of their font, and the tables fill the
// document's fonts and colours.
#include "rtf_reader.h"

#include "code_pages.h"
#include "rtf_reader_internal.h"

#include <string>
#include <string_view>
#include <utility>

namespace RtfReading {

// A byte of text, raw or as \'hh, in the code page of its font. In a
// double-byte code page a lead byte waits for the byte after it.
void Reader::EncodedByte(unsigned char byte) {
    const Destination destination = State().destination;
    if (destination != Destination::FontTable && destination != Destination::Text)
        return;
    const int codePage = CodePageOf(destination == Destination::FontTable ? m_font.codePage : TextCodePage());
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
void Reader::FlushLeadByte() {
    if (m_leadByte < 0 || Outside()) {
        m_leadByte = -1;
        return;
    }
    const char lead = static_cast<char>(std::exchange(m_leadByte, -1));
    const Destination destination = State().destination;
    const int codePage = CodePageOf(destination == Destination::FontTable ? m_font.codePage : TextCodePage());
    for (const wchar_t c : DecodeCodePage(codePage, std::string_view(&lead, 1)))
        TextOrFontName(c);
}

void Reader::TextOrFontName(wchar_t c) {
    if (State().destination == Destination::FontTable)
        AppendFontName(c);
    else if (State().destination == Destination::Text)
        Character(c);
}

// \{, \} and \\ are text wherever text is.
void Reader::Literal(unsigned char byte) {
    const Destination destination = State().destination;
    if (destination == Destination::FontTable)
        AppendFontName(byte);
    else if (destination == Destination::Text)
        Character(byte);
}

int Reader::TextCodePage() const {
    const int font = m_stack.back().style.font;
    return font >= 0 ? m_fontCodePages[static_cast<std::size_t>(font)] : 0;
}

void Reader::AppendFontName(wchar_t c) {
    m_font.started = true;
    if (m_font.name.size() < 256 && c >= 0x20)
        m_font.name += c;
}

void Reader::CommitFont() {
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

int Reader::FontIndex(int number) const {
    const auto found = m_fontIndexes.find(number < 0 ? m_defaultFont : number);
    return found == m_fontIndexes.end() ? -1 : found->second;
}

// The table may come after the default font was chosen: the groups
// already open learn their fonts now.
void Reader::ResolveFonts() {
    for (GroupState& state : m_stack)
        state.style.font = FontIndex(state.fontNumber);
}

void Reader::CommitColour() {
    if (m_document.colours.size() < RtfLimits::MaxColours) {
        m_document.colours.push_back(m_colour.colour);
        m_colourSet.push_back(m_colour.set);
    }
    m_colour = {};
}

} // namespace RtfReading

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
