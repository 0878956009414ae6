// The Help button: the one help window of the run, beside the main window.

#include "help_window.h"
#include "main_window.h"

// The help window has no owner: the main window stays fully usable beside
// it, and closing either leaves the other open. A window that is open
// already only comes to the front, keeping what it has read.
void MainWindow::OnHelp() {
    HelpWindow* help = HelpWindow::Instance();
    if (help == nullptr)
        help = new HelpWindow(m_programFolder);
    if (!help->IsShown())
        help->Show();
    help->Raise();
}
