#include "webkit_browser_view.h"

#include "address_menu.h"
#include "failure.h"
#include "hand_off_limit.h"
#include "load_failure_page.h"
#include "page_guard.h"

#include <webkit2/webkit2.h>
#include <wx/toplevel.h>
#include <wx/webview.h>

#include <memory>

namespace {

wxWebView* CreateView(wxWindow* parent) {
    LimitWebProcessMemory();
    // An empty address: with the default one the view would load about:blank,
    // which then sits in the history as a page to go back to.
    wxWebView* view = wxWebView::New(parent, wxID_ANY, wxString());
    if (view == nullptr)
        throw ScoutwellError("the web view could not be created");
    return view;
}

// WebKit asks for a new view when a page script calls window.open or the
// user picks "Open Link in New Window" from the view's menu. The address goes
// to the user's own browser and no view is made. (The toolkit's own handler
// for this request aborts the whole process with this WebKit, so it is
// replaced, not merely supplemented.)
WebKitWebView* OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer view) {
    const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    if (uri != nullptr)
        OpenOutside(wxGetTopLevelParent(static_cast<wxWindow*>(view)),
                    wxString::FromUTF8(uri).ToStdWstring());
    return nullptr;
}

} // namespace

WebKitBrowserView::WebKitBrowserView(wxWindow* parent) : m_view(CreateView(parent)), m_placement(m_view) {
    // A link meant for a new window goes to the user's own browser; the
    // program never opens browser windows of its own.
    wxWebView* view = m_view;
    m_view->Bind(wxEVT_WEBVIEW_NEWWINDOW, [view](wxWebViewEvent& event) {
        OpenOutside(wxGetTopLevelParent(view), event.GetURL().ToStdWstring());
    });
    auto* webView = static_cast<WebKitWebView*>(m_view->GetNativeBackend());
    g_signal_handlers_disconnect_matched(webView, GSignalMatchType(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_DATA),
                                         g_signal_lookup("create", WEBKIT_TYPE_WEB_VIEW), 0, nullptr, nullptr,
                                         m_view);
    g_signal_connect(webView, "create", G_CALLBACK(OnCreate), m_view);
    m_list = webkit_web_view_get_back_forward_list(webView);
    m_guard = std::make_unique<PageGuard>(m_view);
    OfferAddressItems(m_view);
    ShowLoadFailuresInPlainWords(m_view);
}

WebKitBrowserView::~WebKitBrowserView() = default;

void WebKitBrowserView::Navigate(const std::wstring& url) {
    m_navigated = true;
    m_guard->RenewWornProcess();
    wxWebView* view = m_view;
    m_guard->RunUserRequest([view, url] { view->LoadURL(wxString(url)); });
}

// wxWebView does nothing at all when there is no page in that direction;
// callers need to know, so say it.
void WebKitBrowserView::GoBack() {
    if (!m_view->CanGoBack())
        throw ScoutwellError("no earlier page in this view's history");
    GoTo(webkit_back_forward_list_get_back_item(m_list));
}

void WebKitBrowserView::GoForward() {
    if (!m_view->CanGoForward())
        throw ScoutwellError("no later page in this view's history");
    GoTo(webkit_back_forward_list_get_forward_item(m_list));
}

// To the item itself, so that the guard's retry of the request, after it
// ended the page being left, goes to the same page and no further.
void WebKitBrowserView::GoTo(WebKitBackForwardListItem* item) {
    auto* webView = static_cast<WebKitWebView*>(m_view->GetNativeBackend());
    std::shared_ptr<WebKitBackForwardListItem> kept(
        static_cast<WebKitBackForwardListItem*>(g_object_ref(item)), g_object_unref);
    m_guard->RunUserRequest(
        [webView, kept] { webkit_web_view_go_to_back_forward_list_item(webView, kept.get()); });
}

void WebKitBrowserView::Stop() {
    wxWebView* view = m_view;
    m_guard->RunUserStop([view] { view->Stop(); });
}

// A view created with an empty address still shows about:blank inside; until
// it is first sent somewhere it has no address of its own.
std::wstring WebKitBrowserView::LocationURL() const {
    return m_navigated ? m_view->GetCurrentURL().ToStdWstring() : std::wstring();
}
