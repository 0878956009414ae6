// While a pane is zoomed, the URL bar follows its page and can hand the page
// to the user's own browser.

#include "desktop_launch.h"
#include "main_window.h"
#include "web_address.h"

#include <wx/textctrl.h>

void MainWindow::OnUrlTimer() {
    urlBox->ChangeValue(wxString(paneViews.at(zoom.zoomedPane)->LocationURL()));
}

// The view's own address is handed over, never the box's text, which the
// user may have edited. Only web addresses go: a page could otherwise have
// the desktop open a local file or start a program through a custom scheme.
void MainWindow::OnOpenInBrowser() {
    const std::wstring address = paneViews.at(zoom.zoomedPane)->LocationURL();
    if (IsWebAddress(address))
        OpenWithDesktop(this, address);
}
