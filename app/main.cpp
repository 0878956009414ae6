#include "compact_style.h"
#include "failure.h"
#include "form1.h"
#include "program_folder.h"

#include <wx/app.h>

namespace {

class ScoutwellApp : public wxApp {
public:
    // wxApp::OnInit is not called: the program takes no command line.
    bool OnInit() override {
        ApplyCompactStyle();
        // The main window is created hidden and stays hidden while it loads,
        // which includes the splash: it appears fitted and laid out.
        std::filesystem::path folder; // without it, files are looked for in the current folder
        IgnoreFailure([&] { folder = ProgramFolder(); });
        auto* form1 = new Form1(folder);
        form1->Form_Load();
        // A window manager may place a new window where it likes and learns
        // the size of its own decorations only once the window is up: ask
        // again for the place the window was fitted to.
        const wxRect fitted = form1->GetRect();
        form1->Show();
        form1->SetSize(fitted);
        return true;
    }
};

} // namespace

wxIMPLEMENT_APP(ScoutwellApp);
