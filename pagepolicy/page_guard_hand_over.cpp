// The page being left hands the pane over to the user's request: it cannot
// navigate elsewhere in between, nor hold on by not answering.

#include "page_guard.h"

#include <webkit2/webkit2.h>

#include <cstdio>
#include <string_view>

namespace {

// How often the page being left is asked whether it still answers; one that
// has not answered by the next time is ended.
constexpr unsigned HandOverCheckMs = 800;

} // namespace

// A page's own navigation (a script, a refresh, a back from its
// beforeunload handler) cannot replace the user's request nor undo a Stop;
// a click or key of the user's in the page can, and a server's redirect of
// the request goes on.
bool PageGuard::HoldsPageNavigation(WebKitNavigationAction* action) {
    if (webkit_navigation_action_is_user_gesture(action)) {
        m_stopped = false;
        return false;
    }
    if ((m_userUri.empty() && !m_stopped) || webkit_navigation_action_is_redirect(action))
        return false;
    const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    if (uri != nullptr && !m_userUri.empty() && m_userUri == uri)
        return false;
    // WebKit loads the guard's own pages from about:blank.
    if (m_ownPage && uri != nullptr && std::string_view(uri) == "about:blank")
        return false;
    m_heldSinceCheck = !m_userUri.empty();
    if (!m_toldHeld)
        std::fprintf(stderr,
                     "scoutwell: a page tried to go elsewhere against the user's request; it stays\n");
    m_toldHeld = true;
    return true;
}

void PageGuard::WatchHandOver() {
    StopWatchingHandOver();
    m_handOverSource = g_timeout_add(
        HandOverCheckMs, [](gpointer guard) { return static_cast<PageGuard*>(guard)->CheckHandOver(); },
        this);
}

void PageGuard::StopWatchingHandOver() {
    if (m_handOverSource != 0)
        g_source_remove(m_handOverSource);
    m_handOverSource = 0;
    m_pingUnanswered = false;
    m_heldSinceCheck = false;
}

// A page that keeps trying to go elsewhere, or does not answer at all (any
// answer will do, an error included), has not let go.
int PageGuard::CheckHandOver() {
    if (!m_retry) {
        m_handOverSource = 0;
        StopWatchingHandOver();
        return G_SOURCE_REMOVE;
    }
    if (m_pingUnanswered || m_heldSinceCheck) {
        m_handOverSource = 0;
        StopWatchingHandOver();
        EndPage();
        const auto retry = m_retry;
        retry();
        if (m_retry)
            WatchHandOver();
        return G_SOURCE_REMOVE;
    }
    m_pingUnanswered = true;
    const auto answered = [](GObject* view, GAsyncResult* result, gpointer guard) {
        GError* error = nullptr;
        if (JSCValue* value =
                webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error))
            g_object_unref(value);
        const bool guardGone = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
        g_clear_error(&error);
        if (!guardGone)
            static_cast<PageGuard*>(guard)->m_pingUnanswered = false;
    };
    webkit_web_view_evaluate_javascript(m_view, "0", -1, nullptr, nullptr, m_pings, answered, this);
    return G_SOURCE_CONTINUE;
}
