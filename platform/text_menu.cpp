#include "text_menu.h"

#include "failure.h"

#include <gtk/gtk.h>
#include <wx/textctrl.h>

#include <string>
#include <utility>

namespace {

struct MenuItem {
    std::string label;
    std::function<bool()> enabled;
    std::function<void()> chosen;
};

void OnItemActivated(GtkMenuItem*, gpointer data) {
    IgnoreFailure([data] { static_cast<MenuItem*>(data)->chosen(); });
}

// A touch screen's menu is a tool bar, not a menu: it gets no item.
void OnPopulatePopup(GtkEntry*, GtkWidget* popup, gpointer data) {
    if (!GTK_IS_MENU_SHELL(popup))
        return;
    const auto* item = static_cast<const MenuItem*>(data);
    GtkWidget* separator = gtk_separator_menu_item_new();
    GtkWidget* entry = gtk_menu_item_new_with_label(item->label.c_str());
    bool enabled = true;
    IgnoreFailure([&] { enabled = item->enabled(); });
    gtk_widget_set_sensitive(entry, enabled);
    g_signal_connect(entry, "activate", G_CALLBACK(OnItemActivated), data);
    gtk_menu_shell_append(GTK_MENU_SHELL(popup), separator);
    gtk_menu_shell_append(GTK_MENU_SHELL(popup), entry);
    gtk_widget_show(separator);
    gtk_widget_show(entry);
}

} // namespace

void AddContextMenuItem(wxTextCtrl* box, const wxString& label, std::function<bool()> enabled,
                        std::function<void()> chosen) {
    GtkWidget* entry = box->GetHandle();
    if (!GTK_IS_ENTRY(entry))
        throw ScoutwellError("a context menu item is only added to a one-line text box");
    auto* item = new MenuItem{label.utf8_string(), std::move(enabled), std::move(chosen)};
    // The item lives as long as the box's widget.
    g_object_set_data_full(G_OBJECT(entry), "scoutwell-menu-item", item,
                           [](gpointer data) { delete static_cast<MenuItem*>(data); });
    g_signal_connect(entry, "populate-popup", G_CALLBACK(OnPopulatePopup), item);
}
