#pragma once

#include "keyword_list_popup.h"
#include "recent_searches.h"

#include <functional>
#include <memory>

class wxCommandEvent;
class wxKeyEvent;
class wxListBox;
class wxString;
class wxTextCtrl;

// The recent searches under the keyword box. Down or Alt+Down in the empty
// box lists them, newest first; Up and Down move, Enter or a click searches
// the one chosen, Escape or typing closes the list. The box's context menu
// clears them. A private run keeps none, and the list stays empty.
class RecentSearchesList {
public:
    // search runs the search of the keywords in the box.
    RecentSearchesList(wxTextCtrl* keywordsBox, std::function<void()> search);
    ~RecentSearchesList();
    RecentSearchesList(const RecentSearchesList&) = delete;
    RecentSearchesList& operator=(const RecentSearchesList&) = delete;

    // Keeps the keywords of a search just made. Throws ScoutwellError when
    // the file cannot be written.
    void Remember(const wxString& keywords);
    // Empties the list and its file.
    void Clear();

    bool IsShown() const { return m_popup.IsShown(); }
    // The list as shown, for a look from outside.
    wxListBox* List() const { return m_popup.List(); }

private:
    // The searches kept, read on first use; null when none are kept.
    RecentSearches* Store();
    void OnKeyDown(wxKeyEvent& event);
    void OnText(wxCommandEvent& event);

    wxTextCtrl* m_box;
    std::function<void()> m_search;
    KeywordListPopup m_popup;
    unsigned long m_menuItems = 0;
    std::unique_ptr<RecentSearches> m_store;
    bool m_storeRead = false;
};
