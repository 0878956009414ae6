// The tokens of RTF: groups, control words and symbols, \bin data and the
// bytes between them, each handed to the part of the reader it concerns.
#include "rtf_reader.h"

#include "rtf_reader_internal.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>

namespace RtfReading {

RtfDocument Reader::Read() {
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

void Reader::OpenGroup() {
    FlushLeadByte();
    m_pendingSkip = 0;
    m_star = false;
    if (m_excessDepth > 0 || m_stack.size() >= MaxGroupDepth) {
        ++m_excessDepth;
        return;
    }
    m_stack.push_back(m_stack.empty() ? GroupState{} : m_stack.back());
}

void Reader::CloseGroup() {
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
void Reader::ControlToken() {
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

    const ControlWord* const known = FindControlWord(word);
    if (known && known->binary) {
        Binary(value);
        return;
    }
    if (Swallowed())
        return;
    if (std::exchange(m_star, false) && !(known && known->keptAfterStar)) {
        State().destination = Destination::Skip;
        return;
    }
    if (known)
        Act(*known, Parameter{hasParameter, value});
}

void Reader::Symbol(char symbol) {
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
        if (Swallowed())
            return;
        if (value >= 0)
            EncodedByte(static_cast<unsigned char>(value));
        return;
    }
    if (Swallowed())
        return;
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
void Reader::Binary(int count) {
    const std::size_t length =
        std::min<std::size_t>(count < 0 ? 0 : static_cast<std::size_t>(count), m_input.size() - m_at);
    const std::string_view bytes = m_input.substr(m_at, length);
    m_at += length;
    if (Swallowed())
        return;
    if (State().destination == Destination::Picture && m_picture)
        AppendPictureBytes(bytes);
}

// A byte of the document outside any control word.
void Reader::Byte(unsigned char byte) {
    if (Swallowed())
        return;
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

void Reader::Act(const ControlWord& word, Parameter parameter) {
    GroupState& state = State();
    WordAction action = nullptr;
    switch (state.destination) {
    case Destination::Skip:
        return;
    case Destination::UnicodeFallback:
        if (word.endsFallback)
            state.destination = Destination::Text;
        return;
    case Destination::FontTable:
        action = word.fontTable;
        break;
    case Destination::ColourTable:
        action = word.colourTable;
        break;
    case Destination::Picture:
        action = word.picture;
        break;
    case Destination::Text:
        action = word.text;
        break;
    }
    if (action)
        action(*this, parameter);
}

} // namespace RtfReading

RtfDocument ReadRtf(std::string_view rtf) {
    return RtfReading::Reader(rtf).Read();
}

bool LooksLikeRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}
