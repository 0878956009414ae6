// The keys that scroll the view as a reader expects; the toolkit's text view
// keeps its own for selecting and copying.

#include "rich_text_viewer.h"

#include <gtk/gtk.h>

#include <algorithm>

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
