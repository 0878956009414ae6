#include "page_find.h"

#include "failure.h"

#include <webkit2/webkit2.h>
#include <wx/webview.h>

#include <string>
#include <utility>

namespace {

constexpr guint32 FindOptions = WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND;

WebKitFindController* Controller(void* controller) {
    return static_cast<WebKitFindController*>(controller);
}

void OnCounted(WebKitFindController*, guint matches, gpointer handler) {
    // More than the most counted arrives as G_MAXUINT.
    const unsigned shown = matches > PageFind::MostMatches ? PageFind::MostMatches : matches;
    IgnoreFailure([&] { (*static_cast<std::function<void(unsigned)>*>(handler))(shown); });
}

} // namespace

PageFind::PageFind(wxWebView* view, std::function<void(unsigned matches)> counted)
    : m_controller(g_object_ref(
          webkit_web_view_get_find_controller(static_cast<WebKitWebView*>(view->GetNativeBackend())))),
      m_counted(std::move(counted)) {
    g_signal_connect(m_controller, "counted-matches", G_CALLBACK(OnCounted), &m_counted);
}

PageFind::~PageFind() {
    g_signal_handlers_disconnect_by_data(m_controller, &m_counted);
    g_object_unref(m_controller);
}

// The count goes first: counting marks the matches and then unmarks them all,
// which would take away the highlights of a search sent before it.
void PageFind::Search(const std::wstring& text) {
    if (text.empty()) {
        Clear();
        return;
    }
    const std::string utf8 = wxString(text).utf8_string();
    webkit_find_controller_count_matches(Controller(m_controller), utf8.c_str(), FindOptions, MostMatches);
    webkit_find_controller_search(Controller(m_controller), utf8.c_str(), FindOptions, MostMatches);
    m_searched = true;
}

void PageFind::Step(bool forward) {
    if (!m_searched)
        return;
    if (forward)
        webkit_find_controller_search_next(Controller(m_controller));
    else
        webkit_find_controller_search_previous(Controller(m_controller));
}

void PageFind::Clear() {
    if (m_searched)
        webkit_find_controller_search_finish(Controller(m_controller));
    m_searched = false;
}
