// The page being left hands the pane over to the user's request: it cannot
// navigate elsewhere in between, nor hold on by not answering.

#include "page_guard.h"

#include <webkit2/webkit2.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

// How often the page being left is asked whether it still answers; one that
// has not answered by the next time is ended.
constexpr unsigned HandOverCheckMs = 800;

// WebKit does not say which frame a navigation is for. One the page's main
// document starts carries the document's address as its referrer (only its
// origin when it leads to another site), or none when the page withholds it;
// a frame's carries the frame's own. A frame of the same address is taken for
// the main document, which only holds up a frame of a page being left; a
// frame that sends the whole page elsewhere is caught by its response.
bool FromMainDocument(WebKitNavigationAction* action, const std::string& shown) {
    SoupMessageHeaders* headers =
        webkit_uri_request_get_http_headers(webkit_navigation_action_get_request(action));
    const char* referrer = headers != nullptr ? soup_message_headers_get_one(headers, "Referer") : nullptr;
    if (referrer == nullptr || shown == referrer)
        return true;
    // WebKit's own serialization of an origin, the one it wrote the referrer with.
    WebKitSecurityOrigin* origin = webkit_security_origin_new_for_uri(shown.c_str());
    gchar* text = webkit_security_origin_to_string(origin);
    const bool same = text != nullptr && std::string(text) + "/" == referrer;
    g_free(text);
    webkit_security_origin_unref(origin);
    return same;
}

} // namespace

// A page's own navigation of its main frame (a script, a refresh, a back from
// its beforeunload handler) cannot replace the user's request nor undo a
// Stop; a click or key of the user's in the page can, and a server's redirect
// of the request goes on.
bool PageGuard::HoldsPageNavigation(WebKitNavigationAction* action) {
    const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    const std::string_view address = uri != nullptr ? uri : "";
    const bool redirect = webkit_navigation_action_is_redirect(action);
    if (!m_userUri.empty() && (m_userUri == address || (redirect && m_requestUnderWay))) {
        m_userUri = address; // where the request now goes
        m_requestUnderWay = true;
        return false;
    }
    // The user acting in the page replaces the request.
    if (webkit_navigation_action_is_user_gesture(action)) {
        m_stopped = false;
        m_retry = nullptr;
        m_userUri.clear();
        StopWatchingHandOver();
        return false;
    }
    if ((m_userUri.empty() && !m_stopped) || redirect)
        return false;
    // WebKit loads the guard's own pages from about:blank.
    if ((m_ownPage && address == "about:blank") || !FromMainDocument(action, m_shownUri))
        return false;
    NoteHeld();
    return true;
}

// A page's response for its main frame, other than the request's, while the
// request is on its way or after Stop: a navigation the check above let by.
bool PageGuard::HoldsPageResponse(WebKitResponsePolicyDecision* decision) {
    if ((m_userUri.empty() && !m_stopped) || m_ownPage ||
        !webkit_response_policy_decision_is_main_frame_main_resource(decision))
        return false;
    const char* uri = webkit_uri_response_get_uri(webkit_response_policy_decision_get_response(decision));
    if (uri != nullptr && !m_userUri.empty() && m_userUri == uri) {
        m_requestAlive = true;
        return false;
    }
    NoteHeld();
    return true;
}

// When WebKit has let the request through, a navigation of the page that
// comes after it may have dropped it before it started (WebKit drops a
// navigation still waiting for its answer when the page starts another), so
// the page is ended and the request runs again unless its page answers first.
void PageGuard::NoteHeld() {
    m_heldSinceCheck = m_heldSinceCheck || (m_requestUnderWay && !m_requestAlive);
    if (!m_toldHeld)
        std::fprintf(stderr,
                     "scoutwell: a page tried to go elsewhere against the user's request; it stays\n");
    m_toldHeld = true;
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

// A page that may have dropped the request, or does not answer at all (any
// answer will do, an error included), has not let go; so has one whose
// request is no longer loading though WebKit never asked about it (a page
// loading when Back comes can drop it so). A request that ended without a
// page of its own (a failure, a download) is over.
int PageGuard::CheckHandOver() {
    const bool idle = !webkit_web_view_is_loading(m_view);
    m_heldSinceCheck = m_heldSinceCheck || (idle && !m_requestUnderWay && !m_userUri.empty());
    if (!m_retry || (!m_heldSinceCheck && idle)) {
        m_retry = nullptr;
        m_userUri.clear();
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
