#include "compact_style.h"
#include "form1.h"

#include <wx/app.h>

namespace {

class ScoutwellApp : public wxApp {
public:
    // wxApp::OnInit is not called: the program takes no command line.
    bool OnInit() override {
        ApplyCompactStyle();
        auto* form1 = new Form1();
        form1->Form_Load();
        form1->Show();
        return true;
    }
};

} // namespace

wxIMPLEMENT_APP(ScoutwellApp);
