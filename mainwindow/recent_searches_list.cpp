#include "recent_searches_list.h"

#include "accessibility.h"
#include "failure.h"
#include "run_mode.h"
#include "text_menu.h"
#include "xdg_folders.h"

#include <wx/listbox.h>
#include <wx/popupwin.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <utility>

namespace {

constexpr int RowsShown = 10;

} // namespace

RecentSearchesList::RecentSearchesList(wxTextCtrl* keywordsBox, std::function<void()> search)
    : m_box(keywordsBox), m_search(std::move(search)), m_popup(new wxPopupWindow(keywordsBox->GetParent())),
      m_list(new wxListBox(m_popup, wxID_ANY)) {
    SetAccessibleName(m_list, L"Recent searches");
    m_box->Bind(wxEVT_KEY_DOWN, &RecentSearchesList::OnKeyDown, this);
    m_box->Bind(wxEVT_TEXT, &RecentSearchesList::OnText, this);
    m_box->Bind(wxEVT_KILL_FOCUS, &RecentSearchesList::OnFocusLost, this);
    // A click chooses the row under it.
    m_list->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
        m_pressed = true;
        event.Skip();
    });
    // Only a release that follows a press in the list: showing the list may
    // bring the release of a click made before.
    m_list->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& event) {
        if (std::exchange(m_pressed, false))
            IgnoreFailure([&] { Choose(m_list->HitTest(event.GetPosition())); });
        event.Skip();
    });
    const auto clearable = [this] {
        RecentSearches* store = Store();
        return store != nullptr && !store->Items().empty();
    };
    IgnoreFailure(
        [&] { AddContextMenuItem(m_box, L"Clear recent searches", clearable, [this] { Clear(); }); });
}

// The box outlives the list, and loses the focus once more while the window goes.
RecentSearchesList::~RecentSearchesList() {
    m_box->Unbind(wxEVT_KEY_DOWN, &RecentSearchesList::OnKeyDown, this);
    m_box->Unbind(wxEVT_TEXT, &RecentSearchesList::OnText, this);
    m_box->Unbind(wxEVT_KILL_FOCUS, &RecentSearchesList::OnFocusLost, this);
}

// Typing makes the box no longer empty: the list is for an empty box.
void RecentSearchesList::OnText(wxCommandEvent& event) {
    Hide();
    event.Skip();
}

// A click on the list may take the focus first: the choice is made by then.
void RecentSearchesList::OnFocusLost(wxFocusEvent& event) {
    m_box->CallAfter([this] {
        if (!m_box->HasFocus())
            Hide();
    });
    event.Skip();
}

RecentSearches* RecentSearchesList::Store() {
    if (!m_storeRead) {
        m_storeRead = true;
        if (!IsPrivateRun())
            if (const auto file = RecentSearchesFile(FindXdgFolders()))
                m_store = std::make_unique<RecentSearches>(*file);
    }
    return m_store.get();
}

void RecentSearchesList::Remember(const wxString& keywords) {
    if (RecentSearches* store = Store())
        store->Add(keywords.ToStdWstring());
}

void RecentSearchesList::Clear() {
    Hide();
    if (RecentSearches* store = Store())
        store->Clear();
}

bool RecentSearchesList::IsShown() const {
    return m_popup->IsShown();
}

bool RecentSearchesList::Show() {
    RecentSearches* store = Store();
    if (store == nullptr || store->Items().empty())
        return false;
    wxArrayString rows;
    for (const std::wstring& keywords : store->Items())
        rows.Add(wxString(keywords));
    m_list->Set(rows);
    m_pressed = false;
    const wxSize box = m_box->GetSize();
    const int rowHeight = m_list->GetCharHeight() + 10;
    const int shown = std::min<int>(RowsShown, static_cast<int>(rows.size()));
    m_popup->SetSize(box.x, shown * rowHeight + 6);
    m_list->SetSize(m_popup->GetClientSize());
    m_popup->Position(m_box->ClientToScreen(wxPoint(0, 0)), wxSize(0, box.y));
    m_popup->Show();
    return true;
}

void RecentSearchesList::Hide() {
    if (m_popup->IsShown())
        m_popup->Hide();
}

void RecentSearchesList::Choose(int row) {
    if (!IsShown() || row < 0 || row >= static_cast<int>(m_list->GetCount()))
        return;
    const wxString keywords = m_list->GetString(row);
    Hide();
    m_box->ChangeValue(keywords);
    m_box->SetInsertionPointEnd();
    m_search();
}

// The keys reach the box while the list is shown: the focus stays in the
// box, as in every list of choices under a text box.
void RecentSearchesList::OnKeyDown(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    const int modifiers = event.GetModifiers();
    const bool down = key == WXK_DOWN || key == WXK_NUMPAD_DOWN;
    const bool up = key == WXK_UP || key == WXK_NUMPAD_UP;
    if (!IsShown()) {
        const bool opens = down && (modifiers == wxMOD_NONE || modifiers == wxMOD_ALT) && m_box->IsEmpty();
        bool shown = false;
        if (opens)
            IgnoreFailure([&] { shown = Show(); });
        if (!shown)
            event.Skip();
        return;
    }
    if (key == WXK_SHIFT || key == WXK_CONTROL || key == WXK_ALT) {
        event.Skip();
        return;
    }
    const int count = static_cast<int>(m_list->GetCount());
    const int row = m_list->GetSelection();
    if ((down || up) && modifiers == wxMOD_NONE) {
        m_list->SetSelection(std::clamp(row + (down ? 1 : -1), 0, count - 1));
    } else if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && modifiers == wxMOD_NONE && row >= 0) {
        IgnoreFailure([&] { Choose(row); });
    } else if (key == WXK_ESCAPE && modifiers == wxMOD_NONE) {
        Hide();
    } else {
        Hide(); // any other key is the box's again: Enter with no row chosen searches what it holds
        event.Skip();
    }
}
