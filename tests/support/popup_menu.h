#pragma once

#include <wx/gdicmn.h>

#include <string>

// Right-clicks at the point, waits for the menu, moves up from its end to the item of that label and
// picks it with Enter, through the X server as a user would. Returns whether the item was found.
bool ChooseFromMenuAt(wxPoint screenPoint, const std::string& label);
