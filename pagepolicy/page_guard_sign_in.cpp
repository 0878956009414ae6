// A page that asks for a user name and password: the program signs in to
// nothing, and says so.

#include "page_guard.h"

bool PageGuard::OnAuthenticate() {
    // Only the page itself asking is worth a note; a picture or script that
    // wants a password is simply not loaded.
    if (!m_committed)
        ShowNote("This page asks for a user name and password. Scoutwell does not sign in to pages; "
                 "use \"Load in Web Browser\" to open it in your web browser.");
    return true;
}
