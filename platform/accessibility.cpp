#include "accessibility.h"

#include <gtk/gtk.h>
#include <wx/webview.h>
#include <wx/window.h>

namespace {

void NameWidget(GtkWidget* widget, const char* name) {
    if (AtkObject* accessible = gtk_widget_get_accessible(widget))
        atk_object_set_name(accessible, name);
}

// A chooser's entry and a multi-line box's text view are where the focus
// goes, so that is what a screen reader announces.
void NameFocusableParts(GtkWidget* widget, const char* name) {
    if (!GTK_IS_CONTAINER(widget) || GTK_IS_BUTTON(widget))
        return;
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child != nullptr; child = child->next) {
        auto* part = static_cast<GtkWidget*>(child->data);
        if (GTK_IS_ENTRY(part) || GTK_IS_TEXT_VIEW(part))
            NameWidget(part, name);
        NameFocusableParts(part, name);
    }
    g_list_free(children);
}

} // namespace

void SetAccessibleName(wxWindow* control, const wxString& name) {
    auto* widget = static_cast<GtkWidget*>(control->GetHandle());
    if (widget == nullptr)
        return;
    const wxScopedCharBuffer utf8 = name.utf8_str();
    NameWidget(widget, utf8.data());
    NameFocusableParts(widget, utf8.data());
    // A web view's window wraps WebKit's own widget, which takes the focus.
    if (auto* view = dynamic_cast<wxWebView*>(control))
        NameWidget(static_cast<GtkWidget*>(view->GetNativeBackend()), utf8.data());
}

void SetAccessibleText(wxWindow* control, const wxString& name, const wxString& description) {
    SetAccessibleName(control, name);
    control->SetToolTip(description);
}
