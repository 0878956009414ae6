#pragma once

#include <wx/iconbndl.h>
#include <wx/image.h>

// The artwork built into the program (drawn by resources/make-artwork.sh).

// The program icon: a 16 x 16 and a 32 x 32 image of 16 colours, with
// transparent corners. For the windows' icons and the splash's picture box.
wxIconBundle ProgramIcon();

// The splash logo, 163 x 105 pixels, in colour.
wxImage SplashLogo();
