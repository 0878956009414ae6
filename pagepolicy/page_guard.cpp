// The page guard's core: the user's requests, which act at once, and the
// ending of a page that holds its pane. What a page may do in each matter is
// in the other page_guard_*.cpp files.

#include "page_guard.h"

#include "hand_off_limit.h"
#include "local_page.h"
#include "page_guard_internal.h"

#include <wx/webview.h>

#include <cstdio>
#include <utility>

namespace {

constexpr const char* GuardKey = "scoutwell-page-guard";

gboolean OnPrint(WebKitWebView*, WebKitPrintOperation*, gpointer) {
    return TRUE; // the program does not print; nothing is shown
}

gboolean OnScriptDialogSignal(WebKitWebView*, WebKitScriptDialog* dialog, gpointer guard) {
    static_cast<PageGuard*>(guard)->OnScriptDialog(dialog);
    return TRUE;
}

void OnLoadEvent(WebKitWebView*, WebKitLoadEvent event, gpointer guard) {
    static_cast<PageGuard*>(guard)->OnLoadChanged(event);
}

void OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer guard) {
    static_cast<PageGuard*>(guard)->OnProcessEnded(reason);
}

gboolean OnAuthenticateSignal(WebKitWebView*, WebKitAuthenticationRequest* request, gpointer guard) {
    webkit_authentication_request_cancel(request);
    return static_cast<PageGuard*>(guard)->OnAuthenticate();
}

gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                        gpointer guard) {
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
        return static_cast<PageGuard*>(guard)->OnResponse(decision);
    return static_cast<PageGuard*>(guard)->OnNavigationAction(decision);
}

gboolean OnUserInput(GtkWidget*, GdkEvent*, gpointer) {
    NoteUserAction();
    return FALSE;
}

} // namespace

PageGuard* GuardOf(WebKitWebView* view) {
    return view == nullptr ? nullptr : static_cast<PageGuard*>(g_object_get_data(G_OBJECT(view), GuardKey));
}

PageGuard::PageGuard(wxWebView* view)
    : m_view(static_cast<WebKitWebView*>(view->GetNativeBackend())), m_pings(g_cancellable_new()) {
    // Kept alive until the guard goes, whichever of the two the toolkit ends first.
    g_object_ref(m_view);
    g_object_set_data(G_OBJECT(m_view), GuardKey, this);
    g_signal_connect(m_view, "print", G_CALLBACK(OnPrint), this);
    g_signal_connect(m_view, "script-dialog", G_CALLBACK(OnScriptDialogSignal), this);
    g_signal_connect(m_view, "load-changed", G_CALLBACK(OnLoadEvent), this);
    g_signal_connect(m_view, "web-process-terminated", G_CALLBACK(OnProcessTerminated), this);
    g_signal_connect(m_view, "authenticate", G_CALLBACK(OnAuthenticateSignal), this);
    g_signal_connect(m_view, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(m_view, "button-press-event", G_CALLBACK(OnUserInput), this);
    g_signal_connect(m_view, "key-press-event", G_CALLBACK(OnUserInput), this);
    g_signal_connect(m_view, "context-menu", G_CALLBACK(RemoveDownloadItems), this);
    g_signal_connect_swapped(m_view, "notify::is-web-process-responsive",
                             G_CALLBACK(+[](PageGuard* guard) { guard->OnResponsiveChanged(); }), this);
    KeepScreenAndPointer(m_view);
}

PageGuard::~PageGuard() {
    ForgetForRenewal(this);
    if (m_retrySource != 0)
        g_source_remove(m_retrySource);
    StopWatchingHandOver();
    g_cancellable_cancel(m_pings);
    g_object_unref(m_pings);
    g_signal_handlers_disconnect_by_data(m_view, this);
    g_object_set_data(G_OBJECT(m_view), GuardKey, nullptr);
    ReleaseHeldDialog();
    g_object_unref(m_view);
}

void PageGuard::OnLoadChanged(int event) {
    if (event == WEBKIT_LOAD_STARTED || event == WEBKIT_LOAD_COMMITTED)
        m_committed = event == WEBKIT_LOAD_COMMITTED;
    if (event != WEBKIT_LOAD_COMMITTED)
        return;
    // A new page starts its count of dialogs afresh. Only the request's own
    // page meets it (or one of the guard's own, which replaces it): a load
    // of the page being left may still commit after the request went out,
    // and the end of a load may be that load's.
    ++m_pagesInProcess;
    m_dialogsThisPage = 0;
    const bool ownPage = std::exchange(m_ownPage, false);
    const gchar* uri = webkit_web_view_get_uri(m_view);
    m_shownUri = uri != nullptr ? uri : "";
    if (ownPage || m_userUri.empty() || m_userUri == m_shownUri) {
        m_retry = nullptr;
        m_userUri.clear();
        StopWatchingHandOver();
    }
}

bool PageGuard::Stuck() const {
    return m_heldDialog != nullptr || !webkit_web_view_get_is_web_process_responsive(m_view);
}

// WebKit starts a fresh process for the view's next load; the ending is
// ours, so it shows no note.
void PageGuard::EndProcess() {
    m_endingOnPurpose = true;
    webkit_web_view_terminate_web_process(m_view);
}

void PageGuard::EndPage() {
    if (!m_toldHeld)
        std::fprintf(stderr, "scoutwell: a page that held its pane was stopped\n");
    m_toldHeld = true;
    m_requestUnderWay = false; // the request runs again
    m_requestAlive = false;
    EndProcess();
    ReleaseHeldDialog();
    m_dialogsThisPage = 0;
}

void PageGuard::RunUserRequest(const std::function<void()>& request,
                               const std::function<void()>& afterEnding) {
    m_retry = afterEnding ? afterEnding : request;
    m_stopped = false;
    m_userUri.clear();
    m_toldHeld = false;
    m_requestUnderWay = false;
    m_requestAlive = false;
    if (Stuck()) {
        EndPage();
        m_retry();
    } else {
        request();
    }
    // Only a request that has yet to show its page can be held up.
    if (!webkit_web_view_is_loading(m_view)) {
        m_retry = nullptr;
        StopWatchingHandOver();
    } else {
        const gchar* uri = webkit_web_view_get_uri(m_view);
        m_userUri = uri != nullptr ? uri : "";
        WatchHandOver();
    }
}

void PageGuard::RunUserStop(const std::function<void()>& stop) {
    RunUserRequest(stop, [this] { ShowStoppedPage(); });
    m_stopped = true;
    m_userUri.clear(); // Stop goes nowhere: no address is the request's
}

// The page being left is holding the user's request up: end it and run the
// request again, from the event loop rather than inside WebKit's signal.
void PageGuard::EndLaterAndRetry() {
    if (m_retrySource != 0)
        return;
    m_retrySource = g_idle_add(
        [](gpointer data) -> gboolean {
            auto* guard = static_cast<PageGuard*>(data);
            guard->m_retrySource = 0;
            if (guard->m_retry) {
                guard->EndPage();
                const auto retry = guard->m_retry;
                retry();
            }
            return G_SOURCE_REMOVE;
        },
        this);
}

void PageGuard::OnResponsiveChanged() {
    if (!webkit_web_view_get_is_web_process_responsive(m_view) && m_retry)
        EndLaterAndRetry();
}

void PageGuard::ShowStoppedPage() {
    ShowNote("This page stopped responding and was stopped.");
}

void PageGuard::OnProcessEnded(int reason) {
    ReleaseHeldDialog();
    m_pagesInProcess = 0;
    if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API && m_endingOnPurpose) {
        m_endingOnPurpose = false; // the user's own request follows
        return;
    }
    if (reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT)
        ShowNote("This page used more than " + std::to_string(WebProcessMemoryLimitMiB) +
                 " MB of memory and was stopped.");
    else
        ShowNote("This page stopped working and was closed.");
}

void PageGuard::ShowNote(const std::string& text) {
    const std::string html =
        LocalPage(text, "body{font-family:sans-serif}", "<p>" + HtmlEscaped(text) + "</p>");
    ShowOwnPage(html, webkit_web_view_get_uri(m_view));
}

void PageGuard::ShowOwnPage(const std::string& html, const char* uri) {
    m_ownPage = true;
    webkit_web_view_load_alternate_html(m_view, html.c_str(), uri != nullptr ? uri : "about:blank", nullptr);
}
