// startup_probe FOLDER: starts a main window as the program does and prints its choosers' texts in UTF-8.

#include "compact_style.h"
#include "main_window.h"
#include "splash_window.h"
#include "wx_desktop.h"

#include <wx/app.h>
#include <wx/combobox.h>
#include <wx/testing.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv))
        return 1;
    ApplyCompactStyle();
    FollowDesktopTextSize();
    auto* form = new MainWindow(wxString::FromUTF8(argv[1]).ToStdWstring());
    wxTEST_DIALOG(form->PrepareFirstShow(), wxExpectDismissableModal<SplashWindow>(wxID_OK));
    for (PaneIndex i = 0; i < PaneCount; ++i)
        std::printf("%s\n", form->engineChoosers[i]->GetValue().utf8_string().c_str());
    while (!form->AllEnginesListed()) // ended only once its work behind the start is done
        wxTheApp->Yield(true);
    form->Destroy();
    wxEntryCleanup();
    return 0;
}
