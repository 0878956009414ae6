#pragma once

#include "keyword_list_popup.h"

#include <wx/timer.h>

#include <memory>
#include <string>

class MainWindow;
class SuggestionFetch;

// Completions of the keywords while they are typed, from the suggestions
// address of the first pane whose engine has one, in a list under the
// keyword box. Off in a private run, and when the user turned them off
// (the box's context menu; kept in the user's settings).
class KeywordSuggestions {
public:
    explicit KeywordSuggestions(MainWindow& window);
    ~KeywordSuggestions();

    bool Enabled() const;
    // Turns suggestions on or off and keeps the choice in the settings.
    void SetEnabled(bool enabled);
    const KeywordListPopup& Popup() const { return m_popup; }

    static constexpr int MaxShown = 8;

private:
    void OnText(wxCommandEvent& event);
    void OnKey(wxKeyEvent& event);
    void OnTyped();
    void OnPause();
    void Stop();
    void Show(const std::string& answer, const wxString& asked);

    MainWindow& m_window;
    KeywordListPopup m_popup;
    wxTimer m_pause;
    std::unique_ptr<SuggestionFetch> m_fetch;
    bool m_enabled = true;
    unsigned long m_menuItems = 0;
};
