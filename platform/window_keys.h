#pragma once

class wxKeyEvent;
class wxTopLevelWindow;

// Keys every window of the program shares.

// Ctrl+Q: quit the program from any of its windows.
bool IsQuitKey(const wxKeyEvent& event);

// Closes every window of the program, as the user closing each would; the
// program ends with the last of them.
void CloseEveryWindow();

// A key pressed while no control of the window has the focus (after a click
// on a panel, or once the focused control was hidden) reaches no control in
// GTK, so the window's shortcuts would not see it. From here on such a key is
// sent to the window's wxEVT_CHAR_HOOK handlers like any other key.
void ForwardUnclaimedKeys(wxTopLevelWindow* window);
