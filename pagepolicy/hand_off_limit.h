#pragma once

#include <chrono>
#include <string>

class wxWindow;

// A page may ask for any number of new windows; the desktop gets at most one
// address per user action (a click or a key in a pane) and never more than
// one a second. The rest are dropped with one line on standard error.

// Called for every click and key press the user makes in a pane.
void NoteUserAction();

// Whether one more address may go to the desktop now; counts it when so.
bool MayHandOff();

// Hands a web address to the desktop's browser when the limit allows; any
// other address, and one over the limit, stays here.
void OpenOutside(wxWindow* owner, const std::wstring& url);

// The rule itself, for any clock.
class HandOffLimit {
public:
    using Clock = std::chrono::steady_clock;
    void NoteUserAction() {
        ++m_actions;
        m_droppedSinceAction = false;
    }
    bool MayHandOff(Clock::time_point now);

private:
    unsigned long m_actions = 0;
    unsigned long m_lastAction = 0; // the action that the last hand-off used
    bool m_handedOff = false;
    bool m_droppedSinceAction = false;
    Clock::time_point m_last;
};
