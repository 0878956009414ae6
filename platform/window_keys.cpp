#include "window_keys.h"

#include <gtk/gtk.h>
#include <wx/event.h>
#include <wx/toplevel.h>

#include <vector>

namespace {

// The wx key code of the keys the windows' shortcuts use; WXK_NONE for others.
int KeyCode(guint keyval) {
    if (keyval == GDK_KEY_Escape)
        return WXK_ESCAPE;
    if (keyval == GDK_KEY_Tab || keyval == GDK_KEY_ISO_Left_Tab)
        return WXK_TAB;
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12)
        return WXK_F1 + static_cast<int>(keyval - GDK_KEY_F1);
    if (keyval == GDK_KEY_Left)
        return WXK_LEFT;
    if (keyval == GDK_KEY_Right)
        return WXK_RIGHT;
    const guint upper = gdk_keyval_to_upper(keyval);
    if (upper >= 0x20 && upper < 0x7F)
        return static_cast<int>(upper);
    return WXK_NONE;
}

gboolean OnUnclaimedKey(GtkWidget*, GdkEventKey* key, gpointer data) {
    const int code = KeyCode(key->keyval);
    if (code == WXK_NONE)
        return FALSE;
    auto* window = static_cast<wxTopLevelWindow*>(data);
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.SetEventObject(window);
    event.m_keyCode = code;
    event.m_rawCode = key->keyval;
    event.m_controlDown = (key->state & GDK_CONTROL_MASK) != 0;
    event.m_shiftDown = (key->state & GDK_SHIFT_MASK) != 0;
    event.m_altDown = (key->state & GDK_MOD1_MASK) != 0;
    return window->ProcessWindowEvent(event) ? TRUE : FALSE;
}

} // namespace

bool IsQuitKey(const wxKeyEvent& event) {
    return event.GetModifiers() == wxMOD_CONTROL && event.GetKeyCode() == 'Q';
}

void CloseEveryWindow() {
    // Closing a window may destroy it and take it off the list.
    const std::vector<wxWindow*> windows(wxTopLevelWindows.begin(), wxTopLevelWindows.end());
    for (wxWindow* window : windows)
        window->Close();
}

void ForwardUnclaimedKeys(wxTopLevelWindow* window) {
    // After GTK's own handler, which gives the key to the focused control:
    // it runs only when no control took the key.
    g_signal_connect_after(window->GetHandle(), "key-press-event", G_CALLBACK(OnUnclaimedKey), window);
}
