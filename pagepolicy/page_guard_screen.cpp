// The screen and the pointer belong to the whole program, not to one pane's
// page: fullscreen and pointer lock are refused.

#include "page_guard_internal.h"

#include <cstdio>

namespace {

// WebKit would make the main window fullscreen over the desktop.
gboolean RefuseFullscreen(WebKitWebView*, gpointer) {
    std::fprintf(stderr, "scoutwell: a page asked for the whole screen; it was refused\n");
    return TRUE;
}

// With the pointer locked, no click reaches the keyword box or the buttons.
gboolean RefusePointerLock(WebKitWebView*, WebKitPermissionRequest* request, gpointer) {
    if (!WEBKIT_IS_POINTER_LOCK_PERMISSION_REQUEST(request))
        return FALSE; // WebKit's own answer, no, stands
    std::fprintf(stderr, "scoutwell: a page asked to capture the pointer; it was refused\n");
    webkit_permission_request_deny(request);
    return TRUE;
}

} // namespace

void KeepScreenAndPointer(WebKitWebView* view) {
    // Refused in the page itself (its request fails at once), and should a
    // request get through, before it reaches the window.
    webkit_settings_set_enable_fullscreen(webkit_web_view_get_settings(view), FALSE);
    g_signal_connect(view, "enter-fullscreen", G_CALLBACK(RefuseFullscreen), nullptr);
    g_signal_connect(view, "permission-request", G_CALLBACK(RefusePointerLock), nullptr);
}
