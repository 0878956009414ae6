#include "compact_style.h"

#include <gtk/gtk.h>
#include <wx/font.h>

namespace {

constexpr const char* CompactCss = R"css(
button {
    min-height: 0;
    min-width: 0;
    padding: 0 3px;
    margin: 0;
    border-radius: 2px;
}
entry {
    min-height: 0;
    min-width: 0;
    padding: 0 3px;
    margin: 0;
}
combobox entry {
    padding: 0;
}
combobox button {
    padding: 0;
    min-width: 0;
}
combobox arrow {
    min-height: 6px;
    min-width: 6px;
    -gtk-icon-transform: scale(0.75);
}
textview text {
    padding: 0;
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

wxFont CompactFont() {
    wxFont font(wxFontInfo(8).FaceName("Liberation Sans"));
    return font.IsOk() ? font : *wxNORMAL_FONT;
}
