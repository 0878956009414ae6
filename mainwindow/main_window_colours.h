#pragma once

#include <wx/colour.h>

// The main window's colours: black panels, dark red pane columns and URL bar,
// a white hint panel.
namespace MainWindowColours {

inline const wxColour Black(0, 0, 0);
inline const wxColour DarkRed(192, 0, 0);
inline const wxColour White(255, 255, 255);

} // namespace MainWindowColours
