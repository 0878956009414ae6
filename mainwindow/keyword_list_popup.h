#pragma once

#include <functional>
#include <vector>

#include <wx/string.h>

class wxCommandEvent;
class wxFocusEvent;
class wxKeyEvent;
class wxListBox;
class wxMoveEvent;
class wxSizeEvent;
class wxPopupWindow;
class wxTextCtrl;

// A list of strings shown under a text box, for the box to offer texts to
// pick (completions, earlier searches). The keyboard focus stays in the box
// and typing goes on; while the list is shown, Down and Up move through it,
// Enter picks the selected text (with none selected the box has the key),
// Escape closes it; a click picks a text too. It closes when the box loses
// the focus or the window moves. Several lists may serve one box; only a
// shown one takes keys.
class KeywordListPopup {
public:
    using Picked = std::function<void(const wxString& text)>;

    // accessibleName: what a screen reader calls the list.
    KeywordListPopup(wxTextCtrl* box, const wxString& accessibleName, Picked picked);
    ~KeywordListPopup();
    KeywordListPopup(const KeywordListPopup&) = delete;
    KeywordListPopup& operator=(const KeywordListPopup&) = delete;

    // Shows the texts, none selected; no texts closes the list.
    void Show(const std::vector<wxString>& texts);
    void Close();
    bool IsShown() const;
    std::vector<wxString> Texts() const;
    int Selection() const; // -1 when none
    wxListBox* List() const { return m_list; }

private:
    void OnBoxKey(wxKeyEvent& event);
    void OnBoxFocusLost(wxFocusEvent& event);
    void OnClick(wxCommandEvent& event);
    void OnWindowMoved(wxMoveEvent& event);
    void OnWindowSized(wxSizeEvent& event);
    void OnKeyDown(int key, bool& used);
    void Pick(int index);

    wxTextCtrl* m_box;
    wxPopupWindow* m_popup;
    wxListBox* m_list;
    Picked m_picked;
};
