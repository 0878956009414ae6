#pragma once

#include <functional>

class wxTopLevelWindow;
class wxKeyEvent;
class wxWebView;

// Tab inside a web page moves through the page's links; past the last link
// (or before the first) the page gives the focus back to its window. The
// toolkit would then take its own idea of the next control; instead,
// handler(forward) is asked, and the toolkit's choice is used only when it
// returns false.
void WhenFocusLeavesPage(wxTopLevelWindow* window, std::function<bool(bool forward)> handler);

// Gives a page the keyboard focus as a whole, no link of it focused.
void FocusPage(wxWebView* view);

// Whether the page has the keyboard focus within its window. (The toolkit's
// own record of the focus does not follow a web view.)
bool PageHasFocus(const wxWebView* view);

// Keys pressed while a page has the focus go to handler first, as a
// wxEVT_CHAR_HOOK event carrying the key code and modifiers; the page sees
// only those for which it returns false. (WebKit takes keys before the
// toolkit's own key preview could see them.)
void WhenKeyPressedInPage(wxWebView* view, std::function<bool(const wxKeyEvent&)> handler);
