#pragma once

#include "rtf_document.h"

#include <wx/textctrl.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

typedef struct _GtkTextView GtkTextView;
typedef struct _GtkTextTag GtkTextTag;

// A read-only view of a rich-text document, shown by the toolkit's own text
// view: fonts, sizes, bold, italic, underline, colours, alignment, indents,
// spacing, tab stops and pictures at their sizes (narrowed in proportion when
// wider than the view), wrapped by word, in black on white whatever the
// theme. The toolkit gives it a caret for selecting with the keyboard,
// selecting with the mouse, copying (Ctrl+A, Ctrl+C) and its text, paragraph
// by paragraph, to screen readers. The keys scroll it as a reader expects:
// Up and Down scroll a line (the caret moving along), Page Up and Page Down a
// page, Home and End to the top and the bottom.
//
// A document fills the view in bounded steps, so that however long it is,
// the program keeps taking input meanwhile; a paragraph longer than
// MaxShownParagraph characters or MaxShownRuns differently styled runs is
// shown as several, and one holding a word
// longer than MaxWordWrapped characters wraps anywhere, so that laying it out
// takes time in proportion to its length. Text past MaxShownCharacters (a
// thousand pages) is left out.
class RichTextViewer : public wxTextCtrl {
public:
    RichTextViewer(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& position = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize);
    ~RichTextViewer() override;

    // Shows the file at path in place of what the view holds: as RTF when it
    // begins with "{\rtf", as plain text otherwise. A file that is missing,
    // not a regular file or cannot be read leaves the view as it was.
    // Returns whether it loaded. A file larger than ReadAtOnceBytes is read
    // into a document on a thread of its own, and shown when that is done.
    bool ShowFile(const wxString& path);

    // Shows a document given as RTF bytes (a built-in copy, say).
    void SetRtf(std::string_view rtf);

    void SetDocument(RtfDocument document);
    const RtfDocument& Document() const { return m_document; }

    // Whether part of the document is still to be read or put into the view.
    bool IsFilling() const { return m_filling; }
    // The text the view holds, as it is copied: pictures are U+FFFC.
    std::wstring Text() const;

    // The toolkit's text view inside, for what only the toolkit offers.
    GtkTextView* TextView() const;

    // Files larger than this are read only this far.
    static constexpr std::size_t MaxFileBytes = std::size_t{128} << 20;
    static constexpr std::size_t ReadAtOnceBytes = std::size_t{1} << 20;
    static constexpr std::size_t MaxShownCharacters = std::size_t{1} << 21;
    static constexpr std::size_t MaxShownParagraph = 8192;
    static constexpr std::size_t MaxShownRuns = 64;
    static constexpr std::size_t MaxWordWrapped = 256;

private:
    struct FillPosition {
        std::size_t paragraph = 0;
        std::size_t run = 0;
        std::size_t offset = 0; // into the run's text
        bool continued = false; // the paragraph's earlier part is shown already
    };
    using StyleKey = std::tuple<int, int, bool, bool, bool, bool, int, int>;
    using ParagraphKey =
        std::tuple<int, int, int, int, int, int, int, std::vector<std::pair<int, int>>, bool>;

    void ClearView();
    void FillStep();
    std::size_t InsertSegment(); // returns the work it took
    void InsertPicture(int picture, int leftIndent, int rightIndent);
    GtkTextTag* StyleTag(const RtfTextStyle& style);
    GtkTextTag* ParagraphTag(const RtfParagraphFormat& format, bool first, bool last, bool wrapAnywhere);
    int ColumnWidth() const;
    void OnKeyDown(wxKeyEvent& event);

    RtfDocument m_document;
    FillPosition m_fill;
    bool m_filling = false;
    unsigned m_fillSource = 0; // the idle call that fills the rest
    std::map<StyleKey, GtkTextTag*> m_styleTags;
    std::map<ParagraphKey, GtkTextTag*> m_paragraphTags;
    std::vector<GtkTextTag*> m_tags; // every tag made for the document shown
    std::int64_t m_picturePixels = 0;
    // Where a file read on its own thread delivers its document; the thread
    // never touches the view.
    struct PendingRead;
    std::shared_ptr<PendingRead> m_pendingRead;
};
