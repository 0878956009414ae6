#include "compact_style.h"

#include <gtk/gtk.h>
#include <wx/font.h>
#include <wx/window.h>

namespace {

constexpr const char* CompactClass = "scoutwell-compact";

// The focus ring: a solid two-pixel line in the theme's selection colour,
// which both the light and the dark theme keep clear of a control's face.
constexpr const char* CompactCss = R"css(
.scoutwell-compact button {
    min-height: 0;
    min-width: 0;
    padding: 0 3px;
    margin: 0;
    border-radius: 2px;
}
.scoutwell-compact entry {
    min-height: 0;
    min-width: 0;
    padding: 0 3px;
    margin: 0;
}
.scoutwell-compact combobox entry {
    padding: 0;
}
.scoutwell-compact combobox button {
    padding: 0;
    min-width: 0;
}
/* The choosers' arrow is drawn here, in the text's colour, rather than taken
   from the icon theme: at this size the theme's arrow is drawn from its SVG,
   and that one arrow would bring the SVG renderer, some 9 MB, into memory. */
.scoutwell-compact combobox arrow {
    min-height: 6px;
    min-width: 6px;
    -gtk-icon-source: none;
    background-image: linear-gradient(to bottom left, currentColor 50%, transparent 50%),
                      linear-gradient(to bottom right, currentColor 50%, transparent 50%);
    background-size: 50% 3px;
    background-position: 0% 50%, 100% 50%;
    background-repeat: no-repeat;
}
.scoutwell-compact textview text {
    padding: 0;
}
button:focus {
    outline-color: @theme_selected_bg_color;
    outline-style: solid;
    outline-width: 2px;
    outline-offset: -2px;
}
.scoutwell-compact entry:focus, .scoutwell-compact textview:focus {
    box-shadow: inset 0 0 0 2px @theme_selected_bg_color;
}
)css";

} // namespace

void ApplyCompactStyle() {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, CompactCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

void UseCompactStyle(wxWindow* window) {
    if (auto* widget = static_cast<GtkWidget*>(window->GetHandle()))
        gtk_style_context_add_class(gtk_widget_get_style_context(widget), CompactClass);
}

wxFont CompactFont() {
    wxFont font(wxFontInfo(8).FaceName("Liberation Sans"));
    return font.IsOk() ? font : *wxNORMAL_FONT;
}
