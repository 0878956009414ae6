#include "page_focus.h"

#include "failure.h"

#include <webkit2/webkit2.h>
#include <wx/toplevel.h>
#include <wx/webview.h>

#include <memory>

namespace {

using LeaveHandler = std::function<bool(bool forward)>;

// WebKit hands the focus on by asking the top-level window to move it, in
// the direction of the Tab; the page still has the focus at that moment.
gboolean OnWindowFocus(GtkWidget* window, GtkDirectionType direction, gpointer data) {
    if (direction != GTK_DIR_TAB_FORWARD && direction != GTK_DIR_TAB_BACKWARD)
        return FALSE;
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
    if (focus == nullptr || !WEBKIT_IS_WEB_VIEW(focus))
        return FALSE;
    bool handled = false;
    IgnoreFailure([&] { handled = (*static_cast<LeaveHandler*>(data))(direction == GTK_DIR_TAB_FORWARD); });
    return handled ? TRUE : FALSE;
}

} // namespace

void WhenFocusLeavesPage(wxTopLevelWindow* window, std::function<bool(bool forward)> handler) {
    g_signal_connect_data(
        window->GetHandle(), "focus", G_CALLBACK(OnWindowFocus), new LeaveHandler(std::move(handler)),
        [](gpointer data, GClosure*) { delete static_cast<LeaveHandler*>(data); }, GConnectFlags(0));
}

// The page as a whole takes the focus, with none of its links: the next Tab
// goes to its first link, Shift+Tab to its last. (The toolkit's window is a
// wrapper around WebKit's own widget.)
void FocusPage(wxWebView* view) {
    gtk_widget_grab_focus(static_cast<GtkWidget*>(view->GetNativeBackend()));
}

bool PageHasFocus(const wxWebView* view) {
    return gtk_widget_is_focus(static_cast<GtkWidget*>(view->GetNativeBackend())) != FALSE;
}

namespace {

using KeyHandler = std::function<bool(const wxKeyEvent&)>;

int KeyCode(guint keyval) {
    switch (keyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
        return WXK_TAB;
    case GDK_KEY_Escape:
        return WXK_ESCAPE;
    case GDK_KEY_F1:
        return WXK_F1;
    case GDK_KEY_F3:
        return WXK_F3;
    case GDK_KEY_Left:
        return WXK_LEFT;
    case GDK_KEY_Right:
        return WXK_RIGHT;
    case GDK_KEY_KP_Add:
        return WXK_NUMPAD_ADD;
    case GDK_KEY_KP_Subtract:
        return WXK_NUMPAD_SUBTRACT;
    case GDK_KEY_KP_0:
        return WXK_NUMPAD0;
    default: {
        const gunichar character = gdk_keyval_to_unicode(gdk_keyval_to_upper(keyval));
        return character > 32 && character < 127 ? static_cast<int>(character) : WXK_NONE;
    }
    }
}

gboolean OnPageKeyPress(GtkWidget*, GdkEventKey* key, gpointer data) {
    const int code = KeyCode(key->keyval);
    if (code == WXK_NONE)
        return FALSE;
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = code;
    event.SetControlDown((key->state & GDK_CONTROL_MASK) != 0);
    event.SetAltDown((key->state & GDK_MOD1_MASK) != 0);
    event.SetShiftDown((key->state & GDK_SHIFT_MASK) != 0);
    bool handled = false;
    IgnoreFailure([&] { handled = (*static_cast<KeyHandler*>(data))(event); });
    return handled ? TRUE : FALSE;
}

} // namespace

void WhenKeyPressedInPage(wxWebView* view, std::function<bool(const wxKeyEvent&)> handler) {
    g_signal_connect_data(
        view->GetNativeBackend(), "key-press-event", G_CALLBACK(OnPageKeyPress),
        new KeyHandler(std::move(handler)),
        [](gpointer data, GClosure*) { delete static_cast<KeyHandler*>(data); }, GConnectFlags(0));
}
