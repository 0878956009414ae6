#pragma once

class wxFont;
class wxWindow;

// The program's controls are laid out at fixed, small sizes (buttons 17
// pixels high). The toolkit's default theme pads controls so that their text
// would be clipped at those sizes; this style takes the padding away inside
// the windows given to UseCompactStyle, and only there: message boxes and the
// help window keep the theme's normal controls. It also makes the keyboard
// focus clearly visible on every button and text field of the program, and
// draws the choosers' drop-down arrow itself. Call once, after the toolkit
// has started.
void ApplyCompactStyle();

// Lays the controls of window out compactly (see ApplyCompactStyle).
void UseCompactStyle(wxWindow* window);

// The default font of the program's windows: small enough that every caption
// fits its control at the documented sizes.
wxFont CompactFont();
