#include "text_fit.h"

#include <gtk/gtk.h>
#include <wx/combobox.h>
#include <wx/font.h>
#include <wx/fontutil.h>
#include <wx/textctrl.h>
#include <wx/window.h>

#include <algorithm>

namespace {

// Below this line height in pixels text is no longer comfortably read; the
// toolkit's own small print is about this size.
constexpr int MinimumLineHeight = 11;
constexpr double PointStep = 0.5;

GtkLabel* LabelOf(GtkWidget* widget) {
    if (GTK_IS_LABEL(widget))
        return GTK_LABEL(widget);
    if (GTK_IS_BUTTON(widget)) {
        GtkWidget* child = gtk_bin_get_child(GTK_BIN(widget));
        if (child != nullptr && GTK_IS_LABEL(child))
            return GTK_LABEL(child);
    }
    return nullptr;
}

GtkBorder Frame(GtkWidget* widget) {
    GtkStyleContext* style = gtk_widget_get_style_context(widget);
    const GtkStateFlags state = gtk_style_context_get_state(style);
    GtkBorder padding{}, border{};
    gtk_style_context_get_padding(style, state, &padding);
    gtk_style_context_get_border(style, state, &border);
    return {static_cast<gint16>(padding.left + border.left),
            static_cast<gint16>(padding.right + border.right), static_cast<gint16>(padding.top + border.top),
            static_cast<gint16>(padding.bottom + border.bottom)};
}

// The widget that shows the text, and the room the control's box leaves it.
GtkWidget* TextWidget(GtkWidget* widget, wxSize& room) {
    GtkWidget* text = widget;
    if (GTK_IS_COMBO_BOX(widget) && gtk_combo_box_get_has_entry(GTK_COMBO_BOX(widget))) {
        text = gtk_bin_get_child(GTK_BIN(widget));
        // The arrow button beside the entry takes its own width.
        int arrowWidth = 0;
        GList* parts = nullptr;
        gtk_container_forall(
            GTK_CONTAINER(widget),
            [](GtkWidget* part, gpointer list) {
                *static_cast<GList**>(list) = g_list_prepend(*static_cast<GList**>(list), part);
            },
            &parts);
        for (GList* part = parts; part != nullptr; part = part->next)
            if (GTK_IS_TOGGLE_BUTTON(part->data))
                gtk_widget_get_preferred_width(GTK_WIDGET(part->data), &arrowWidth, nullptr);
        g_list_free(parts);
        room.x -= arrowWidth;
    } else if (GTK_IS_SCROLLED_WINDOW(widget)) {
        text = gtk_bin_get_child(GTK_BIN(widget));
    }
    if (!GTK_IS_LABEL(text) && !GTK_IS_BUTTON(text)) {
        const GtkBorder frame = Frame(text);
        room.x -= frame.left + frame.right;
        room.y -= frame.top + frame.bottom;
    }
    return text;
}

wxSize TextExtent(GtkWidget* widget, const wxString& text, const wxFont& font, int wrapWidth) {
    PangoLayout* layout = gtk_widget_create_pango_layout(widget, text.utf8_str());
    pango_layout_set_font_description(layout, font.GetNativeFontInfo()->description);
    if (wrapWidth > 0) {
        pango_layout_set_width(layout, wrapWidth * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    return {width, height};
}

wxString TextOf(wxWindow* control) {
    if (auto* box = dynamic_cast<wxTextCtrl*>(control))
        return box->GetValue().empty() ? wxString(L"Ag") : box->GetValue();
    if (auto* chooser = dynamic_cast<wxComboBox*>(control))
        return chooser->GetValue().empty() ? wxString(L"Ag") : chooser->GetValue();
    return control->GetLabel();
}

} // namespace

void FitTextToBox(wxWindow* control) {
    auto* widget = static_cast<GtkWidget*>(control->GetHandle());
    if (widget == nullptr)
        return;
    wxSize room = control->GetSize();
    GtkWidget* textWidget = TextWidget(widget, room);
    GtkLabel* label = LabelOf(widget);
    const bool wraps = label != nullptr && GTK_IS_LABEL(widget) && gtk_label_get_line_wrap(label);
    if (label != nullptr && !GTK_IS_LABEL(widget)) {
        const GtkBorder frame = Frame(widget);
        room.x -= frame.left + frame.right;
        room.y -= frame.top + frame.bottom;
    }
    const wxString text = TextOf(control);

    wxFont font = control->GetFont();
    wxSize extent = TextExtent(textWidget, text, font, wraps ? room.x : 0);
    const wxFont original = font;
    while ((extent.x > room.x || extent.y > room.y) && font.GetFractionalPointSize() > PointStep) {
        wxFont smaller = font;
        smaller.SetFractionalPointSize(font.GetFractionalPointSize() - PointStep);
        const wxSize smallerExtent = TextExtent(textWidget, L"Ag", smaller, 0);
        if (smallerExtent.y < MinimumLineHeight)
            break;
        font = smaller;
        extent = TextExtent(textWidget, text, font, wraps ? room.x : 0);
    }
    if (font != original)
        control->SetFont(font);
    if ((extent.x <= room.x && extent.y <= room.y) || label == nullptr)
        return;
    gtk_label_set_ellipsize(label, PANGO_ELLIPSIZE_END);
    if (wraps) {
        const int lineHeight = TextExtent(textWidget, L"Ag", font, 0).y;
        gtk_label_set_lines(label, std::max(1, room.y / std::max(1, lineHeight)));
    }
    const wxString description = control->GetToolTipText();
    control->SetToolTip(description.empty() || description == text ? text : text + L"\n" + description);
}

bool IsTextEllipsized(wxWindow* control) {
    GtkLabel* label = LabelOf(static_cast<GtkWidget*>(control->GetHandle()));
    return label != nullptr && pango_layout_is_ellipsized(gtk_label_get_layout(label));
}

int TextOverflow(wxWindow* control) {
    auto* widget = static_cast<GtkWidget*>(control->GetHandle());
    if (GTK_IS_COMBO_BOX(widget))
        widget = gtk_bin_get_child(GTK_BIN(widget));
    PangoLayout* layout = nullptr;
    GdkRectangle room{};
    if (GTK_IS_ENTRY(widget)) {
        layout = gtk_entry_get_layout(GTK_ENTRY(widget));
        gtk_entry_get_text_area(GTK_ENTRY(widget), &room);
    } else if (GtkLabel* label = LabelOf(widget)) {
        layout = gtk_label_get_layout(label);
        gtk_widget_get_allocation(GTK_WIDGET(label), &room);
    }
    if (layout == nullptr || pango_layout_is_ellipsized(layout))
        return 0;
    PangoRectangle ink{}, logical{};
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    // Entries scroll their text sideways: only their height can cut it.
    const int width = GTK_IS_ENTRY(widget) ? 0 : logical.width - room.width;
    return std::max({0, width, ink.height - room.height});
}
