#include "rich_text_viewer.h"

#include "plain_text_document.h"
#include "rtf_reader.h"

#include <wx/dcclient.h>
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <algorithm>
#include <string>

#ifdef __WXGTK3__
#include <gtk/gtk.h>
#endif

namespace {

constexpr int Margin = 3;           // between the border and the text, as edit controls leave
constexpr int MinLayoutWidth = 120; // narrower views clip rather than wrap every word
constexpr int MaxContentHeight = 1 << 30;
// Decoded images kept at once; pictures out of view are decoded again when needed.
constexpr std::int64_t MaxCachedPixels = 64 << 20;
constexpr std::size_t MaxStyles = 500;

int TwipsToLogical(std::int64_t twips) {
    return static_cast<int>((twips + 7) / 15);
}

wxFontFamily FamilyOf(RtfFontFamily family) {
    switch (family) {
    case RtfFontFamily::Roman:
        return wxFONTFAMILY_ROMAN;
    case RtfFontFamily::Swiss:
        return wxFONTFAMILY_SWISS;
    case RtfFontFamily::Modern:
        return wxFONTFAMILY_TELETYPE;
    case RtfFontFamily::Script:
        return wxFONTFAMILY_SCRIPT;
    case RtfFontFamily::Decorative:
        return wxFONTFAMILY_DECORATIVE;
    default:
        return wxFONTFAMILY_DEFAULT;
    }
}

void AddImageHandlers() {
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_JPEG))
        wxImage::AddHandler(new wxJPEGHandler);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_BMP))
        wxImage::AddHandler(new wxBMPHandler);
}

} // namespace

RichTextViewer::RichTextViewer(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size)
    : wxWindow(parent, id, position, size, wxVSCROLL | wxBORDER_SUNKEN | wxFULL_REPAINT_ON_RESIZE) {
    AddImageHandlers();
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxWHITE);
    AlwaysShowScrollbars(false, true);
#ifdef __WXGTK3__
    // GTK hides an overlay scroll bar until the pointer comes near it; a
    // document longer than its view should say so at a glance.
    if (GTK_IS_SCROLLED_WINDOW(GetHandle()))
        gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(GetHandle()), FALSE);
#endif
    Bind(wxEVT_PAINT, &RichTextViewer::OnPaint, this);
    Bind(wxEVT_SIZE, &RichTextViewer::OnSize, this);
    Bind(wxEVT_KEY_DOWN, &RichTextViewer::OnKeyDown, this);
    Bind(wxEVT_MOUSEWHEEL, &RichTextViewer::OnMouseWheel, this);
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
        SetFocus();
        event.Skip();
    });
    for (const auto type : {wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM, wxEVT_SCROLLWIN_LINEUP,
                            wxEVT_SCROLLWIN_LINEDOWN, wxEVT_SCROLLWIN_PAGEUP, wxEVT_SCROLLWIN_PAGEDOWN,
                            wxEVT_SCROLLWIN_THUMBTRACK, wxEVT_SCROLLWIN_THUMBRELEASE})
        Bind(type, &RichTextViewer::OnScroll, this);
    LayoutDocument();
}

bool RichTextViewer::LoadFile(const wxString& path) {
    std::string bytes;
    {
        wxLogNull quiet;                   // a missing file is an answer here, not a message for the user
        if (!wxFileName::FileExists(path)) // nor a folder or a pipe, which could block the reading
            return false;
        wxFFile file;
        if (!file.Open(path, "rb"))
            return false;
        const wxFileOffset length = file.Length();
        if (length < 0)
            return false;
        bytes.resize(static_cast<std::size_t>(std::min<wxFileOffset>(length, MaxFileBytes)));
        if (!bytes.empty() && file.Read(bytes.data(), bytes.size()) != bytes.size())
            return false;
        if (file.Error())
            return false;
    }
    SetDocument(LooksLikeRtf(bytes) ? ReadRtf(bytes) : PlainTextDocument(bytes));
    return true;
}

void RichTextViewer::SetRtf(std::string_view rtf) {
    SetDocument(ReadRtf(rtf));
}

void RichTextViewer::SetDocument(RtfDocument document) {
    m_document = std::move(document);
    m_metrics.clear();
    m_bitmaps.clear();
    m_bitmapPixels = 0;
    m_scroll = 0;
    m_layoutWidth = -1;
    LayoutDocument();
    Refresh();
}

// Layout --------------------------------------------------------------------

int RichTextViewer::TextWidth() const {
    return std::max(GetClientSize().x - 2 * Margin, MinLayoutWidth);
}

RichTextViewer::Metrics& RichTextViewer::MetricsOf(const RtfTextStyle& style) {
    const StyleKey key{style.font,
                       style.halfPoints,
                       style.bold,
                       style.italic,
                       style.underline,
                       style.strike,
                       static_cast<int>(style.position)};
    const auto found = m_metrics.find(key);
    if (found != m_metrics.end())
        return found->second;
    // Each style costs a font; a document that asks for thousands of them
    // gets the plain style for the rest rather than a long wait.
    if (m_metrics.size() >= MaxStyles && !(style == RtfTextStyle{}))
        return MetricsOf(RtfTextStyle{});
    Metrics& metrics = m_metrics[key];
    metrics.font = MakeFont(style);
    metrics.latin.fill(-1);
    int width = 0;
    GetTextExtent(wxString(L"Xg"), &width, &metrics.height, &metrics.descent, nullptr, &metrics.font);
    metrics.ascent = metrics.height - metrics.descent;
    if (style.position == RtfVerticalPosition::Superscript)
        metrics.shift = -metrics.height / 2;
    else if (style.position == RtfVerticalPosition::Subscript)
        metrics.shift = metrics.height / 4;
    return metrics;
}

wxFont RichTextViewer::MakeFont(const RtfTextStyle& style) const {
    double points = style.halfPoints / 2.0;
    if (style.position != RtfVerticalPosition::Baseline)
        points = points * 2 / 3;
    wxFontInfo info(points);
    if (style.font >= 0 && static_cast<std::size_t>(style.font) < m_document.fonts.size()) {
        const RtfFont& font = m_document.fonts[static_cast<std::size_t>(style.font)];
        info.Family(FamilyOf(font.family));
        if (!font.name.empty())
            info.FaceName(font.name);
    } else {
        info.FaceName(GetFont().GetFaceName());
    }
    info.Bold(style.bold).Italic(style.italic).Underlined(style.underline).Strikethrough(style.strike);
    return wxFont(info);
}

int RichTextViewer::CharWidth(Metrics& metrics, wchar_t c) {
    if (static_cast<std::uint32_t>(c) < 256) {
        int& width = metrics.latin[static_cast<std::size_t>(c)];
        if (width < 0)
            GetTextExtent(wxString(c), &width, nullptr, nullptr, nullptr, &metrics.font);
        return width;
    }
    const auto found = metrics.other.find(c);
    if (found != metrics.other.end())
        return found->second;
    int width = 0;
    GetTextExtent(wxString(c), &width, nullptr, nullptr, nullptr, &metrics.font);
    metrics.other.emplace(c, width);
    return width;
}

int RichTextViewer::NextTabStop(const RtfParagraphFormat& format, int x) const {
    for (const RtfTabStop& stop : format.tabStops) {
        const int position = TwipsToLogical(stop.position);
        if (position > x)
            return position;
    }
    const int interval = std::max(TwipsToLogical(m_document.defaultTabWidth), 1);
    return (x / interval + 1) * interval;
}

// A picture wider than the text column is shown narrower, in proportion,
// rather than cut off at the view's edge, which has no horizontal scroll bar.
wxSize RichTextViewer::PictureSize(int picture) const {
    if (picture < 0 || static_cast<std::size_t>(picture) >= m_document.pictures.size())
        return {0, 0};
    const RtfPicture& p = m_document.pictures[static_cast<std::size_t>(picture)];
    wxSize size(TwipsToLogical(p.widthTwips), TwipsToLogical(p.heightTwips));
    if (m_layoutWidth > 0 && size.x > m_layoutWidth) {
        size.y = std::max(1, static_cast<int>(std::int64_t{size.y} * m_layoutWidth / size.x));
        size.x = m_layoutWidth;
    }
    return size;
}

void RichTextViewer::LayoutDocument() {
    m_lines.clear();
    m_pieces.clear();
    const int width = TextWidth();
    if (width != m_layoutWidth) {
        // Pictures fitted to the old width are made again at the new one.
        m_bitmaps.clear();
        m_bitmapPixels = 0;
    }
    m_layoutWidth = width;
    int y = Margin;
    for (std::size_t p = 0; p < m_document.paragraphs.size() && y < MaxContentHeight; ++p)
        LayoutParagraph(static_cast<int>(p), y);
    m_lines.shrink_to_fit();
    m_pieces.shrink_to_fit();
    m_contentHeight = std::min(y + Margin, MaxContentHeight);
    UpdateScrollbar();
}

void RichTextViewer::LayoutParagraph(int index, int& y) {
    const RtfParagraph& paragraph = m_document.paragraphs[static_cast<std::size_t>(index)];
    const RtfParagraphFormat& format = paragraph.format;
    const int left = std::clamp(TwipsToLogical(format.leftIndent), 0, m_layoutWidth / 2);
    const int right = std::clamp(m_layoutWidth - TwipsToLogical(format.rightIndent), left + 1, m_layoutWidth);
    const int firstIndent = std::clamp(left + TwipsToLogical(format.firstLineIndent), 0, right - 1);
    y += TwipsToLogical(format.spaceBefore);

    Line line{index, static_cast<int>(m_pieces.size()), 0, y, 0, 0, firstIndent, false};
    int x = firstIndent;
    int ascent = 0;
    int descent = 0;
    bool hasContent = false;

    auto grow = [&](const RtfTextStyle& style) {
        const Metrics& metrics = MetricsOf(style);
        ascent = std::max(ascent, metrics.ascent - metrics.shift);
        descent = std::max(descent, metrics.descent + metrics.shift);
    };
    auto addPiece = [&](int run, int start, int length) {
        if (!m_pieces.empty() && line.pieceCount > 0) {
            Piece& previous = m_pieces.back();
            if (previous.run == run && previous.start + previous.length == start && length > 0) {
                previous.length += length;
                return;
            }
        }
        m_pieces.push_back({run, start, length});
        ++line.pieceCount;
        hasContent = true;
    };
    auto endLine = [&](bool last) {
        if (ascent == 0 && descent == 0)
            grow(paragraph.markStyle);
        int height = ascent + descent;
        int top = 0; // extra room above the text
        if (format.lineSpacing > 0 && format.lineSpacingMultiple) {
            top = height * format.lineSpacing / 240 - height;
        } else if (format.lineSpacing > 0) {
            top = std::max(TwipsToLogical(format.lineSpacing) - height, 0);
        } else if (format.lineSpacing < 0) {
            top = TwipsToLogical(-format.lineSpacing) - height;
        }
        line.height = std::max(height + top, 1);
        line.ascent = ascent + top;
        line.y = y;
        line.last = last;
        m_lines.push_back(line);
        y = std::min<std::int64_t>(std::int64_t{y} + line.height, MaxContentHeight);
        line = Line{index, static_cast<int>(m_pieces.size()), 0, y, 0, 0, left, false};
        x = left;
        ascent = descent = 0;
        hasContent = false;
    };

    for (std::size_t r = 0; r < paragraph.runs.size() && y < MaxContentHeight; ++r) {
        const RtfRun& run = paragraph.runs[r];
        const int runIndex = static_cast<int>(r);
        switch (run.kind) {
        case RtfRunKind::Text: {
            Metrics& metrics = MetricsOf(run.style);
            const std::wstring& text = run.text;
            const int length = static_cast<int>(text.size());
            int i = 0;
            while (i < length) {
                int wordEnd = i;
                int word = 0;
                while (wordEnd < length && text[static_cast<std::size_t>(wordEnd)] != L' ')
                    word += CharWidth(metrics, text[static_cast<std::size_t>(wordEnd++)]);
                int end = wordEnd;
                int spaces = 0;
                while (end < length && text[static_cast<std::size_t>(end)] == L' ')
                    spaces += CharWidth(metrics, text[static_cast<std::size_t>(end++)]);
                if (x + word > right && hasContent)
                    endLine(false);
                if (x + word > right) {
                    // A word longer than the line: as many letters as fit, at least one.
                    int fit = i;
                    int width = 0;
                    while (fit < wordEnd) {
                        const int w = CharWidth(metrics, text[static_cast<std::size_t>(fit)]);
                        if (fit > i && x + width + w > right)
                            break;
                        width += w;
                        ++fit;
                    }
                    grow(run.style);
                    addPiece(runIndex, i, fit - i);
                    if (fit < wordEnd) {
                        endLine(false);
                        i = fit;
                        continue;
                    }
                    x += width + spaces;
                    if (end > wordEnd)
                        addPiece(runIndex, wordEnd, end - wordEnd);
                    i = end;
                    continue;
                }
                grow(run.style);
                addPiece(runIndex, i, end - i);
                x += word + spaces;
                i = end;
            }
            break;
        }
        case RtfRunKind::Tab: {
            int stop = NextTabStop(format, x);
            if (stop > right && hasContent) {
                endLine(false);
                stop = NextTabStop(format, x);
            }
            grow(run.style);
            addPiece(runIndex, 0, 0);
            x = std::min(stop, right);
            break;
        }
        case RtfRunKind::LineBreak:
            grow(run.style);
            addPiece(runIndex, 0, 0);
            endLine(true);
            break;
        case RtfRunKind::Picture: {
            const wxSize size = PictureSize(run.picture);
            if (x + size.x > right && hasContent)
                endLine(false);
            ascent = std::max(ascent, size.y);
            addPiece(runIndex, 0, 0);
            x += size.x;
            break;
        }
        }
    }
    if (hasContent || line.pieceCount == 0 || m_lines.empty() || m_lines.back().paragraph != index)
        endLine(true);
    else
        m_lines.back().last = true;
    y += TwipsToLogical(format.spaceAfter);
}

// Scrolling -------------------------------------------------------------------

void RichTextViewer::UpdateScrollbar() {
    const int page = std::max(GetClientSize().y, 1);
    m_scroll = std::clamp(m_scroll, 0, std::max(m_contentHeight - page, 0));
    SetScrollbar(wxVERTICAL, m_scroll, page, std::max(m_contentHeight, page));
}

void RichTextViewer::ScrollToPosition(int y) {
    const int page = std::max(GetClientSize().y, 1);
    y = std::clamp(y, 0, std::max(m_contentHeight - page, 0));
    if (y == m_scroll)
        return;
    m_scroll = y;
    SetScrollPos(wxVERTICAL, m_scroll);
    Refresh(false);
}

int RichTextViewer::LineStep() const {
    return std::max(GetCharHeight(), 8);
}

void RichTextViewer::OnScroll(wxScrollWinEvent& event) {
    if (event.GetOrientation() != wxVERTICAL) {
        event.Skip();
        return;
    }
    const int page = std::max(GetClientSize().y - LineStep(), LineStep());
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_SCROLLWIN_TOP)
        ScrollToPosition(0);
    else if (type == wxEVT_SCROLLWIN_BOTTOM)
        ScrollToPosition(m_contentHeight);
    else if (type == wxEVT_SCROLLWIN_LINEUP)
        ScrollToPosition(m_scroll - LineStep());
    else if (type == wxEVT_SCROLLWIN_LINEDOWN)
        ScrollToPosition(m_scroll + LineStep());
    else if (type == wxEVT_SCROLLWIN_PAGEUP)
        ScrollToPosition(m_scroll - page);
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN)
        ScrollToPosition(m_scroll + page);
    else
        ScrollToPosition(event.GetPosition());
}

void RichTextViewer::OnKeyDown(wxKeyEvent& event) {
    const int page = std::max(GetClientSize().y - LineStep(), LineStep());
    switch (event.GetKeyCode()) {
    case WXK_UP:
    case WXK_NUMPAD_UP:
        ScrollToPosition(m_scroll - LineStep());
        break;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
        ScrollToPosition(m_scroll + LineStep());
        break;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP:
        ScrollToPosition(m_scroll - page);
        break;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN:
        ScrollToPosition(m_scroll + page);
        break;
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
        ScrollToPosition(0);
        break;
    case WXK_END:
    case WXK_NUMPAD_END:
        ScrollToPosition(m_contentHeight);
        break;
    default:
        event.Skip();
        break;
    }
}

void RichTextViewer::OnMouseWheel(wxMouseEvent& event) {
    if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL || event.GetWheelDelta() == 0) {
        event.Skip();
        return;
    }
    const int lines = event.GetWheelRotation() * event.GetLinesPerAction() / event.GetWheelDelta();
    ScrollToPosition(m_scroll - lines * LineStep());
}

void RichTextViewer::OnSize(wxSizeEvent& event) {
    if (TextWidth() != m_layoutWidth) {
        // Keep the same part of the document in view as the lines rewrap.
        const double fraction = m_contentHeight > 0 ? static_cast<double>(m_scroll) / m_contentHeight : 0.0;
        LayoutDocument();
        m_scroll = static_cast<int>(fraction * m_contentHeight);
    }
    UpdateScrollbar();
    Refresh(false);
    event.Skip();
}

// Pictures ------------------------------------------------------------------

const wxBitmap* RichTextViewer::Bitmap(int picture) {
    const auto found = m_bitmaps.find(picture);
    if (found != m_bitmaps.end())
        return found->second.IsOk() ? &found->second : nullptr;

    const RtfPicture& p = m_document.pictures[static_cast<std::size_t>(picture)];
    const wxSize size = PictureSize(picture);
    wxBitmap bitmap;
    const std::int64_t pixels = std::int64_t{size.x} * size.y;
    if (p.format != RtfPictureFormat::None && pixels > 0 && pixels <= RtfLimits::MaxPicturePixels) {
        const wxBitmapType type = p.format == RtfPictureFormat::Png    ? wxBITMAP_TYPE_PNG
                                  : p.format == RtfPictureFormat::Jpeg ? wxBITMAP_TYPE_JPEG
                                                                       : wxBITMAP_TYPE_BMP;
        wxLogNull quiet; // a damaged picture shows as its frame, with no message
        wxMemoryInputStream stream(p.bytes.data(), p.bytes.size());
        wxImage image;
        if (image.LoadFile(stream, type) && image.IsOk()) {
            if (image.GetWidth() != size.x || image.GetHeight() != size.y)
                image.Rescale(size.x, size.y, wxIMAGE_QUALITY_HIGH);
            bitmap = wxBitmap(image);
        }
    }
    if (bitmap.IsOk()) {
        if (m_bitmapPixels + pixels > MaxCachedPixels) {
            m_bitmaps.clear();
            m_bitmapPixels = 0;
        }
        m_bitmapPixels += pixels;
    }
    const auto stored = m_bitmaps.emplace(picture, bitmap).first;
    return stored->second.IsOk() ? &stored->second : nullptr;
}

bool RichTextViewer::CanShowPicture(int picture) {
    if (picture < 0 || static_cast<std::size_t>(picture) >= m_document.pictures.size())
        return false;
    return Bitmap(picture) != nullptr;
}

// Painting ------------------------------------------------------------------

void RichTextViewer::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    const int height = GetClientSize().y;
    const auto first = std::upper_bound(m_lines.begin(), m_lines.end(), m_scroll,
                                        [](int y, const Line& line) { return y < line.y + line.height; });
    for (auto line = first; line != m_lines.end() && line->y < m_scroll + height; ++line)
        DrawLine(dc, *line, line->y - m_scroll);
}

void RichTextViewer::DrawLine(wxDC& dc, const Line& line, int top) {
    const RtfParagraph& paragraph = m_document.paragraphs[static_cast<std::size_t>(line.paragraph)];
    const RtfParagraphFormat& format = paragraph.format;
    const int left = std::clamp(TwipsToLogical(format.leftIndent), 0, m_layoutWidth / 2);
    const int right = std::clamp(m_layoutWidth - TwipsToLogical(format.rightIndent), left + 1, m_layoutWidth);
    const Piece* pieces = m_pieces.data() + line.firstPiece;

    auto textOf = [&](const Piece& piece) {
        const RtfRun& run = paragraph.runs[static_cast<std::size_t>(piece.run)];
        return wxString(run.text.data() + piece.start, static_cast<std::size_t>(piece.length));
    };
    auto widthOf = [&](const Piece& piece) {
        const RtfRun& run = paragraph.runs[static_cast<std::size_t>(piece.run)];
        if (run.kind == RtfRunKind::Picture)
            return PictureSize(run.picture).x;
        if (run.kind != RtfRunKind::Text || piece.length == 0)
            return 0;
        dc.SetFont(MetricsOf(run.style).font);
        return dc.GetTextExtent(textOf(piece)).x;
    };

    // Where each piece goes: tabs to their stops, right and centre stops
    // taking the text up to the next tab with them.
    std::vector<Placed> placed;
    placed.reserve(static_cast<std::size_t>(line.pieceCount));
    std::vector<int> widths(static_cast<std::size_t>(line.pieceCount));
    for (int i = 0; i < line.pieceCount; ++i)
        widths[static_cast<std::size_t>(i)] = widthOf(pieces[i]);
    int x = line.indent;
    for (int i = 0; i < line.pieceCount; ++i) {
        const Piece& piece = pieces[i];
        const RtfRun& run = paragraph.runs[static_cast<std::size_t>(piece.run)];
        if (run.kind == RtfRunKind::Tab) {
            const int stop = NextTabStop(format, x);
            RtfTabKind kind = RtfTabKind::Left;
            for (const RtfTabStop& s : format.tabStops)
                if (TwipsToLogical(s.position) == stop)
                    kind = s.kind;
            int following = 0;
            for (int k = i + 1;
                 k < line.pieceCount &&
                 paragraph.runs[static_cast<std::size_t>(pieces[k].run)].kind != RtfRunKind::Tab;
                 ++k)
                following += widths[static_cast<std::size_t>(k)];
            int next = stop;
            if (kind == RtfTabKind::Right || kind == RtfTabKind::Decimal)
                next = std::max(x, stop - following);
            else if (kind == RtfTabKind::Centre)
                next = std::max(x, stop - following / 2);
            placed.push_back({&piece, x, next - x});
            x = next;
            continue;
        }
        placed.push_back({&piece, x, widths[static_cast<std::size_t>(i)]});
        x += widths[static_cast<std::size_t>(i)];
    }

    // The line's width without the spaces it ends with.
    int used = x;
    if (!placed.empty()) {
        const Placed& end = placed.back();
        const RtfRun& run = paragraph.runs[static_cast<std::size_t>(end.piece->run)];
        if (run.kind == RtfRunKind::Text) {
            const std::wstring_view text(run.text.data() + end.piece->start,
                                         static_cast<std::size_t>(end.piece->length));
            const std::size_t kept = text.find_last_not_of(L' ');
            const std::wstring_view trimmed = text.substr(0, kept == std::wstring_view::npos ? 0 : kept + 1);
            dc.SetFont(MetricsOf(run.style).font);
            used =
                end.x + (trimmed.empty() ? 0 : dc.GetTextExtent(wxString(trimmed.data(), trimmed.size())).x);
        }
    }
    int offset = 0;
    int extraPerSpace = 0;
    int extraRemainder = 0;
    const int room = right - used;
    if (format.alignment == RtfAlignment::Centre)
        offset = std::max(room / 2, 0);
    else if (format.alignment == RtfAlignment::Right)
        offset = std::max(room, 0);
    else if (format.alignment == RtfAlignment::Justify && !line.last && room > 0) {
        int spaces = 0;
        for (const Placed& p : placed) {
            const RtfRun& run = paragraph.runs[static_cast<std::size_t>(p.piece->run)];
            if (run.kind == RtfRunKind::Text)
                spaces +=
                    static_cast<int>(std::count(run.text.begin() + p.piece->start,
                                                run.text.begin() + p.piece->start + p.piece->length, L' '));
        }
        // Spaces the line ends with get nothing.
        const RtfRun& lastRun = paragraph.runs[static_cast<std::size_t>(placed.back().piece->run)];
        if (lastRun.kind == RtfRunKind::Text) {
            const Piece& lastPiece = *placed.back().piece;
            for (int k = lastPiece.start + lastPiece.length - 1;
                 k >= lastPiece.start && lastRun.text[static_cast<std::size_t>(k)] == L' '; --k)
                --spaces;
        }
        if (spaces > 0) {
            extraPerSpace = room / spaces;
            extraRemainder = room % spaces;
        }
    }

    const int baseline = top + line.ascent;
    int shiftSoFar = 0; // what justification has added before the piece
    for (const Placed& p : placed) {
        const RtfRun& run = paragraph.runs[static_cast<std::size_t>(p.piece->run)];
        const int pieceX = Margin + offset + p.x + shiftSoFar;
        if (run.kind == RtfRunKind::Picture) {
            const wxSize size = PictureSize(run.picture);
            const int y = baseline - size.y;
            if (const wxBitmap* bitmap = Bitmap(run.picture)) {
                dc.DrawBitmap(*bitmap, pieceX, y, false);
            } else {
                dc.SetPen(wxPen(wxColour(160, 160, 160)));
                dc.SetBrush(*wxTRANSPARENT_BRUSH);
                dc.DrawRectangle(pieceX, y, std::max(size.x, 1), std::max(size.y, 1));
            }
            continue;
        }
        if (run.kind != RtfRunKind::Text || p.piece->length == 0)
            continue;
        const Metrics& metrics = MetricsOf(run.style);
        dc.SetFont(metrics.font);
        if (run.style.colour >= 0) {
            const RtfColour& c = m_document.colours[static_cast<std::size_t>(run.style.colour)];
            dc.SetTextForeground(wxColour(c.red, c.green, c.blue));
        } else {
            dc.SetTextForeground(*wxBLACK);
        }
        const int y = baseline - metrics.ascent + metrics.shift;
        if (extraPerSpace == 0 && extraRemainder == 0) {
            dc.DrawText(textOf(*p.piece), pieceX, y);
            continue;
        }
        // Justified: word by word, each space widened.
        const std::wstring_view text(run.text.data() + p.piece->start,
                                     static_cast<std::size_t>(p.piece->length));
        int wordX = pieceX;
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find(L' ', at);
            if (end == std::wstring_view::npos)
                end = text.size();
            const wxString word(text.data() + at, end - at);
            if (!word.empty()) {
                dc.DrawText(word, wordX, y);
                wordX += dc.GetTextExtent(word).x;
            }
            while (end < text.size() && text[end] == L' ') {
                wordX += dc.GetTextExtent(wxString(L' ')).x + extraPerSpace + (extraRemainder > 0 ? 1 : 0);
                shiftSoFar += extraPerSpace + (extraRemainder > 0 ? 1 : 0);
                extraRemainder = std::max(extraRemainder - 1, 0);
                ++end;
            }
            at = end;
        }
    }
}
