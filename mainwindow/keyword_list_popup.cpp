#include "keyword_list_popup.h"

#include "accessibility.h"
#include "failure.h"

#include <wx/listbox.h>
#include <wx/popupwin.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>

namespace {

// Room around a row's text, in units of the text's own height, so the rows
// grow with the text size.
constexpr double RowPadding = 0.5;
constexpr int SideRoom = 16;

} // namespace

KeywordListPopup::KeywordListPopup(wxTextCtrl* box, const wxString& accessibleName, Picked picked)
    : m_box(box), m_popup(new wxPopupWindow(box, wxBORDER_SIMPLE)),
      m_list(new wxListBox(m_popup, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                           wxLB_SINGLE | wxBORDER_NONE)),
      m_picked(std::move(picked)) {
    m_list->SetFont(box->GetFont()); // the box's own text, at the size the user set
    SetAccessibleName(m_list, accessibleName);
    m_box->Bind(wxEVT_KEY_DOWN, &KeywordListPopup::OnBoxKey, this);
    m_box->Bind(wxEVT_KILL_FOCUS, &KeywordListPopup::OnBoxFocusLost, this);
    m_list->Bind(wxEVT_LISTBOX, &KeywordListPopup::OnClick, this);
    wxGetTopLevelParent(m_box)->Bind(wxEVT_MOVE, &KeywordListPopup::OnWindowMoved, this);
    wxGetTopLevelParent(m_box)->Bind(wxEVT_SIZE, &KeywordListPopup::OnWindowSized, this);
}

// The box and the window outlive the list's owner, and may still send events.
KeywordListPopup::~KeywordListPopup() {
    m_box->Unbind(wxEVT_KEY_DOWN, &KeywordListPopup::OnBoxKey, this);
    m_box->Unbind(wxEVT_KILL_FOCUS, &KeywordListPopup::OnBoxFocusLost, this);
    m_list->Unbind(wxEVT_LISTBOX, &KeywordListPopup::OnClick, this);
    wxGetTopLevelParent(m_box)->Unbind(wxEVT_MOVE, &KeywordListPopup::OnWindowMoved, this);
    wxGetTopLevelParent(m_box)->Unbind(wxEVT_SIZE, &KeywordListPopup::OnWindowSized, this);
}

void KeywordListPopup::OnBoxKey(wxKeyEvent& event) {
    bool used = false;
    if (event.GetModifiers() == wxMOD_NONE)
        IgnoreFailure([&] { OnKeyDown(event.GetKeyCode(), used); });
    if (!used)
        event.Skip();
}

// The list belongs to the box: once the focus is elsewhere it has no
// business on the screen. A click in the list may pass the focus to it for
// a moment; the pick that follows closes it.
void KeywordListPopup::OnBoxFocusLost(wxFocusEvent& event) {
    if (event.GetWindow() != m_list)
        Close();
    event.Skip();
}

// The toolkit may select a row on its own as the list is filled or shown;
// only a click of the user's picks.
void KeywordListPopup::OnClick(wxCommandEvent& event) {
    if (!wxGetMouseState().LeftIsDown())
        return;
    const int index = event.GetSelection();
    IgnoreFailure([&] { Pick(index); });
}

void KeywordListPopup::OnWindowMoved(wxMoveEvent& event) {
    Close();
    event.Skip();
}

void KeywordListPopup::OnWindowSized(wxSizeEvent& event) {
    Close();
    event.Skip();
}

void KeywordListPopup::Show(const std::vector<wxString>& texts) {
    if (texts.empty())
        return Close();
    wxArrayString items;
    int widest = m_box->GetSize().GetWidth();
    for (const wxString& text : texts) {
        items.Add(text);
        widest = std::max(widest, m_list->GetTextExtent(text).GetWidth() + 2 * SideRoom);
    }
    m_list->Set(items);
    m_list->SetSelection(wxNOT_FOUND);
    const int textHeight = m_list->GetCharHeight();
    const int rowHeight = textHeight + static_cast<int>(textHeight * RowPadding);
    const int screenRight = wxGetTopLevelParent(m_box)->GetScreenRect().GetRight();
    const wxPoint below = m_box->GetScreenPosition() + wxPoint(0, m_box->GetSize().GetHeight());
    const int width = std::max(m_box->GetSize().GetWidth(), std::min(widest, screenRight - below.x));
    const wxSize size(width, rowHeight * static_cast<int>(texts.size()) + 4);
    m_popup->SetClientSize(size);
    m_list->SetSize(size);
    m_popup->Move(below);
    m_popup->Show();
    m_list->SetSelection(wxNOT_FOUND);
}

void KeywordListPopup::Close() {
    if (m_popup->IsShown())
        m_popup->Hide();
}

bool KeywordListPopup::IsShown() const {
    return m_popup->IsShown();
}

std::vector<wxString> KeywordListPopup::Texts() const {
    std::vector<wxString> texts;
    for (unsigned i = 0; i < m_list->GetCount(); ++i)
        texts.push_back(m_list->GetString(i));
    return texts;
}

int KeywordListPopup::Selection() const {
    return IsShown() ? m_list->GetSelection() : wxNOT_FOUND;
}

void KeywordListPopup::OnKeyDown(int key, bool& used) {
    if (!IsShown())
        return;
    const int count = static_cast<int>(m_list->GetCount());
    const int selection = m_list->GetSelection();
    if (key == WXK_DOWN || key == WXK_UP) {
        // Past either end the selection goes back to the typed text.
        int next = selection + (key == WXK_DOWN ? 1 : -1);
        if (selection == wxNOT_FOUND)
            next = key == WXK_DOWN ? 0 : count - 1;
        if (next < 0 || next >= count)
            m_list->SetSelection(wxNOT_FOUND);
        else
            m_list->SetSelection(next);
        used = true;
    } else if (key == WXK_ESCAPE) {
        Close();
        used = true;
    } else if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
        if (selection != wxNOT_FOUND) {
            Pick(selection);
            used = true;
        } else {
            Close();
        }
    }
}

void KeywordListPopup::Pick(int index) {
    if (index < 0 || index >= static_cast<int>(m_list->GetCount()))
        return;
    const wxString text = m_list->GetString(static_cast<unsigned>(index));
    Close();
    m_box->SetFocus();
    m_picked(text);
}
