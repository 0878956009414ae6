// Putting the document into the view in bounded steps, a line of the view at
// a time, so that the program keeps taking input however long it is.

#include "code_pages.h"
#include "failure.h"
#include "rich_text_viewer.h"
#include "rich_text_viewer_parts.h"

#include <wx/settings.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <string>

using namespace RichTextViewerParts;

namespace {

// What one step of filling does at most: characters, each run counting as
// many, for the toolkit's time goes by both.
constexpr std::size_t FillStepWork = 32768;
constexpr std::size_t RunWork = 64;

void InsertAtEnd(GtkTextBuffer* buffer, const std::string& utf8, GtkTextTag* tag) {
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    gtk_text_buffer_insert_with_tags(buffer, &end, utf8.data(), static_cast<int>(utf8.size()), tag, nullptr);
}

} // namespace

void RichTextViewer::FillStep() {
    GtkTextBuffer* buffer = BufferOf(this);
    const wxTextEntryBase::EventsSuppressor quiet(this);
    auto shown = [&] { return static_cast<std::size_t>(gtk_text_buffer_get_char_count(buffer)); };
    std::size_t work = 0;
    while (m_fill.paragraph < m_document.paragraphs.size() && work < FillStepWork &&
           shown() < MaxShownCharacters)
        work += InsertSegment();
    m_filling = m_fill.paragraph < m_document.paragraphs.size();
    if (m_filling && shown() >= MaxShownCharacters) {
        m_filling = false;
        ReportSwallowedFailure({__FILE__, __LINE__, __func__}, "help text past its shown length left out");
    }
    if (!m_filling)
        return;
    // The rest when the program is idle: input, drawing and the toolkit's
    // layout of what is in the view come first.
    m_fillSource = g_idle_add_full(
        G_PRIORITY_DEFAULT_IDLE,
        [](gpointer viewer) {
            auto* self = static_cast<RichTextViewer*>(viewer);
            self->m_fillSource = 0;
            IgnoreFailure([self] { self->FillStep(); });
            return gboolean{G_SOURCE_REMOVE};
        },
        this, nullptr);
}

int RichTextViewer::ColumnWidth() const {
    // The view's width without its vertical scroll bar and margins.
    const int scrollBar = std::max(wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this), 0);
    return std::max(GetClientSize().x - scrollBar - 2 * Margin, 40);
}

// One line of the view: the document's paragraph from the fill position up to
// its end, a line break, MaxShownParagraph characters or MaxShownRuns runs of
// text (the toolkit takes time in proportion to a line's runs for each run
// added to it).
std::size_t RichTextViewer::InsertSegment() {
    GtkTextBuffer* buffer = BufferOf(this);
    const RtfParagraph& paragraph = m_document.paragraphs[m_fill.paragraph];
    const RtfParagraphFormat& format = paragraph.format;
    const int startOffset = gtk_text_buffer_get_char_count(buffer);
    std::size_t characters = 0;
    std::size_t pieces = 0;
    std::size_t word = 0; // the length of the word being inserted
    bool longWord = false;
    bool endsParagraph = false;
    for (;;) {
        if (m_fill.run >= paragraph.runs.size()) {
            endsParagraph = true;
            break;
        }
        const RtfRun& run = paragraph.runs[m_fill.run];
        if (run.kind == RtfRunKind::LineBreak) {
            ++m_fill.run;
            break;
        }
        // Tabs and pictures count too: a paragraph of nothing else is filled in bounded steps as well.
        if (characters >= MaxShownParagraph || ++pieces > MaxShownRuns)
            break;
        if (run.kind == RtfRunKind::Picture || run.kind == RtfRunKind::Tab) {
            if (run.kind == RtfRunKind::Picture)
                InsertPicture(run.picture, format.leftIndent, format.rightIndent);
            else
                InsertAtEnd(buffer, "\t", StyleTag(run.style));
            ++m_fill.run;
            ++characters;
            word = 0;
            continue;
        }
        const std::wstring& text = run.text;
        std::size_t take = std::min(text.size() - m_fill.offset, MaxShownParagraph - characters);
        if (m_fill.offset + take < text.size()) {
            // The line is full: end it after a space when there is one near.
            const std::size_t space = text.rfind(L' ', m_fill.offset + take - 1);
            if (space != std::wstring::npos && space >= m_fill.offset && m_fill.offset + take - space < 512)
                take = space + 1 - m_fill.offset;
        }
        std::wstring piece = text.substr(m_fill.offset, take);
        for (const wchar_t c : piece) {
            word = c == L' ' ? 0 : word + 1;
            longWord = longWord || word > MaxWordWrapped;
        }
        std::replace(piece.begin(), piece.end(), L'\0', L'\uFFFD'); // the toolkit refuses text holding a NUL
        InsertAtEnd(buffer, EncodeUtf8(piece), StyleTag(run.style));
        characters += take;
        m_fill.offset += take;
        if (m_fill.offset >= text.size()) {
            ++m_fill.run;
            m_fill.offset = 0;
        }
    }
    // The end of the line takes the style of the paragraph's mark, which
    // gives an empty paragraph its height.
    InsertAtEnd(buffer, "\n", StyleTag(paragraph.markStyle));
    GtkTextIter start;
    GtkTextIter end;
    gtk_text_buffer_get_iter_at_offset(buffer, &start, startOffset);
    gtk_text_buffer_get_end_iter(buffer, &end);
    if (GtkTextTag* tag = ParagraphTag(format, !m_fill.continued, endsParagraph, longWord))
        gtk_text_buffer_apply_tag(buffer, tag, &start, &end);
    if (endsParagraph) {
        ++m_fill.paragraph;
        m_fill.run = 0;
        m_fill.offset = 0;
        m_fill.continued = false;
    } else {
        m_fill.continued = true;
    }
    return characters + pieces * RunWork;
}
