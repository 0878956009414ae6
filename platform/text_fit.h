#pragma once

class wxWindow;

// Fits a control's text into the control's fixed box, as large text settings
// (a larger desktop font, GDK_DPI_SCALE) would otherwise cut it: the text
// keeps its font size when it fits, else takes the largest smaller size that
// fits, down to a legible minimum; what still does not fit is shortened with
// an ellipsis, the whole text going into the tooltip. The control keeps its
// place, its size and its caption (the toolkit shortens only what is drawn).
// Labels, buttons, text boxes and choosers; the control's own label or value
// is the text fitted, a wrapping label fitted to its height.
void FitTextToBox(wxWindow* control);

// Whether the toolkit draws the control's text shortened with an ellipsis.
bool IsTextEllipsized(wxWindow* control);

// By how many pixels the text the toolkit draws for a label, button, text
// box or chooser reaches past the room it is given (0 when it fits or is
// shortened with an ellipsis). For a shown control.
int TextOverflow(wxWindow* control);
