#include "hand_off_limit.h"

#include "desktop_launch.h"
#include "failure.h"
#include "web_address.h"

#include <cstdio>

bool HandOffLimit::MayHandOff(Clock::time_point now) {
    const bool newAction = m_actions != m_lastAction;
    const bool rested = !m_handedOff || now - m_last >= std::chrono::seconds(1);
    if (newAction && rested) {
        m_lastAction = m_actions;
        m_handedOff = true;
        m_last = now;
        m_droppedSinceAction = false;
        return true;
    }
    if (!m_droppedSinceAction)
        std::fprintf(stderr, "scoutwell: a page asked for more new windows than the user's action allows; "
                             "the rest were dropped\n");
    m_droppedSinceAction = true;
    return false;
}

namespace {
HandOffLimit g_limit;
}

void NoteUserAction() {
    g_limit.NoteUserAction();
}

bool MayHandOff() {
    return g_limit.MayHandOff(HandOffLimit::Clock::now());
}

void OpenOutside(wxWindow* owner, const std::wstring& url) {
    if (IsWebAddress(url) && MayHandOff())
        IgnoreFailure([&] { OpenWithDesktop(owner, url); });
}
