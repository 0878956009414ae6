// The Help button: the one help window of the run, beside the main window.

#include "form1.h"
#include "form2.h"

// The help window has no owner: the main window stays fully usable beside
// it, and closing either leaves the other open. A window that is open
// already only comes to the front, keeping what it has read.
void Form1::Command3_Click() {
    Form2* help = Form2::Instance();
    if (help == nullptr)
        help = new Form2(m_programFolder);
    if (!help->IsShown())
        help->Show();
    help->Raise();
}
