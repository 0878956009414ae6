#include "page_guard.h"

#include "hand_off_limit.h"

#include <webkit2/webkit2.h>
#include <wx/webview.h>

#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

namespace {

// A page gets this many script dialogs (alert, confirm, prompt) per load,
// each answered at once without showing it (OK, Cancel, no text); the next
// one is held unanswered, which stops the page's script where it stands.
constexpr int DialogsPerPage = 3;

constexpr const char* GuardKey = "scoutwell-page-guard";

PageGuard* GuardOf(WebKitWebView* view) {
    return view == nullptr ? nullptr : static_cast<PageGuard*>(g_object_get_data(G_OBJECT(view), GuardKey));
}

// The text as HTML markup: GLib's escaping also covers quotes.
std::string Escaped(std::string_view text) {
    gchar* escaped = g_markup_escape_text(text.data(), static_cast<gssize>(text.size()));
    std::string out(escaped);
    g_free(escaped);
    return out;
}

// -- Memory limit ------------------------------------------------------------

GObject* (*g_contextConstructor)(GType, guint, GObjectConstructParam*) = nullptr;

// The limit is a construct-only setting of the web context, and the views use
// the default context, which WebKit makes on first use without settings: the
// settings are put into that construction.
GObject* ConstructContextWithLimit(GType type, guint count, GObjectConstructParam* properties) {
    for (guint i = 0; i < count; ++i) {
        if (std::strcmp(properties[i].pspec->name, "memory-pressure-settings") != 0 ||
            g_value_get_boxed(properties[i].value) != nullptr)
            continue;
        WebKitMemoryPressureSettings* settings = webkit_memory_pressure_settings_new();
        webkit_memory_pressure_settings_set_memory_limit(settings, WebProcessMemoryLimitMiB);
        webkit_memory_pressure_settings_set_strict_threshold(settings, 0.75);
        webkit_memory_pressure_settings_set_conservative_threshold(settings, 0.5);
        webkit_memory_pressure_settings_set_kill_threshold(settings, 1.0);
        webkit_memory_pressure_settings_set_poll_interval(settings, 2.0);
        g_value_take_boxed(properties[i].value, settings);
    }
    return g_contextConstructor(type, count, properties);
}

// -- Downloads ---------------------------------------------------------------

bool g_downloadRunning = false;

void AskWithFileChooser(const std::filesystem::path& folder, const std::string& name,
                        std::function<void(std::optional<std::filesystem::path>)> answer) {
    GtkFileChooserNative* chooser =
        gtk_file_chooser_native_new("Save Download", nullptr, GTK_FILE_CHOOSER_ACTION_SAVE, nullptr, nullptr);
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(chooser), FALSE);
    gtk_file_chooser_set_do_overwrite_confirmation(GTK_FILE_CHOOSER(chooser), TRUE);
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), folder.c_str());
    gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(chooser), name.c_str());
    auto* callback = new std::function<void(std::optional<std::filesystem::path>)>(std::move(answer));
    g_signal_connect(
        chooser, "response", G_CALLBACK(+[](GtkNativeDialog* dialog, gint response, gpointer data) {
            auto* answer = static_cast<std::function<void(std::optional<std::filesystem::path>)>*>(data);
            std::optional<std::filesystem::path> chosen;
            if (response == GTK_RESPONSE_ACCEPT) {
                if (gchar* file = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog))) {
                    chosen = file;
                    g_free(file);
                }
            }
            (*answer)(chosen);
            delete answer;
            g_object_unref(dialog);
        }),
        callback);
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(chooser));
}

DownloadQuestion& Question() {
    static DownloadQuestion question = AskWithFileChooser;
    return question;
}

std::filesystem::path DownloadFolder() {
    const char* folder = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
    return folder != nullptr ? folder : g_get_home_dir();
}

void EndDownload(WebKitDownload*, gpointer) {
    g_downloadRunning = false;
}

gboolean OnDecideDestination(WebKitDownload* download, gchar* suggested, gpointer) {
    g_object_ref(download);
    Question()(DownloadFolder(), PlainFileName(suggested != nullptr ? suggested : ""),
               [download](std::optional<std::filesystem::path> chosen) {
                   if (chosen) {
                       if (gchar* uri = g_filename_to_uri(chosen->c_str(), nullptr, nullptr)) {
                           // The chooser has asked before replacing a file.
                           webkit_download_set_allow_overwrite(download, TRUE);
                           webkit_download_set_destination(download, uri);
                           g_free(uri);
                       }
                   } else {
                       webkit_download_cancel(download);
                   }
                   g_object_unref(download);
               });
    return TRUE;
}

// Every download of every view passes here. Only one the user's click let
// through (see PageGuard::OnResponse) or one of the program's own goes on.
void OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer) {
    PageGuard* guard = GuardOf(webkit_download_get_web_view(download));
    if (guard == nullptr || !guard->TakeDownloadPermission() || g_downloadRunning) {
        std::fprintf(stderr, "scoutwell: a download no click asked for was refused\n");
        webkit_download_cancel(download);
        return;
    }
    g_downloadRunning = true;
    g_signal_connect(download, "decide-destination", G_CALLBACK(OnDecideDestination), nullptr);
    g_signal_connect(download, "finished", G_CALLBACK(EndDownload), nullptr);
}

// A name with a slash in it, plain or percent-encoded (as the header's
// filename* form may carry it).
bool HasSlash(std::string_view name) {
    const auto encoded = [](char c) { return c == 'f' || c == 'F'; };
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '/' || (name.substr(i, 2) == "%2" && i + 2 < name.size() && encoded(name[i + 2])))
            return true;
    }
    return false;
}

const char* ContentDisposition(WebKitURIResponse* response) {
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    return headers != nullptr ? soup_message_headers_get_one(headers, "Content-Disposition") : nullptr;
}

// Whether the name the response suggests for its file holds a folder. The
// header is looked at as it stands: libsoup's reader of it, which WebKit
// uses for the name, frees memory it does not own for such a name and ends
// the process that reads it.
bool NameLeadsElsewhere(WebKitURIResponse* response) {
    const char* disposition = ContentDisposition(response);
    if (disposition != nullptr && HasSlash(disposition))
        return true;
    bool elsewhere = false;
    if (const char* uri = webkit_uri_response_get_uri(response)) {
        std::string_view path = uri;
        path = path.substr(0, path.find_first_of("?#"));
        gchar* last = g_uri_unescape_string(std::string(path.substr(path.rfind('/') + 1)).c_str(), nullptr);
        elsewhere = last == nullptr || HasSlash(last);
        g_free(last);
    }
    return elsewhere;
}

// "attachment", alone or before its parameters, in any case.
bool IsAttachment(WebKitURIResponse* response) {
    const char* disposition = ContentDisposition(response);
    if (disposition == nullptr)
        return false;
    std::string_view type = disposition;
    type = type.substr(0, type.find(';'));
    while (!type.empty() && (type.front() == ' ' || type.front() == '\t'))
        type.remove_prefix(1);
    while (!type.empty() && (type.back() == ' ' || type.back() == '\t'))
        type.remove_suffix(1);
    return g_ascii_strncasecmp(type.data(), "attachment", type.size()) == 0 && type.size() == 10;
}

// -- Signals -----------------------------------------------------------------

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
    static_cast<PageGuard*>(guard)->OnNavigationAction(decision);
    return FALSE;
}

gboolean OnUserInput(GtkWidget*, GdkEvent*, gpointer) {
    NoteUserAction();
    return FALSE;
}

// Downloads start from a click on a link, where the name can be checked
// first; the menu's own download items would skip that check.
gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult*, gpointer) {
    for (GList* item = webkit_context_menu_get_items(menu); item != nullptr;) {
        auto* entry = static_cast<WebKitContextMenuItem*>(item->data);
        item = item->next;
        switch (webkit_context_menu_item_get_stock_action(entry)) {
        case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_LINK_TO_DISK:
        case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_IMAGE_TO_DISK:
        case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_VIDEO_TO_DISK:
        case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_AUDIO_TO_DISK:
            webkit_context_menu_remove(menu, entry);
            break;
        default:
            break;
        }
    }
    return FALSE;
}

} // namespace

void LimitWebProcessMemory() {
    if (g_contextConstructor != nullptr)
        return;
    auto* contextClass = static_cast<GObjectClass*>(g_type_class_ref(WEBKIT_TYPE_WEB_CONTEXT));
    g_contextConstructor = contextClass->constructor;
    contextClass->constructor = ConstructContextWithLimit;
    // Every view's downloads come through the one default context.
    g_signal_connect(webkit_web_context_get_default(), "download-started", G_CALLBACK(OnDownloadStarted),
                     nullptr);
}

PageGuard::PageGuard(wxWebView* view) : m_view(static_cast<WebKitWebView*>(view->GetNativeBackend())) {
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
    g_signal_connect(m_view, "context-menu", G_CALLBACK(OnContextMenu), this);
    g_signal_connect_swapped(m_view, "notify::is-web-process-responsive",
                             G_CALLBACK(+[](PageGuard* guard) { guard->OnResponsiveChanged(); }), this);
}

PageGuard::~PageGuard() {
    if (m_retrySource != 0)
        g_source_remove(m_retrySource);
    g_signal_handlers_disconnect_by_data(m_view, this);
    g_object_set_data(G_OBJECT(m_view), GuardKey, nullptr);
    ReleaseHeldDialog();
    g_object_unref(m_view);
}

void PageGuard::ReleaseHeldDialog() {
    if (m_heldDialog == nullptr)
        return;
    webkit_script_dialog_close(m_heldDialog);
    webkit_script_dialog_unref(m_heldDialog);
    m_heldDialog = nullptr;
}

void PageGuard::OnScriptDialog(WebKitScriptDialog* dialog) {
    // Leaving the page is the user's decision, never the page's.
    if (webkit_script_dialog_get_dialog_type(dialog) == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM) {
        webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
        return;
    }
    // A page the user is leaving shows nothing more and is ended at once.
    if (m_heldDialog == nullptr && m_retry) {
        m_heldDialog = webkit_script_dialog_ref(dialog);
        EndLaterAndRetry();
    } else if (m_heldDialog == nullptr && ++m_dialogsThisPage > DialogsPerPage) {
        std::fprintf(stderr, "scoutwell: a page asked for dialog after dialog; it gets no more\n");
        m_heldDialog = webkit_script_dialog_ref(dialog);
    }
}

void PageGuard::OnLoadChanged(int event) {
    // A new page starts its count of dialogs afresh; the user's request has
    // been met.
    if (event == WEBKIT_LOAD_COMMITTED)
        m_dialogsThisPage = 0;
    if (event == WEBKIT_LOAD_COMMITTED || event == WEBKIT_LOAD_FINISHED)
        m_retry = nullptr;
    if (event == WEBKIT_LOAD_STARTED || event == WEBKIT_LOAD_COMMITTED)
        m_committed = event == WEBKIT_LOAD_COMMITTED;
}

bool PageGuard::Stuck() const {
    return m_heldDialog != nullptr || !webkit_web_view_get_is_web_process_responsive(m_view);
}

void PageGuard::EndPage() {
    std::fprintf(stderr, "scoutwell: a page that held its pane was stopped\n");
    m_endingOnPurpose = true;
    webkit_web_view_terminate_web_process(m_view);
    ReleaseHeldDialog();
    m_dialogsThisPage = 0;
}

void PageGuard::RunUserRequest(const std::function<void()>& request,
                               const std::function<void()>& afterEnding) {
    m_retry = afterEnding ? afterEnding : request;
    if (Stuck()) {
        EndPage();
        m_retry();
    } else {
        request();
    }
    // Only a request that has yet to show its page can be held up.
    if (!webkit_web_view_is_loading(m_view))
        m_retry = nullptr;
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

bool PageGuard::OnAuthenticate() {
    // Only the page itself asking is worth a note; a picture or script that
    // wants a password is simply not loaded.
    if (!m_committed)
        ShowNote("This page asks for a user name and password. Scoutwell does not sign in to pages; "
                 "use \"Load in Web Browser\" to open it in your web browser.");
    return true;
}

void PageGuard::OnNavigationAction(WebKitPolicyDecision* decision) {
    auto* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    if (action != nullptr && !webkit_navigation_action_is_redirect(action))
        m_navigationByUser = webkit_navigation_action_is_user_gesture(action);
}

// A response that is not shown but saved: it goes on as a download only
// after a click or key of the user's, one at a time, and never with a
// name that holds a folder.
bool PageGuard::OnResponse(WebKitPolicyDecision* decision) {
    auto* responseDecision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    WebKitURIResponse* response = webkit_response_policy_decision_get_response(responseDecision);
    const bool attachment = IsAttachment(response);
    if (!attachment && webkit_response_policy_decision_is_mime_type_supported(responseDecision)) {
        // A page to show; the click that asked for it is spent.
        if (webkit_response_policy_decision_is_main_frame_main_resource(responseDecision))
            m_navigationByUser = false;
        return false;
    }
    const char* refusal = nullptr;
    if (!m_navigationByUser)
        refusal = "no click asked for it";
    else if (g_downloadRunning)
        refusal = "another download is still open";
    else if (NameLeadsElsewhere(response))
        refusal = "its name holds a folder";
    if (refusal != nullptr) {
        std::fprintf(stderr, "scoutwell: a download was refused: %s\n", refusal);
        webkit_policy_decision_ignore(decision);
        return true;
    }
    m_navigationByUser = false;
    m_downloadAllowed = true;
    webkit_policy_decision_download(decision);
    return true;
}

void PageGuard::ShowNote(const std::string& text) {
    const std::string html = "<!doctype html><html><head><meta charset=\"utf-8\"><title>" + Escaped(text) +
                             "</title></head><body style=\"font-family:sans-serif\"><p>" + Escaped(text) +
                             "</p></body></html>";
    const gchar* uri = webkit_web_view_get_uri(m_view);
    webkit_web_view_load_alternate_html(m_view, html.c_str(), uri != nullptr ? uri : "about:blank", nullptr);
}

bool PageGuard::TakeDownloadPermission() {
    return std::exchange(m_downloadAllowed, false);
}

void SetDownloadQuestion(DownloadQuestion question) {
    Question() = question ? std::move(question) : DownloadQuestion(AskWithFileChooser);
}

std::string PlainFileName(const std::string& suggested) {
    std::string_view name = suggested;
    const auto slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    std::string plain;
    for (unsigned char c : name) {
        if (c >= 0x20 && c != 0x7F)
            plain += static_cast<char>(c);
    }
    const auto start = plain.find_first_not_of(". ");
    plain = start == std::string::npos ? std::string() : plain.substr(start);
    return plain.empty() ? "download" : plain;
}
