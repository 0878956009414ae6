#include "plain_text_document.h"

#include "code_pages.h"

namespace {

class PlainTextBuilder {
public:
    RtfDocument Build(const std::wstring& text) {
        m_document.paragraphs.emplace_back();
        for (std::size_t i = 0; i < text.size() && !m_document.truncated; ++i) {
            const wchar_t c = text[i];
            if (c == L'\r' || c == L'\n') {
                if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                    ++i;
                NewParagraph();
            } else if (c == L'\t') {
                AddRun(RtfRunKind::Tab);
            } else {
                AddCharacter((c < 0x20 || c == 0x7F) ? L'\uFFFD' : c);
            }
        }
        return std::move(m_document);
    }

private:
    void NewParagraph() {
        if (m_document.paragraphs.size() >= RtfLimits::MaxParagraphs) {
            m_document.truncated = true;
            return;
        }
        m_document.paragraphs.emplace_back();
    }

    bool AddRun(RtfRunKind kind) {
        if (m_runs >= RtfLimits::MaxRuns) {
            m_document.truncated = true;
            return false;
        }
        ++m_runs;
        m_document.paragraphs.back().runs.push_back(RtfRun{kind, {}, {}, -1});
        return true;
    }

    void AddCharacter(wchar_t c) {
        if (m_characters >= RtfLimits::MaxTextCharacters) {
            m_document.truncated = true;
            return;
        }
        auto& runs = m_document.paragraphs.back().runs;
        if ((runs.empty() || runs.back().kind != RtfRunKind::Text) && !AddRun(RtfRunKind::Text))
            return;
        runs.back().text += c;
        ++m_characters;
    }

    RtfDocument m_document;
    std::size_t m_runs = 0;
    std::size_t m_characters = 0;
};

} // namespace

RtfDocument PlainTextDocument(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::optional<std::wstring> text = DecodeUtf8(bytes);
    if (!text)
        text = DecodeCodePage(1252, bytes);
    return PlainTextBuilder().Build(*text);
}
