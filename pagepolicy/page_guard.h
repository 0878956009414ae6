#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class wxWebView;
typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitScriptDialog WebKitScriptDialog;
typedef struct _WebKitPolicyDecision WebKitPolicyDecision;

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
    void RunUserRequest(const std::function<void()>& request,
                        const std::function<void()>& afterEnding = nullptr);

    // Shows the local page that says the pane's page stopped responding.
    void ShowStoppedPage();

    // Callbacks of the view's signals.
    void OnScriptDialog(WebKitScriptDialog* dialog);
    void OnLoadChanged(int event);
    void OnResponsiveChanged();
    void OnProcessEnded(int reason);
    bool OnAuthenticate();
    bool OnResponse(WebKitPolicyDecision* decision);
    void OnNavigationAction(WebKitPolicyDecision* decision);
    // Whether the pane's last response was let through as a download, once.
    bool TakeDownloadPermission();

private:
    bool Stuck() const;
    void EndPage();
    void EndLaterAndRetry();
    void ShowNote(const std::string& text);
    void ReleaseHeldDialog();

    WebKitWebView* m_view;
    int m_dialogsThisPage = 0;
    WebKitScriptDialog* m_heldDialog = nullptr;
    bool m_endingOnPurpose = false;
    bool m_committed = false;
    bool m_navigationByUser = false;
    bool m_downloadAllowed = false;
    std::function<void()> m_retry; // the user's request, until its page shows
    unsigned m_retrySource = 0;
};

// Where a download goes is the user's choice: the question gets the folder
// to start in and a plain file name to suggest, and calls answer with the
// chosen file, or with nothing to write nothing. By default it is the
// desktop's file chooser; tests put their own.
using DownloadQuestion =
    std::function<void(const std::filesystem::path& folder, const std::string& name,
                       std::function<void(std::optional<std::filesystem::path>)> answer)>;
void SetDownloadQuestion(DownloadQuestion question);

// A name a page suggests for a file, made safe to offer: the last part of any
// path, without control characters or leading dots; "download" when nothing
// is left.
std::string PlainFileName(const std::string& suggested);
