#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class wxWebView;
typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitScriptDialog WebKitScriptDialog;
typedef struct _WebKitPolicyDecision WebKitPolicyDecision;
typedef struct _WebKitNavigationAction WebKitNavigationAction;
typedef struct _WebKitResponsePolicyDecision WebKitResponsePolicyDecision;
typedef struct _GCancellable GCancellable;

// Each web process may grow to this many MiB; past it WebKit ends it and the
// pane says so. A web process showing an ordinary result page (a hundred
// results and some script) holds about 85 MiB of its own memory.
inline constexpr unsigned WebProcessMemoryLimitMiB = 768;

// Gives every web process the memory limit above. Takes effect only when
// called before the first web view of the process is made; later calls do
// nothing.
void LimitWebProcessMemory();

// Keeps what a page does inside its own pane: it cannot open a dialog of the
// program's own (print, sign-in), cannot hold the pane with a stream of
// script dialogs or an endless script, and cannot write a file the user did
// not ask for. A page that is stopped for any of these reasons gives way to
// a short local page that says why.
class PageGuard {
public:
    explicit PageGuard(wxWebView* view);
    ~PageGuard();
    PageGuard(const PageGuard&) = delete;
    PageGuard& operator=(const PageGuard&) = delete;

    // Runs a navigation the user asks for (Search, Back, Fwd, Stop) so that
    // it acts at once. A page held in a dialog loop, or whose web process
    // WebKit reports as not responding, has its web process ended first and
    // afterEnding runs instead of request (when given). Until the next page
    // shows, a dialog from the page being left or a hang of its process ends
    // that page too, and the request runs again.
    // Until the request's page shows, the page being left cannot navigate
    // its main frame on its own (only a click or key of the user's in it
    // can); its frames may. One that does not answer, or whose navigation
    // may have dropped the request on its way, is ended the same way within
    // a second or two.
    void RunUserRequest(const std::function<void()>& request,
                        const std::function<void()>& afterEnding = nullptr);
    // Stop as such a request: the page then stays where it is, navigating
    // nowhere on its own, until the user's next click, key or request.
    void RunUserStop(const std::function<void()>& stop);

    // Before a search in the pane (not Back, Fwd or Stop): once the web
    // processes have grown, the pane's process, if it has shown a few pages,
    // is replaced by a fresh one, as WebKit does itself when a pane goes to
    // another site. What a result page leaves behind in its process is not
    // given back after the page is left, so panes searching all day would
    // otherwise keep growing. The pane's history stays.
    void RenewWornProcess();

    // Shows the local page that says the pane's page stopped responding.
    void ShowStoppedPage();

    // Callbacks of the view's signals.
    void OnScriptDialog(WebKitScriptDialog* dialog);
    void OnLoadChanged(int event);
    void OnResponsiveChanged();
    void OnProcessEnded(int reason);
    bool OnAuthenticate();
    bool OnResponse(WebKitPolicyDecision* decision);
    // Whether the navigation was decided here (ignored).
    bool OnNavigationAction(WebKitPolicyDecision* decision);
    // Whether the pane's last response was let through as a download, once.
    bool TakeDownloadPermission();

private:
    bool Stuck() const;
    void EndProcess();
    void EndPage();
    void EndLaterAndRetry();
    void ShowNote(const std::string& text);
    void ShowOwnPage(const std::string& html, const char* uri);
    void ReleaseHeldDialog();
    bool HoldsPageNavigation(WebKitNavigationAction* action);
    bool HoldsPageResponse(WebKitResponsePolicyDecision* decision);
    void NoteHeld();
    void WatchHandOver();
    void StopWatchingHandOver();
    int CheckHandOver();

    WebKitWebView* m_view;
    int m_dialogsThisPage = 0;
    WebKitScriptDialog* m_heldDialog = nullptr;
    bool m_endingOnPurpose = false;
    int m_pagesInProcess = 0;
    bool m_committed = false;
    bool m_navigationByUser = false;
    bool m_downloadAllowed = false;
    std::function<void()> m_retry; // the user's request, until its page shows
    unsigned m_retrySource = 0;
    std::string m_userUri;          // where the user's request or the guard's own page goes, until it shows
    std::string m_shownUri;         // the address of the page shown, as it committed
    bool m_requestUnderWay = false; // its navigation was let through
    bool m_requestAlive = false;    // and its page answered
    bool m_stopped = false;         // by the user's Stop
    bool m_toldHeld = false;
    unsigned m_handOverSource = 0;
    bool m_pingUnanswered = false;
    bool m_heldSinceCheck = false; // the page being left may have dropped the request
    bool m_ownPage = false;        // one of the guard's own pages is on its way
    GCancellable* m_pings;         // ended with the guard
};

// How much the web processes' average resident memory may grow over the
// least it has been before a search renews a pane's process; tests set less.
// Returns the bound it replaces.
long SetWebProcessGrowthBound(long kib);

// Where a download goes is the user's choice: the question gets the folder
// to start in and a plain file name to suggest, and calls answer with the
// chosen file, or with nothing to write nothing. By default it is the
// desktop's file chooser; tests put their own.
using DownloadQuestion =
    std::function<void(const std::filesystem::path& folder, const std::string& name,
                       std::function<void(std::optional<std::filesystem::path>)> answer)>;
void SetDownloadQuestion(DownloadQuestion question);

// A name a page suggests for a file, made safe to offer: valid UTF-8, the
// last part of any path, without control characters or leading dots, and at
// most 255 bytes, cut at a character boundary before its extension;
// "download" when nothing is left.
std::string PlainFileName(const std::string& suggested);
