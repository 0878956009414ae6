#include "compact_style.h"
#include "compositing_choice.h"
#include "failure.h"
#include "form1.h"
#include "gl_renderer.h"
#include "program_folder.h"

#include <wx/app.h>

namespace {

class ScoutwellApp : public wxApp {
public:
    // wxApp::OnInit is not called: the program takes no command line.
    bool OnInit() override {
        // Before the first web view, which is when WebKit settles how it draws:
        // with software OpenGL, compositing costs much memory and time for nothing.
        IgnoreFailure([] { ChooseCompositingMode(QueryGlRenderer); });
        ApplyCompactStyle();
        // The main window is created hidden and stays hidden while it loads,
        // which includes the splash: it appears fitted and laid out.
        std::filesystem::path folder; // without it, files are looked for in the current folder
        IgnoreFailure([&] { folder = ProgramFolder(); });
        auto* form1 = new Form1(folder);
        form1->Form_Load();
        form1->Show();
        return true;
    }
};

} // namespace

wxIMPLEMENT_APP(ScoutwellApp);
