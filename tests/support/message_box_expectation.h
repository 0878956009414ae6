#pragma once

#include <wx/msgdlg.h>
#include <wx/testing.h>

// Expects one message box, records what it said and how, and dismisses it with OK.
struct SeenMessageBox {
    wxString message;
    long style = 0;
};

class ExpectMessageBox : public wxExpectModalBase<wxMessageDialog, ExpectMessageBox> {
public:
    explicit ExpectMessageBox(SeenMessageBox* seen) : m_seen(seen) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        m_seen->message = dialog->GetMessage();
        m_seen->style = dialog->GetMessageDialogStyle();
        return wxID_OK;
    }

private:
    SeenMessageBox* m_seen;
};
