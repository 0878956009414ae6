#include "load_failure_page.h"

#include "failure.h"
#include "local_page.h"

#include <webkit2/webkit2.h>
#include <wx/webview.h>

namespace {

std::string HostOf(const std::string& url) {
    std::string host;
    if (GUri* uri = g_uri_parse(url.c_str(), G_URI_FLAGS_NONE, nullptr)) {
        if (const char* name = g_uri_get_host(uri))
            host = name;
        g_uri_unref(uri);
    }
    return host.empty() ? url : host;
}

// A stop, a download handed elsewhere or a page replaced by the next one is
// not a failure the user needs to be told about.
bool IsWorthAPage(const GError* error) {
    return !g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) &&
           !g_error_matches(error, WEBKIT_POLICY_ERROR,
                            WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) &&
           !g_error_matches(error, WEBKIT_PLUGIN_ERROR, WEBKIT_PLUGIN_ERROR_WILL_HANDLE_LOAD);
}

gboolean OnLoadFailed(WebKitWebView* view, WebKitLoadEvent, gchar* failingUri, GError* error, gpointer) {
    if (failingUri == nullptr || error == nullptr || !IsWorthAPage(error))
        return FALSE;
    bool shown = false;
    IgnoreFailure([&] {
        const std::string page = LoadFailurePage(failingUri, error->message);
        webkit_web_view_load_alternate_html(view, page.c_str(), failingUri, nullptr);
        shown = true;
    });
    return shown ? TRUE : FALSE;
}

} // namespace

std::string LoadFailurePage(const std::string& url, const std::string& reason) {
    const std::string host = HostOf(url);
    return LocalPage(
        "Could not reach " + host,
        "body{font:13px sans-serif;color:#000;background:#fff;margin:12px}"
        "h1{font-size:15px;margin:0 0 6px}p{margin:0 0 6px}small{color:#444}",
        "<h1>Could not reach " + HtmlEscaped(host) +
            "</h1><p>The network may be down, or this search engine may no longer answer at this "
            "address. Press Search to try again.</p><p><small>" +
            HtmlEscaped(reason) + "</small></p>");
}

void ShowLoadFailuresInPlainWords(wxWebView* view) {
    g_signal_connect(view->GetNativeBackend(), "load-failed", G_CALLBACK(OnLoadFailed), nullptr);
}
