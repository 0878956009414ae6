#include "webkit_browser_view.h"

#include "failure.h"

#include <wx/webview.h>

namespace {

wxWebView* CreateView(wxWindow* parent) {
    // An empty address: with the default one the view would load about:blank,
    // which then sits in the history as a page to go back to.
    wxWebView* view = wxWebView::New(parent, wxID_ANY, wxString());
    if (view == nullptr)
        throw ScoutwellError("the web view could not be created");
    return view;
}

} // namespace

WebKitBrowserView::WebKitBrowserView(wxWindow* parent)
    : m_view(CreateView(parent)), m_placement(m_view) {}

void WebKitBrowserView::Navigate(const std::wstring& url) {
    m_navigated = true;
    m_view->LoadURL(wxString(url));
}

// wxWebView does nothing at all when there is no page in that direction;
// callers need to know, so say it.
void WebKitBrowserView::GoBack() {
    if (!m_view->CanGoBack())
        throw ScoutwellError("no earlier page in this view's history");
    m_view->GoBack();
}

void WebKitBrowserView::GoForward() {
    if (!m_view->CanGoForward())
        throw ScoutwellError("no later page in this view's history");
    m_view->GoForward();
}

void WebKitBrowserView::Stop() { m_view->Stop(); }

// A view created with an empty address still shows about:blank inside; until
// it is first sent somewhere it has no address of its own.
std::wstring WebKitBrowserView::LocationURL() const {
    return m_navigated ? m_view->GetCurrentURL().ToStdWstring() : std::wstring();
}
