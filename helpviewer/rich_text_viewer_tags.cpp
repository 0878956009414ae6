// The tags that give the view's text the document's character styles and
// paragraph formats; documents reuse a few of each, so each is made once.

#include "rich_text_viewer.h"
#include "rich_text_viewer_parts.h"
#include "twips.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using namespace RichTextViewerParts;

namespace {

constexpr std::size_t MaxStyles = 64;
constexpr int MaxPointSize = 1638;

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

PangoTabAlign TabAlign(int kind) {
    switch (static_cast<RtfTabKind>(kind)) {
    case RtfTabKind::Right:
        return PANGO_TAB_RIGHT;
    case RtfTabKind::Centre:
        return PANGO_TAB_CENTER;
    case RtfTabKind::Decimal:
        return PANGO_TAB_DECIMAL;
    default:
        return PANGO_TAB_LEFT;
    }
}

// The paragraph's own stops (from the left margin, and their kind), then the
// document's default ones up to a few beyond the column; past them Pango
// repeats the last interval.
PangoTabArray* TabArray(const std::vector<std::pair<int, int>>& tabs, int left, int interval, int column) {
    std::vector<std::pair<int, PangoTabAlign>> stops;
    for (const auto& [position, kind] : tabs)
        stops.emplace_back(position, TabAlign(kind));
    int lastStop = tabs.empty() ? 0 : tabs.back().first;
    for (int i = 0; i < 2 || (lastStop < column && i < 64); ++i) {
        lastStop = ((lastStop + left) / interval + 1) * interval - left;
        stops.emplace_back(lastStop, PANGO_TAB_LEFT);
    }
    PangoTabArray* tabArray = pango_tab_array_new(static_cast<int>(stops.size()), TRUE);
    for (std::size_t i = 0; i < stops.size(); ++i)
        pango_tab_array_set_tab(tabArray, static_cast<int>(i), stops[i].second, stops[i].first);
    return tabArray;
}

GtkJustification Justification(RtfAlignment alignment) {
    switch (alignment) {
    case RtfAlignment::Centre:
        return GTK_JUSTIFY_CENTER;
    case RtfAlignment::Right:
        return GTK_JUSTIFY_RIGHT;
    case RtfAlignment::Justify:
        return GTK_JUSTIFY_FILL;
    default:
        return GTK_JUSTIFY_LEFT;
    }
}

} // namespace

int RichTextViewerParts::Pixels(int twips) {
    return TwipsToPixels(
        static_cast<float>(std::clamp(twips, -RtfLimits::MaxPictureTwips, RtfLimits::MaxPictureTwips)));
}

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
    const int left = std::clamp(Pixels(format.leftIndent), 0, column / 2);
    const int right = std::clamp(Pixels(format.rightIndent), 0, column / 2);
    const int indent = first ? std::clamp(Pixels(format.firstLineIndent), -left, column / 2) : 0;
    const int above = first ? std::clamp(Pixels(format.spaceBefore), 0, 1000) : 0;
    const int below = last ? std::clamp(Pixels(format.spaceAfter), 0, 1000) : 0;
    // Line spacing beyond the font's own, added between the lines.
    int extra = 0;
    if (format.lineSpacing != 0) {
        const int natural = 18; // a 12-point line
        if (format.lineSpacingMultiple)
            extra = natural * format.lineSpacing / 240 - natural;
        else
            extra = std::abs(Pixels(format.lineSpacing)) - natural;
        extra = std::clamp(extra, 0, 1000);
    }
    std::vector<std::pair<int, int>> tabs; // from the left margin, and their kind
    for (const RtfTabStop& stop : format.tabStops)
        if (tabs.size() < 64 && Pixels(stop.position) - left > 0)
            tabs.emplace_back(Pixels(stop.position) - left, static_cast<int>(stop.kind));
    const ParagraphKey key{
        static_cast<int>(format.alignment), left, right, indent, above, below, extra, tabs, wrapAnywhere};
    const auto found = m_paragraphTags.find(key);
    if (found != m_paragraphTags.end())
        return found->second;
    if (m_paragraphTags.size() >= MaxStyles)
        return nullptr;

    PangoTabArray* tabArray = TabArray(tabs, left, std::max(Pixels(m_document.defaultTabWidth), 4), column);
    GtkTextTag* tag = gtk_text_buffer_create_tag(
        BufferOf(this), nullptr, "justification", Justification(format.alignment), "left-margin",
        left + Margin, "right-margin", right + Margin, "indent", indent, "pixels-above-lines", above,
        "pixels-below-lines", below, "pixels-inside-wrap", extra, "tabs", tabArray, "wrap-mode",
        wrapAnywhere ? GTK_WRAP_CHAR : GTK_WRAP_WORD_CHAR, nullptr);
    pango_tab_array_free(tabArray);
    m_tags.push_back(tag);
    m_paragraphTags.emplace(key, tag);
    return tag;
}
