#include "text_menu.h"

#include "failure.h"

#include <gtk/gtk.h>
#include <wx/textctrl.h>

#include <memory>

namespace {

using Items = std::function<std::vector<TextMenuItem>()>;

void OnItemActivated(GtkMenuItem*, gpointer data) {
    IgnoreFailure([&] { (*static_cast<std::function<void()>*>(data))(); });
}

void OnPopulatePopup(GtkEntry*, GtkWidget* popup, gpointer data) {
    if (!GTK_IS_MENU(popup))
        return; // a touch screen's bubble of buttons: only the toolkit's own
    std::vector<TextMenuItem> items;
    IgnoreFailure([&] { items = (*static_cast<Items*>(data))(); });
    if (items.empty())
        return;
    GtkMenuShell* menu = GTK_MENU_SHELL(popup);
    GtkWidget* separator = gtk_separator_menu_item_new();
    gtk_widget_show(separator);
    gtk_menu_shell_append(menu, separator);
    for (TextMenuItem& item : items) {
        const wxScopedCharBuffer label = item.label.utf8_str();
        GtkWidget* widget = nullptr;
        if (item.checked) {
            widget = gtk_check_menu_item_new_with_label(label.data());
            gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), *item.checked);
        } else {
            widget = gtk_menu_item_new_with_label(label.data());
        }
        g_signal_connect_data(
            widget, "activate", G_CALLBACK(OnItemActivated),
            new std::function<void()>(std::move(item.chosen)),
            [](gpointer chosen, GClosure*) { delete static_cast<std::function<void()>*>(chosen); },
            GConnectFlags(0));
        gtk_widget_show(widget);
        gtk_menu_shell_append(menu, widget);
    }
}

} // namespace

unsigned long ExtendTextMenu(wxTextCtrl* box, std::function<std::vector<TextMenuItem>()> items) {
    return g_signal_connect_data(
        box->GetHandle(), "populate-popup", G_CALLBACK(OnPopulatePopup), new Items(std::move(items)),
        [](gpointer data, GClosure*) { delete static_cast<Items*>(data); }, GConnectFlags(0));
}

void RemoveTextMenuExtension(wxTextCtrl* box, unsigned long extension) {
    g_signal_handler_disconnect(box->GetHandle(), extension);
}
