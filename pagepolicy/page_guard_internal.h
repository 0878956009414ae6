#pragma once

// What the page guard's files share among themselves; nothing outside them
// needs it.

#include <webkit2/webkit2.h>

class PageGuard;

// The guard of a view, or null when it has none (or is gone).
PageGuard* GuardOf(WebKitWebView* view);

// Lets through, to a file of the user's choice, only the downloads a guard
// allowed. Called once, for the context every view uses.
void WatchDownloads(WebKitWebContext* context);

// Whether a download is still open; the next waits for it to end.
bool DownloadRunning();

// The context menu's own download items, which would skip the guard's checks,
// are taken out.
gboolean RemoveDownloadItems(WebKitWebView* view, WebKitContextMenu* menu, GdkEvent* event,
                             WebKitHitTestResult* hit, gpointer data);

// A page may neither take the screen (fullscreen) nor the pointer (pointer
// lock) from the rest of the program.
void KeepScreenAndPointer(WebKitWebView* view);

// A guard that goes is no longer weighed for a web-process renewal.
void ForgetForRenewal(const PageGuard* guard);
