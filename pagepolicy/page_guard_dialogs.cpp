// Script dialogs (alert, confirm, prompt): never shown, and never enough of
// them to hold the pane.

#include "page_guard.h"

#include <webkit2/webkit2.h>

#include <cstdio>

namespace {

// A page gets this many script dialogs per load, each answered at once
// without showing it (OK, Cancel, no text); the next one is held unanswered,
// which stops the page's script where it stands.
constexpr int DialogsPerPage = 3;

} // namespace

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

void PageGuard::ReleaseHeldDialog() {
    if (m_heldDialog == nullptr)
        return;
    webkit_script_dialog_close(m_heldDialog);
    webkit_script_dialog_unref(m_heldDialog);
    m_heldDialog = nullptr;
}
