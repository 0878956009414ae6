#pragma once

#include <wx/image.h>

// The pixels the display shows in a rectangle of the screen, as drawn: for
// checking what the user really sees (contrast, a focus ring).
wxImage CaptureScreenArea(const wxRect& area);
