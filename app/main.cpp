#include "form1.h"

#include <wx/app.h>

namespace {

class ScoutwellApp : public wxApp {
public:
    bool OnInit() override {
        // The command line is not read: no wxApp::OnInit, which would parse it.
        auto* form1 = new Form1();
        form1->Form_Load();
        form1->Show();
        return true;
    }
};

} // namespace

wxIMPLEMENT_APP(ScoutwellApp);
