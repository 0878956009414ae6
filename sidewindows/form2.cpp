#include "form2.h"

#include "compact_style.h"
#include "failure.h"
#include "product_info.h"
#include "program_resources.h"
#include "rich_text_viewer.h"
#include "shell_open.h"
#include "twips.h"

#include <wx/button.h>
#include <wx/frame.h> // wxFRAME_NO_TASKBAR, which dialogs honour too

#include <utility>

namespace {

Form2* g_instance = nullptr;

constexpr const wchar_t* HelpFileName = L"help.rtf";

wxRect TwipsRect(float left, float top, float width, float height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

} // namespace

Form2::Form2(std::filesystem::path programFolder)
    // A fixed border with a close button only; no owner, so it lives on when
    // the main window closes.
    : wxDialog(nullptr, wxID_ANY, wxString(L"Help"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxFRAME_NO_TASKBAR | wxDIALOG_NO_PARENT),
      m_programFolder(std::move(programFolder)) {
    SetName(L"Form2");
    SetIcons(ProgramIcon());
    SetFont(CompactFont());
    SetClientSize(TwipsToPixels(6870), TwipsToPixels(6315));

    const wxRect viewerRect = TwipsRect(120, 120, 6615, 4935);
    RichTextBox1 = new RichTextViewer(this, wxID_ANY, viewerRect.GetPosition(), viewerRect.GetSize());
    RichTextBox1->SetRtf(HelpDocument());

    const wxString captions[] = {L"Click here to go to the Scoutwell website",
                                 wxString(L"E-Mail ") + MakerName};
    const float tops[] = {5160, 5760};
    for (int index = 0; index < 2; ++index) {
        const wxRect rect = TwipsRect(120, tops[index], 3375, 495);
        Command1[index] = new wxButton(this, wxID_ANY, captions[index], rect.GetPosition(), rect.GetSize());
        Command1[index]->Bind(
            wxEVT_BUTTON, [this, index](wxCommandEvent&) { IgnoreFailure([&] { Command1_Click(index); }); });
    }
    // The order of creation is the tab order.
    m_tabOrder = {RichTextBox1, Command1[0], Command1[1]};

    // Closing unloads the window for good; a dialog would only hide.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Destroy(); });

    // Shown with no owner to centre on.
    CentreOnScreen();
    g_instance = this;
}

Form2::~Form2() {
    if (g_instance == this)
        g_instance = nullptr;
}

Form2* Form2::Instance() { return g_instance; }

bool Form2::Destroy() {
    if (g_instance == this)
        g_instance = nullptr;
    return wxDialog::Destroy();
}

bool Form2::Show(bool show) {
    if (show && !m_loaded) {
        m_loaded = true;
        IgnoreFailure([this] { Form_Load(); });
    }
    const bool changed = wxDialog::Show(show);
    if (show && changed)
        RichTextBox1->SetFocus();
    return changed;
}

// A file that is missing or cannot be read leaves the built-in copy in view.
void Form2::Form_Load() {
    RichTextBox1->LoadFile(wxString((m_programFolder / HelpFileName).wstring()));
}

void Form2::Command1_Click(int index) {
    std::wstring target;
    switch (index) {
    case 0: target = HomePageUrl; break;
    case 1: target = std::wstring(L"mailto:") + ContactAddress; break;
    default: return;
    }
    ShellOpen(this, L"Open", target, L"", m_programFolder, ShowNormal);
}
