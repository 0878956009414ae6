#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <wx/string.h>

class wxTextCtrl;

// An item the program adds to a text box's own context menu (the one with
// Cut, Copy and Paste, opened by the right button, Shift+F10 or the Menu key).
struct TextMenuItem {
    wxString label;
    std::optional<bool> checked; // a check item when set, showing this state
    std::function<void()> chosen;
};

// Each time the box's menu opens, items() says what to add below a separator.
// A box may be extended more than once, each adding its own group. Returns
// what RemoveTextMenuExtension needs to take the group away again, as an
// owner that goes before the box must.
unsigned long ExtendTextMenu(wxTextCtrl* box, std::function<std::vector<TextMenuItem>()> items);
void RemoveTextMenuExtension(wxTextCtrl* box, unsigned long extension);
