#include "recent_searches_list.h"

#include "failure.h"
#include "run_mode.h"
#include "text_menu.h"
#include "xdg_folders.h"

#include <wx/textctrl.h>

#include <utility>

RecentSearchesList::RecentSearchesList(wxTextCtrl* keywordsBox, std::function<void()> search)
    : m_box(keywordsBox), m_search(std::move(search)),
      m_popup(keywordsBox, L"Recent searches", [this](const wxString& keywords) {
          m_box->ChangeValue(keywords);
          m_box->SetInsertionPointEnd();
          m_search();
      }) {
    // Bound after the list's own keys, so this runs first: it opens the list,
    // which then takes the keys.
    m_box->Bind(wxEVT_KEY_DOWN, &RecentSearchesList::OnKeyDown, this);
    m_box->Bind(wxEVT_TEXT, &RecentSearchesList::OnText, this);
    m_menuItems = ExtendTextMenu(m_box, [this] {
        std::vector<TextMenuItem> items;
        if (RecentSearches* store = Store(); store != nullptr && !store->Items().empty())
            items.push_back(
                {L"Clear recent searches", std::nullopt, [this] { IgnoreFailure([this] { Clear(); }); }});
        return items;
    });
}

// The box outlives the list.
RecentSearchesList::~RecentSearchesList() {
    RemoveTextMenuExtension(m_box, m_menuItems);
    m_box->Unbind(wxEVT_KEY_DOWN, &RecentSearchesList::OnKeyDown, this);
    m_box->Unbind(wxEVT_TEXT, &RecentSearchesList::OnText, this);
}

// Typing makes the box no longer empty: the list is for an empty box.
void RecentSearchesList::OnText(wxCommandEvent& event) {
    m_popup.Close();
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
    m_popup.Close();
    if (RecentSearches* store = Store())
        store->Clear();
}

void RecentSearchesList::OnKeyDown(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    const int modifiers = event.GetModifiers();
    const bool opens = (key == WXK_DOWN || key == WXK_NUMPAD_DOWN) &&
                       (modifiers == wxMOD_NONE || modifiers == wxMOD_ALT) && m_box->IsEmpty() &&
                       !m_popup.IsShown();
    RecentSearches* store = nullptr;
    if (opens)
        IgnoreFailure([&] { store = Store(); });
    if (store == nullptr || store->Items().empty()) {
        event.Skip();
        return;
    }
    std::vector<wxString> rows;
    for (const std::wstring& keywords : store->Items())
        rows.emplace_back(keywords);
    m_popup.Show(rows);
}
