#include "popup_menu.h"

#include "gui_test.h"

#include <gtk/gtk.h>
#include <wx/defs.h>

namespace {

// The label of the item selected in the open popup menu; "" when none is, or no menu is open.
std::string SelectedMenuItem() {
    std::string label;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item != nullptr; item = item->next) {
        GtkWidget* child = gtk_bin_get_child(GTK_BIN(item->data));
        if (child == nullptr || !GTK_IS_MENU(child) || !gtk_widget_get_mapped(child))
            continue;
        GtkWidget* selected = gtk_menu_shell_get_selected_item(GTK_MENU_SHELL(child));
        if (selected != nullptr && gtk_menu_item_get_label(GTK_MENU_ITEM(selected)) != nullptr)
            label = gtk_menu_item_get_label(GTK_MENU_ITEM(selected));
    }
    g_list_free(windows);
    return label;
}

} // namespace

bool ChooseFromMenuAt(wxPoint screenPoint, const std::string& label) {
    ClickAt(screenPoint, 3);
    if (!WaitFor([] { return GTK_IS_MENU(gtk_grab_get_current()); }))
        return false;
    for (int step = 0; step < 30 && SelectedMenuItem() != label; ++step) {
        const std::string before = SelectedMenuItem();
        PressKey(WXK_UP);
        WaitFor([&] { return SelectedMenuItem() != before; }, std::chrono::milliseconds(1000));
    }
    if (SelectedMenuItem() != label) {
        PressKey(WXK_ESCAPE);
        return false;
    }
    PressKey(WXK_RETURN);
    return true;
}
