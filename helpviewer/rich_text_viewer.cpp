#include "rich_text_viewer.h"

#include "failure.h"
#include "file_io.h"
#include "plain_text_document.h"
#include "rich_text_viewer_parts.h"
#include "rtf_reader.h"

#include <wx/app.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <thread>

using namespace RichTextViewerParts;

RichTextViewer::RichTextViewer(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size)
    : wxTextCtrl(parent, id, wxString(), position, size,
                 wxTE_MULTILINE | wxTE_READONLY | wxTE_BESTWRAP | wxTE_NOHIDESEL | wxBORDER_SUNKEN) {
    // Documents are written for white paper: black on white in any theme.
    SetBackgroundColour(*wxWHITE);
    SetForegroundColour(*wxBLACK);
    GtkTextView* view = TextView();
    gtk_text_view_set_cursor_visible(view, TRUE);
    gtk_text_view_set_wrap_mode(view, GTK_WRAP_WORD_CHAR);
    gtk_text_view_set_left_margin(view, Margin);
    gtk_text_view_set_right_margin(view, Margin);
    gtk_text_view_set_top_margin(view, Margin);
    gtk_text_view_set_bottom_margin(view, Margin);
    // GTK hides an overlay scroll bar until the pointer comes near it; a
    // document longer than its view should say so at a glance.
    // Lines wrap, so there is nothing to scroll sideways.
    if (GTK_IS_SCROLLED_WINDOW(GetHandle())) {
        gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(GetHandle()), FALSE);
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(GetHandle()), GTK_POLICY_NEVER,
                                       GTK_POLICY_AUTOMATIC);
    }
    Bind(wxEVT_KEY_DOWN, &RichTextViewer::OnKeyDown, this);
}

struct RichTextViewer::PendingRead {
    RichTextViewer* viewer; // reset, on the program's main thread, when the view no longer waits for it
};

RichTextViewer::~RichTextViewer() {
    if (m_pendingRead)
        m_pendingRead->viewer = nullptr;
    if (m_fillSource != 0)
        g_source_remove(m_fillSource);
}

GtkTextView* RichTextViewer::TextView() const {
    return GTK_TEXT_VIEW(const_cast<RichTextViewer*>(this)->GetConnectWidget());
}

bool RichTextViewer::ShowFile(const wxString& path) {
    FileStart file;
    try {
        file = ReadAtMost(OpenRegularFile(static_cast<const char*>(path.fn_str())), MaxFileBytes);
    } catch (const ScoutwellError&) {
        return false; // the caller says what it shows instead
    }
    if (file.cut)
        ReportSwallowedFailure({__FILE__, __LINE__, __func__},
                               (std::string(path.utf8_str()) + " is shown only up to its first " +
                                std::to_string(MaxFileBytes >> 20) + " MB")
                                   .c_str());
    std::string bytes = std::move(file.bytes);
    if (bytes.size() <= ReadAtOnceBytes) {
        SetDocument(LooksLikeRtf(bytes) ? ReadRtf(bytes) : PlainTextDocument(bytes));
        return true;
    }
    // Reading a large file takes long enough to be done off the event loop.
    ClearView();
    m_filling = true;
    m_pendingRead = std::make_shared<PendingRead>(PendingRead{this});
    std::thread([pending = m_pendingRead, bytes = std::move(bytes)] {
        IgnoreFailure([&] { // a failure here would end the program
            auto document = std::make_shared<RtfDocument>();
            IgnoreFailure(
                [&] { *document = LooksLikeRtf(bytes) ? ReadRtf(bytes) : PlainTextDocument(bytes); });
            if (wxTheApp != nullptr)
                wxTheApp->CallAfter([pending, document] {
                    if (pending->viewer != nullptr && pending->viewer->m_pendingRead == pending)
                        IgnoreFailure([&] { pending->viewer->SetDocument(std::move(*document)); });
                });
        });
    }).detach();
    return true;
}

void RichTextViewer::SetRtf(std::string_view rtf) {
    SetDocument(ReadRtf(rtf));
}

void RichTextViewer::SetDocument(RtfDocument document) {
    ClearView();
    m_document = std::move(document);
    m_fill = FillPosition{};
    m_filling = true;
    FillStep();
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(BufferOf(this), &start);
    gtk_text_buffer_place_cursor(BufferOf(this), &start);
}

void RichTextViewer::ClearView() {
    if (m_pendingRead)
        m_pendingRead->viewer = nullptr;
    m_pendingRead.reset();
    GtkTextBuffer* buffer = BufferOf(this);
    const wxTextEntryBase::EventsSuppressor quiet(this);
    gtk_text_buffer_set_text(buffer, "", 0);
    GtkTextTagTable* table = gtk_text_buffer_get_tag_table(buffer);
    for (GtkTextTag* tag : m_tags)
        gtk_text_tag_table_remove(table, tag);
    m_tags.clear();
    m_styleTags.clear();
    m_paragraphTags.clear();
    m_picturePixels = 0;
    m_filling = false;
    if (m_fillSource != 0)
        g_source_remove(m_fillSource);
    m_fillSource = 0;
}

std::wstring RichTextViewer::Text() const {
    GtkTextIter start;
    GtkTextIter end;
    gtk_text_buffer_get_bounds(BufferOf(this), &start, &end);
    gchar* utf8 = gtk_text_buffer_get_slice(BufferOf(this), &start, &end, TRUE);
    const std::wstring text = wxString::FromUTF8(utf8).ToStdWstring();
    g_free(utf8);
    return text;
}
