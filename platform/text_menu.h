#pragma once

#include <functional>

class wxString;
class wxTextCtrl;

// Adds an item, after a separator, at the end of a one-line text box's own
// context menu (the toolkit's, with Cut, Copy and Paste), each time the menu
// opens. enabled says whether the item can be chosen at that moment.
void AddContextMenuItem(wxTextCtrl* box, const wxString& label, std::function<bool()> enabled,
                        std::function<void()> chosen);
