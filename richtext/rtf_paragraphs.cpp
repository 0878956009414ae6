// Characters into styled runs, runs into paragraphs, within RtfLimits.
#include "rtf_reader_internal.h"

#include <algorithm>
#include <utility>

namespace RtfReading {

void Reader::UnicodeCharacter(int value) {
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

void Reader::Character(wchar_t c) {
    if (m_highSurrogate != 0) {
        m_highSurrogate = 0;
        Emit(0xFFFD);
    }
    Emit(c);
}

void Reader::Emit(wchar_t c) {
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
    if (m_runs.empty() || m_runs.back().kind != RtfRunKind::Text || !(m_runs.back().style == state.style)) {
        if (!AddRun(RtfRunKind::Text))
            return;
    }
    m_runs.back().text += c;
    ++m_characters;
}

bool Reader::AddRun(RtfRunKind kind) {
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

void Reader::EndParagraph() {
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

void Reader::Stop() {
    m_document.truncated = true;
    m_finished = true;
}

void Reader::AddTabStop(RtfParagraphFormat& paragraph, int position, RtfTabKind& kind) {
    auto& stops = paragraph.tabStops;
    const auto at = std::lower_bound(stops.begin(), stops.end(), position,
                                     [](const RtfTabStop& stop, int p) { return stop.position < p; });
    if (at != stops.end() && at->position == position)
        at->kind = kind;
    else if (stops.size() < MaxTabStops)
        stops.insert(at, RtfTabStop{position, kind});
    kind = RtfTabKind::Left;
}

} // namespace RtfReading
