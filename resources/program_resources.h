#pragma once

#include <wx/iconbndl.h>
#include <wx/image.h>

#include <string_view>

// The artwork and the help document built into the program.

// Drawn by resources/make-artwork.sh:

// The program icon: a 16 x 16 and a 32 x 32 image of 16 colours, with
// transparent corners. For the windows' icons and the splash's picture box.
wxIconBundle ProgramIcon();

// The splash logo, 163 x 105 pixels, in colour.
wxImage SplashLogo();

// The help document, resources/help.rtf (made by resources/make-help.sh), as
// RTF.
std::string_view HelpDocument();
