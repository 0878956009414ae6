#include "address_menu.h"

#include "code_pages.h"
#include "failure.h"
#include "hand_off_limit.h"
#include "web_address.h"

#include <webkit2/webkit2.h>
#include <wx/clipbrd.h>
#include <wx/toplevel.h>
#include <wx/webview.h>

#include <string>

namespace {

struct AddressChoice {
    wxWebView* view;
    std::string address; // UTF-8, as WebKit gives it
    bool open;           // else copy
};

std::wstring Wide(const std::string& address) {
    return DecodeUtf8(address).value_or(std::wstring());
}

void OnChosen(GSimpleAction*, GVariant*, gpointer data) {
    const auto* choice = static_cast<AddressChoice*>(data);
    const std::wstring address = Wide(choice->address);
    IgnoreFailure([&] {
        if (choice->open) {
            OpenOutside(wxGetTopLevelParent(choice->view), address);
            return;
        }
        wxClipboardLocker clipboard;
        if (!clipboard || !wxTheClipboard->SetData(new wxTextDataObject(wxString(address))))
            throw ScoutwellError("the clipboard could not take the address");
    });
}

// WebKit keeps a menu's actions by name: each item needs a name of its own.
void Append(WebKitContextMenu* menu, const char* name, const char* label, AddressChoice choice) {
    GSimpleAction* action = g_simple_action_new(name, nullptr);
    g_signal_connect_data(
        action, "activate", G_CALLBACK(OnChosen), new AddressChoice(std::move(choice)),
        [](gpointer data, GClosure*) { delete static_cast<AddressChoice*>(data); }, GConnectFlags(0));
    webkit_context_menu_append(menu,
                               webkit_context_menu_item_new_from_gaction(G_ACTION(action), label, nullptr));
    g_object_unref(action);
}

bool HasStockItem(WebKitContextMenu* menu, WebKitContextMenuAction stock) {
    for (GList* item = webkit_context_menu_get_items(menu); item != nullptr; item = item->next)
        if (webkit_context_menu_item_get_stock_action(static_cast<WebKitContextMenuItem*>(item->data)) ==
            stock)
            return true;
    return false;
}

gboolean OnContextMenu(WebKitWebView* webView, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult* hit,
                       gpointer view) {
    auto* pane = static_cast<wxWebView*>(view);
    const char* page = webkit_web_view_get_uri(webView);
    const char* link =
        webkit_hit_test_result_context_is_link(hit) ? webkit_hit_test_result_get_link_uri(hit) : nullptr;
    const bool hasPage = page != nullptr && page[0] != '\0' && std::string_view(page) != "about:blank";
    if (!hasPage && link == nullptr)
        return FALSE;
    webkit_context_menu_append(menu, webkit_context_menu_item_new_separator());
    if (link != nullptr) {
        if (!HasStockItem(menu, WEBKIT_CONTEXT_MENU_ACTION_COPY_LINK_TO_CLIPBOARD))
            Append(menu, "copy-link-address", "Copy Link Address", {pane, link, false});
        if (IsWebAddress(Wide(link)))
            Append(menu, "open-link-in-browser", "Open Link in Web Browser", {pane, link, true});
    }
    if (hasPage) {
        Append(menu, "copy-page-address", "Copy Page Address", {pane, page, false});
        Append(menu, "open-page-in-browser", "Open Page in Web Browser", {pane, page, true});
    }
    return FALSE;
}

} // namespace

void OfferAddressItems(wxWebView* view) {
    g_signal_connect(view->GetNativeBackend(), "context-menu", G_CALLBACK(OnContextMenu), view);
}
