// Starts a main window the way the program does, from a given program folder,
// and prints what its engine choosers show, one per line in UTF-8; a test
// runs it as a second process to see what a new start of the program sees.
//     startup_probe FOLDER

#include "compact_style.h"
#include "main_window.h"
#include "splash_window.h"

#include <wx/app.h>
#include <wx/combobox.h>
#include <wx/testing.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: startup_probe FOLDER\n");
        return 2;
    }
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv))
        return 1;
    ApplyCompactStyle();
    auto* form = new MainWindow(wxString::FromUTF8(argv[1]).ToStdWstring());
    // The splash has nothing to do with what is read: dismiss it at once.
    wxTEST_DIALOG(form->PrepareFirstShow(), wxExpectDismissableModal<SplashWindow>(wxID_OK));
    for (PaneIndex i = 0; i < PaneCount; ++i)
        std::printf("%s\n", form->engineChoosers[i]->GetValue().utf8_string().c_str());
    form->Destroy();
    wxEntryCleanup();
    return 0;
}
