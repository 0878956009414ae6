#pragma once

#include <functional>

class wxKeyEvent;
class wxTopLevelWindow;
class wxWindow;

// Keys every window of the program shares.

// Ctrl+Q: quit the program from any of its windows.
bool IsQuitKey(const wxKeyEvent& event);

// Closes every window of the program, as the user closing each would; the
// program ends with the last of them.
void CloseEveryWindow();

// A window in which no control has the focus (the focused one was hidden, or
// the focus was taken away) gets no key at all in wx: not even Escape or
// Ctrl+Q would work. From here on the focus then goes to the control
// fallback names at that moment.
void KeepAControlFocused(wxTopLevelWindow* window, std::function<wxWindow*()> fallback);
