#pragma once

#include "rtf_document.h"

#include <wx/bitmap.h>
#include <wx/font.h>
#include <wx/window.h>

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

// A read-only view of a rich-text document: fonts, sizes, bold, italic,
// underline, colours, alignment, indents, tab stops and pictures at their
// sizes (narrowed in proportion when wider than the view), in one column as
// wide as the view, scrolled vertically with the
// scroll bar, the wheel and the keys (arrows, Page Up/Down, Home, End). It
// takes the keyboard focus like any control.
class RichTextViewer : public wxWindow {
public:
    RichTextViewer(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& position = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize);

    // Shows the file at path in place of what the view holds: as RTF when it
    // begins with "{\rtf", as plain text otherwise. A file that is missing
    // or cannot be read leaves the view as it was. Returns whether it loaded.
    bool LoadFile(const wxString& path);

    // Shows a document given as RTF bytes (a built-in copy, say).
    void SetRtf(std::string_view rtf);

    void SetDocument(RtfDocument document);
    const RtfDocument& Document() const { return m_document; }
    std::wstring Text() const { return DocumentText(m_document); }

    // In logical pixels: the height of the whole laid-out document, and how
    // far down it the view shows.
    int ContentHeight() const { return m_contentHeight; }
    int ScrollPosition() const { return m_scroll; }
    void ScrollToPosition(int y);
    std::size_t LineCount() const { return m_lines.size(); }

    // Whether a picture of the document decodes into an image to show (else
    // it shows as an empty frame).
    bool CanShowPicture(int picture);
    // The size a picture is shown at, in logical pixels.
    wxSize PictureSize(int picture) const;

    bool AcceptsFocus() const override { return true; }
    bool AcceptsFocusFromKeyboard() const override { return true; }

    // Files larger than this are read only this far.
    static constexpr std::size_t MaxFileBytes = std::size_t{128} << 20;

private:
    struct Metrics {
        wxFont font;
        int height = 0;
        int ascent = 0;
        int descent = 0;
        int shift = 0; // baseline offset of superscript (negative) and subscript text
        std::array<int, 256> latin;
        std::unordered_map<wchar_t, int> other;
    };
    // Part of one run on one line.
    struct Piece {
        int run;
        int start;
        int length;
    };
    struct Line {
        int paragraph;
        int firstPiece;
        int pieceCount;
        int y;
        int height;
        int ascent; // baseline below y
        int indent; // where the line starts, from the text's left edge
        bool last;  // the paragraph's last line, or one ended by a line break: never justified
    };
    struct Placed {
        const Piece* piece;
        int x;
        int width;
    };
    using StyleKey = std::tuple<int, int, bool, bool, bool, bool, int>;

    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnScroll(wxScrollWinEvent& event);

    void LayoutDocument();
    void LayoutParagraph(int index, int& y);
    void UpdateScrollbar();
    int TextWidth() const;
    int LineStep() const;

    Metrics& MetricsOf(const RtfTextStyle& style);
    int CharWidth(Metrics& metrics, wchar_t c);
    wxFont MakeFont(const RtfTextStyle& style) const;
    int NextTabStop(const RtfParagraphFormat& format, int x) const;
    const wxBitmap* Bitmap(int picture);

    void DrawLine(wxDC& dc, const Line& line, int top);

    RtfDocument m_document;
    std::map<StyleKey, Metrics> m_metrics;
    std::vector<Line> m_lines;
    std::vector<Piece> m_pieces;
    int m_layoutWidth = -1;
    int m_contentHeight = 0;
    int m_scroll = 0;
    std::unordered_map<int, wxBitmap> m_bitmaps; // an invalid bitmap: the picture does not decode
    std::int64_t m_bitmapPixels = 0;
};
