#include "window_keys.h"

#include <gtk/gtk.h>
#include <wx/event.h>
#include <wx/toplevel.h>

#include <vector>

namespace {

struct FocusKeeper {
    wxTopLevelWindow* window;
    std::function<wxWindow*()> fallback;
};

void OnSetFocus(GtkWindow* gtkWindow, GtkWidget* widget, gpointer data) {
    if (widget != nullptr)
        return;
    // Once GTK is done moving the focus: a hidden control hands it on
    // only after this signal.
    const auto* keeper = static_cast<FocusKeeper*>(data);
    keeper->window->CallAfter([gtkWindow, keeper] {
        if (gtk_window_get_focus(gtkWindow) != nullptr || !keeper->window->IsShown())
            return;
        if (wxWindow* control = keeper->fallback(); control != nullptr && control->IsShownOnScreen())
            control->SetFocus();
    });
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

void KeepAControlFocused(wxTopLevelWindow* window, std::function<wxWindow*()> fallback) {
    g_signal_connect_data(
        window->GetHandle(), "set-focus", G_CALLBACK(OnSetFocus),
        new FocusKeeper{window, std::move(fallback)},
        [](gpointer keeper, GClosure*) { delete static_cast<FocusKeeper*>(keeper); }, GConnectFlags(0));
}
