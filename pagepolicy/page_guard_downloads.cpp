// Which responses the page guard lets go on as downloads: only after a click
// or key of the user's, one at a time, and never with a name that holds a
// folder.

#include "load_failure_page.h"
#include "page_guard.h"
#include "page_guard_internal.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

namespace {

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

} // namespace

// Downloads start from a click on a link, where the name can be checked
// first; the menu's own download items would skip that check.
gboolean RemoveDownloadItems(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult*,
                             gpointer) {
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

bool PageGuard::OnNavigationAction(WebKitPolicyDecision* decision) {
    auto* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    if (action != nullptr && HoldsPageNavigation(action)) {
        webkit_policy_decision_ignore(decision);
        return true;
    }
    if (action != nullptr && !webkit_navigation_action_is_redirect(action))
        m_navigationByUser = webkit_navigation_action_is_user_gesture(action);
    return false;
}

// A response that is not shown but saved goes on as a download only when
// all of the rules above allow it.
bool PageGuard::OnResponse(WebKitPolicyDecision* decision) {
    auto* responseDecision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    if (HoldsPageResponse(responseDecision)) {
        webkit_policy_decision_ignore(decision);
        return true;
    }
    WebKitURIResponse* response = webkit_response_policy_decision_get_response(responseDecision);
    const bool attachment = IsAttachment(response);
    if (!attachment && webkit_response_policy_decision_is_mime_type_supported(responseDecision)) {
        // A page to show; the click that asked for it is spent.
        if (webkit_response_policy_decision_is_main_frame_main_resource(responseDecision))
            m_navigationByUser = false;
        return false;
    }
    // An error answer is a failed load, not a file, whatever came with it: a
    // proxy that refuses the tunnel to a secure site answers so, with nothing
    // to show.
    const guint status = webkit_uri_response_get_status_code(response);
    if (status >= 400 && webkit_response_policy_decision_is_main_frame_main_resource(responseDecision)) {
        webkit_policy_decision_ignore(decision);
        m_navigationByUser = false;
        const char* uri = webkit_uri_response_get_uri(response);
        const std::string reason =
            "The answer was " + std::to_string(status) + " " + soup_status_get_phrase(status) + ".";
        ShowOwnPage(LoadFailurePage(uri != nullptr ? uri : "", reason), uri);
        return true;
    }
    static constexpr const char* NameReason = "its name holds a folder";
    const char* refusal = nullptr;
    if (!m_navigationByUser)
        refusal = "no click asked for it";
    else if (DownloadRunning())
        refusal = "another download is still open";
    else if (NameLeadsElsewhere(response))
        refusal = NameReason;
    if (refusal != nullptr) {
        std::fprintf(stderr, "scoutwell: a download was refused: %s\n", refusal);
        webkit_policy_decision_ignore(decision);
        // The user clicked a link for this file: a refusal they could not see
        // would look like a broken link. A frame's file is no page of its own
        // to replace.
        if (refusal == NameReason &&
            webkit_response_policy_decision_is_main_frame_main_resource(responseDecision))
            ShowNote("This download was refused: its file name leads into another folder.");
        return true;
    }
    m_navigationByUser = false;
    m_downloadAllowed = true;
    webkit_policy_decision_download(decision);
    return true;
}

bool PageGuard::TakeDownloadPermission() {
    return std::exchange(m_downloadAllowed, false);
}
