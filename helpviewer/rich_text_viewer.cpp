#include "rich_text_viewer.h"

#include "failure.h"
#include "plain_text_document.h"
#include "rtf_reader.h"

#include <wx/app.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/settings.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Margin = 3; // between the border and the text, as edit controls leave
// What one step of filling does at most: characters, each run counting as
// many, for the toolkit's time goes by both.
constexpr std::size_t FillStepWork = 32768;
constexpr std::size_t RunWork = 64;
constexpr std::size_t MaxStyles = 64;
constexpr int MaxPointSize = 1638;
// Pictures kept in the view at most, together; past that they show as frames
// of a few pixels.
constexpr std::int64_t MaxShownPicturePixels = std::int64_t{32} << 20;

int TwipsToPixels(std::int64_t twips) {
    return static_cast<int>((twips + 7) / 15);
}

const char* GenericFamily(RtfFontFamily family) {
    switch (family) {
    case RtfFontFamily::Roman:
        return "serif";
    case RtfFontFamily::Modern:
        return "monospace";
    case RtfFontFamily::Script:
        return "cursive";
    case RtfFontFamily::Decorative:
        return "fantasy";
    default:
        return "sans-serif";
    }
}

void AppendUtf8(std::string& out, wchar_t c) {
    auto code = static_cast<std::uint32_t>(c);
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

GtkTextBuffer* BufferOf(const RichTextViewer* viewer) {
    return gtk_text_view_get_buffer(viewer->TextView());
}

void InsertAtEnd(GtkTextBuffer* buffer, const std::string& utf8, GtkTextTag* tag) {
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    gtk_text_buffer_insert_with_tags(buffer, &end, utf8.data(), static_cast<int>(utf8.size()), tag, nullptr);
}

// The picture decoded by wx's image handlers at the given size, or nullptr.
GdkPixbuf* DecodedPicture(const RtfPicture& picture, int width, int height) {
    if (picture.format == RtfPictureFormat::None)
        return nullptr;
    static const bool handlersAdded = [] {
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
            wxImage::AddHandler(new wxPNGHandler);
        if (!wxImage::FindHandler(wxBITMAP_TYPE_JPEG))
            wxImage::AddHandler(new wxJPEGHandler);
        if (!wxImage::FindHandler(wxBITMAP_TYPE_BMP))
            wxImage::AddHandler(new wxBMPHandler);
        return true;
    }();
    (void)handlersAdded;
    const wxBitmapType type = picture.format == RtfPictureFormat::Png    ? wxBITMAP_TYPE_PNG
                              : picture.format == RtfPictureFormat::Jpeg ? wxBITMAP_TYPE_JPEG
                                                                         : wxBITMAP_TYPE_BMP;
    wxLogNull quiet; // a damaged picture shows as its frame, with no message
    wxMemoryInputStream stream(picture.bytes.data(), picture.bytes.size());
    wxImage image;
    if (!image.LoadFile(stream, type) || !image.IsOk())
        return nullptr;
    if (image.GetWidth() != width || image.GetHeight() != height)
        image.Rescale(width, height, wxIMAGE_QUALITY_HIGH);
    const bool alpha = image.HasAlpha();
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, alpha, 8, width, height);
    if (pixbuf == nullptr)
        return nullptr;
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const unsigned char* rgb = image.GetData();
    const unsigned char* opacity = image.GetAlpha();
    for (int y = 0; y < height; ++y) {
        guchar* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x;
            std::memcpy(row, rgb + at * 3, 3);
            row += 3;
            if (alpha)
                *row++ = opacity[at];
        }
    }
    return pixbuf;
}

// An empty grey frame: the place of a picture that cannot be shown.
GdkPixbuf* Frame(int width, int height) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
    if (pixbuf == nullptr)
        return nullptr;
    gdk_pixbuf_fill(pixbuf, 0);
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    auto grey = [&](int x, int y) {
        std::memcpy(pixels + static_cast<std::ptrdiff_t>(y) * stride + x * 4, "\xA0\xA0\xA0\xFF", 4);
    };
    for (int x = 0; x < width; ++x) {
        grey(x, 0);
        grey(x, height - 1);
    }
    for (int y = 0; y < height; ++y) {
        grey(0, y);
        grey(width - 1, y);
    }
    return pixbuf;
}

} // namespace

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

void RichTextViewer::SetAccessibleName(const wxString& name) {
    atk_object_set_name(gtk_widget_get_accessible(GTK_WIDGET(TextView())), name.utf8_str());
}

bool RichTextViewer::ShowFile(const wxString& path) {
    // Opened without waiting (a pipe would wait for a writer), then read only
    // when it is a regular file.
    const int descriptor = ::open(path.fn_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    std::string bytes;
    struct stat status = {};
    bool read = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    if (read) {
        bytes.resize(static_cast<std::size_t>(std::min<off_t>(status.st_size, MaxFileBytes)));
        std::size_t done = 0;
        while (read && done < bytes.size()) {
            const ssize_t got = ::read(descriptor, bytes.data() + done, bytes.size() - done);
            read = got > 0 || (got < 0 && errno == EINTR);
            done += got > 0 ? static_cast<std::size_t>(got) : 0;
        }
    }
    ::close(descriptor);
    if (!read)
        return false;
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

// Filling ---------------------------------------------------------------------

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
    std::string utf8;
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
        if (run.kind == RtfRunKind::Picture) {
            InsertPicture(run.picture, format.leftIndent, format.rightIndent);
            ++m_fill.run;
            ++characters;
            word = 0;
            continue;
        }
        if (run.kind == RtfRunKind::Tab) {
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
        utf8.clear();
        for (std::size_t i = m_fill.offset; i < m_fill.offset + take; ++i) {
            word = text[i] == L' ' ? 0 : word + 1;
            longWord = longWord || word > MaxWordWrapped;
            AppendUtf8(utf8, text[i]);
        }
        InsertAtEnd(buffer, utf8, StyleTag(run.style));
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

void RichTextViewer::InsertPicture(int index, int leftIndent, int rightIndent) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_document.pictures.size())
        return;
    const RtfPicture& picture = m_document.pictures[static_cast<std::size_t>(index)];
    // Narrowed in proportion when wider than the text column, which has no
    // horizontal scroll bar.
    const int column = std::max(
        ColumnWidth() - std::max(TwipsToPixels(leftIndent), 0) - std::max(TwipsToPixels(rightIndent), 0), 20);
    int width = std::max(TwipsToPixels(picture.widthTwips), 1);
    int height = std::max(TwipsToPixels(picture.heightTwips), 1);
    if (width > column) {
        height = std::max(1, static_cast<int>(std::int64_t{height} * column / width));
        width = column;
    }
    height = std::min(height, RtfLimits::MaxFramePixels);
    GdkPixbuf* pixbuf = nullptr;
    const std::int64_t pixels = std::int64_t{width} * height;
    if (m_picturePixels + pixels <= MaxShownPicturePixels) {
        m_picturePixels += pixels;
        pixbuf = DecodedPicture(picture, width, height);
        if (pixbuf == nullptr)
            pixbuf = Frame(width, height);
    } else {
        pixbuf = Frame(4, 4);
    }
    if (pixbuf == nullptr)
        return;
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(BufferOf(this), &end);
    gtk_text_buffer_insert_pixbuf(BufferOf(this), &end, pixbuf);
    g_object_unref(pixbuf);
}

// Tags ------------------------------------------------------------------------

GtkTextTag* RichTextViewer::StyleTag(const RtfTextStyle& style) {
    const StyleKey key{style.font,
                       style.halfPoints,
                       style.bold,
                       style.italic,
                       style.underline,
                       style.strike,
                       static_cast<int>(style.position),
                       style.colour};
    const auto found = m_styleTags.find(key);
    if (found != m_styleTags.end())
        return found->second;
    // Each style costs a font; a document that asks for thousands of them
    // gets the plain style for the rest rather than a long wait.
    if (m_styleTags.size() >= MaxStyles && !(style == RtfTextStyle{}))
        return StyleTag(RtfTextStyle{});

    std::string family;
    if (style.font >= 0 && static_cast<std::size_t>(style.font) < m_document.fonts.size()) {
        const RtfFont& font = m_document.fonts[static_cast<std::size_t>(style.font)];
        family = wxString(font.name).utf8_string();
        family.erase(std::remove(family.begin(), family.end(), ','), family.end());
        family += std::string(family.empty() ? "" : ",") + GenericFamily(font.family);
    } else {
        family = GetFont().GetFaceName().utf8_string();
    }
    double points = std::clamp(style.halfPoints, 2, 2 * MaxPointSize) / 2.0;
    int rise = 0;
    if (style.position != RtfVerticalPosition::Baseline) {
        const double pixels = points * 96 / 72;
        rise = static_cast<int>(
            (style.position == RtfVerticalPosition::Superscript ? pixels / 3 : -pixels / 6) * PANGO_SCALE);
        points = points * 2 / 3;
    }
    GtkTextTag* tag = gtk_text_buffer_create_tag(
        BufferOf(this), nullptr, "family", family.c_str(), "size-points", points, "weight",
        style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL, "style",
        style.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL, "underline",
        style.underline ? PANGO_UNDERLINE_SINGLE : PANGO_UNDERLINE_NONE, "strikethrough",
        static_cast<gboolean>(style.strike), "rise", rise, nullptr);
    if (style.colour >= 0 && static_cast<std::size_t>(style.colour) < m_document.colours.size()) {
        const RtfColour& c = m_document.colours[static_cast<std::size_t>(style.colour)];
        const GdkRGBA colour{c.red / 255.0, c.green / 255.0, c.blue / 255.0, 1.0};
        g_object_set(tag, "foreground-rgba", &colour, nullptr);
    }
    m_tags.push_back(tag);
    m_styleTags.emplace(key, tag);
    return tag;
}

GtkTextTag* RichTextViewer::ParagraphTag(const RtfParagraphFormat& format, bool first, bool last,
                                         bool wrapAnywhere) {
    const int column = ColumnWidth();
    const int left = std::clamp(TwipsToPixels(format.leftIndent), 0, column / 2);
    const int right = std::clamp(TwipsToPixels(format.rightIndent), 0, column / 2);
    const int indent = first ? std::clamp(TwipsToPixels(format.firstLineIndent), -left, column / 2) : 0;
    const int above = first ? std::clamp(TwipsToPixels(format.spaceBefore), 0, 1000) : 0;
    const int below = last ? std::clamp(TwipsToPixels(format.spaceAfter), 0, 1000) : 0;
    // Line spacing beyond the font's own, added between the lines.
    int extra = 0;
    if (format.lineSpacing != 0) {
        const int natural = 18; // a 12-point line
        if (format.lineSpacingMultiple)
            extra = natural * format.lineSpacing / 240 - natural;
        else
            extra = TwipsToPixels(std::abs(format.lineSpacing)) - natural;
        extra = std::clamp(extra, 0, 1000);
    }
    std::vector<std::pair<int, int>> tabs; // from the left margin, and their kind
    for (const RtfTabStop& stop : format.tabStops)
        if (tabs.size() < 64 && TwipsToPixels(stop.position) - left > 0)
            tabs.emplace_back(TwipsToPixels(stop.position) - left, static_cast<int>(stop.kind));
    const ParagraphKey key{
        static_cast<int>(format.alignment), left, right, indent, above, below, extra, tabs, wrapAnywhere};
    const auto found = m_paragraphTags.find(key);
    if (found != m_paragraphTags.end())
        return found->second;
    if (m_paragraphTags.size() >= MaxStyles)
        return nullptr;

    // Explicit stops, then the document's default ones up to a few beyond
    // the column; past them Pango repeats the last interval.
    const int interval = std::max(TwipsToPixels(m_document.defaultTabWidth), 4);
    int lastStop = tabs.empty() ? 0 : tabs.back().first;
    std::vector<std::pair<int, PangoTabAlign>> stops;
    for (const auto& [position, kind] : tabs) {
        PangoTabAlign align = PANGO_TAB_LEFT;
        if (kind == static_cast<int>(RtfTabKind::Right))
            align = PANGO_TAB_RIGHT;
        else if (kind == static_cast<int>(RtfTabKind::Centre))
            align = PANGO_TAB_CENTER;
        else if (kind == static_cast<int>(RtfTabKind::Decimal))
            align = PANGO_TAB_DECIMAL;
        stops.emplace_back(position, align);
    }
    for (int i = 0; i < 2 || (lastStop < column && i < 64); ++i) {
        lastStop = ((lastStop + left) / interval + 1) * interval - left;
        stops.emplace_back(lastStop, PANGO_TAB_LEFT);
    }
    PangoTabArray* tabArray = pango_tab_array_new(static_cast<int>(stops.size()), TRUE);
    for (std::size_t i = 0; i < stops.size(); ++i)
        pango_tab_array_set_tab(tabArray, static_cast<int>(i), stops[i].second, stops[i].first);

    GtkJustification justification = GTK_JUSTIFY_LEFT;
    if (format.alignment == RtfAlignment::Centre)
        justification = GTK_JUSTIFY_CENTER;
    else if (format.alignment == RtfAlignment::Right)
        justification = GTK_JUSTIFY_RIGHT;
    else if (format.alignment == RtfAlignment::Justify)
        justification = GTK_JUSTIFY_FILL;
    GtkTextTag* tag = gtk_text_buffer_create_tag(
        BufferOf(this), nullptr, "justification", justification, "left-margin", left + Margin, "right-margin",
        right + Margin, "indent", indent, "pixels-above-lines", above, "pixels-below-lines", below,
        "pixels-inside-wrap", extra, "tabs", tabArray, "wrap-mode",
        wrapAnywhere ? GTK_WRAP_CHAR : GTK_WRAP_WORD_CHAR, nullptr);
    pango_tab_array_free(tabArray);
    m_tags.push_back(tag);
    m_paragraphTags.emplace(key, tag);
    return tag;
}

// Keys ------------------------------------------------------------------------

void RichTextViewer::OnKeyDown(wxKeyEvent& event) {
    if (event.GetModifiers() != wxMOD_NONE) {
        event.Skip(); // selecting, copying, and the toolkit's other keys
        return;
    }
    GtkTextView* view = TextView();
    switch (event.GetKeyCode()) {
    case WXK_UP:
    case WXK_NUMPAD_UP:
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN: {
        // The view scrolls a line and the caret moves along with it.
        const bool down = event.GetKeyCode() == WXK_DOWN || event.GetKeyCode() == WXK_NUMPAD_DOWN;
        GtkAdjustment* adjustment = gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(view));
        const double step = std::max(GetCharHeight(), 8);
        const double top = gtk_adjustment_get_value(adjustment) + (down ? step : -step);
        gtk_adjustment_set_value(adjustment, std::clamp(top, gtk_adjustment_get_lower(adjustment),
                                                        gtk_adjustment_get_upper(adjustment) -
                                                            gtk_adjustment_get_page_size(adjustment)));
        g_signal_emit_by_name(view, "move-cursor", GTK_MOVEMENT_DISPLAY_LINES, down ? 1 : -1, FALSE);
        break;
    }
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
    case WXK_END:
    case WXK_NUMPAD_END: {
        // The caret to the document's start or end, and the view all the
        // way there, margins included.
        const bool end = event.GetKeyCode() == WXK_END || event.GetKeyCode() == WXK_NUMPAD_END;
        g_signal_emit_by_name(view, "move-cursor", GTK_MOVEMENT_BUFFER_ENDS, end ? 1 : -1, FALSE);
        CallAfter([this, end] {
            GtkAdjustment* adjustment = gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(TextView()));
            gtk_adjustment_set_value(adjustment, end ? gtk_adjustment_get_upper(adjustment) -
                                                           gtk_adjustment_get_page_size(adjustment)
                                                     : gtk_adjustment_get_lower(adjustment));
        });
        break;
    }
    default:
        event.Skip();
        break;
    }
}
