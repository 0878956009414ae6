// While a pane is zoomed, the URL bar follows its page and can hand the page
// to the user's own browser.

#include "form1.h"
#include "shell_open.h"
#include "web_address.h"

#include <wx/textctrl.h>

void Form1::Timer1_Timer() {
    Text2->ChangeValue(wxString(WebBrowser.at(Zoom.ZoomedIndex)->LocationURL()));
}

// The view's own address is handed over, never the box's text, which the
// user may have edited. Only web addresses go: a page could otherwise have
// the desktop open a local file or start a program through a custom scheme.
void Form1::Command4_Click() {
    const std::wstring address = WebBrowser.at(Zoom.ZoomedIndex)->LocationURL();
    if (IsWebAddress(address))
        ShellOpen(this, L"Open", address, L"", m_programFolder, ShowNormal);
}
