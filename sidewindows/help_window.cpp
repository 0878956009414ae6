#include "help_window.h"

#include "accessibility.h"
#include "compact_style.h"
#include "desktop_launch.h"
#include "failure.h"
#include "help_geometry.h"
#include "product_info.h"
#include "program_resources.h"
#include "rich_text_viewer.h"
#include "twip_rect.h"
#include "window_keys.h"
#include "xdg_folders.h"

#include <wx/button.h>
#include <wx/frame.h> // wxFRAME_NO_TASKBAR, which dialogs honour too

#include <algorithm>
#include <string>
#include <utility>

namespace {

HelpWindow* g_instance = nullptr;
namespace Layout = HelpGeometry;

} // namespace

HelpWindow::HelpWindow(std::filesystem::path programFolder)
    // A fixed border with a close button only; no owner, so it lives on when
    // the main window closes.
    : wxDialog(nullptr, wxID_ANY, wxString(L"Help"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxFRAME_NO_TASKBAR | wxDIALOG_NO_PARENT),
      m_programFolder(std::move(programFolder)) {
    SetName(L"HelpWindow");
    SetIcons(ProgramIcon());
    SetFont(CompactFont());
    SetClientSize(PixelSize(Layout::ClientArea));

    documentView = new RichTextViewer(this, wxID_ANY, PixelPosition(Layout::DocumentView),
                                      PixelSize(Layout::DocumentView));
    documentView->SetRtf(HelpDocument());

    auto newButton = [this](const wxString& caption, const TwipRect& rect, void (HelpWindow::*handler)()) {
        auto* button = new wxButton(this, wxID_ANY, caption, PixelPosition(rect), PixelSize(rect));
        button->Bind(wxEVT_BUTTON,
                     [this, handler](wxCommandEvent&) { IgnoreFailure([&] { (this->*handler)(); }); });
        return button;
    };
    websiteButton = newButton(L"Click here to go to the Scoutwell website", Layout::WebsiteButton,
                              &HelpWindow::OnWebsite);
    emailButton = newButton(wxString(L"E-Mail ") + MakerName, Layout::EmailButton, &HelpWindow::OnEmail);
    m_tabOrder = {documentView, websiteButton, emailButton};
    SetAccessibleName(documentView, L"Help text");
    websiteButton->SetToolTip(wxString(L"Open ") + HomePageUrl + L" in your web browser");
    emailButton->SetToolTip(wxString(L"Write to ") + ContactAddress);

    // Escape closes the window from any of its controls, Ctrl+Q the program.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers())
            Close();
        else if (IsQuitKey(event))
            CloseEveryWindow();
        else
            event.Skip();
    });

    // Closing unloads the window for good; a dialog would only hide.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Destroy(); });

    // Shown with no owner to centre on.
    CentreOnScreen();
    g_instance = this;
}

HelpWindow::~HelpWindow() {
    if (g_instance == this)
        g_instance = nullptr;
}

HelpWindow* HelpWindow::Instance() {
    return g_instance;
}

bool HelpWindow::Destroy() {
    if (g_instance == this)
        g_instance = nullptr;
    return wxDialog::Destroy();
}

bool HelpWindow::Show(bool show) {
    if (show && !m_loaded) {
        m_loaded = true;
        IgnoreFailure([this] { LoadDocument(); });
    }
    const bool changed = wxDialog::Show(show);
    if (show && changed)
        documentView->SetFocus();
    return changed;
}

// The first help.rtf found beside the program, in the user's data folder or in
// the system's; with none, or one that cannot be shown, the built-in copy stays.
void HelpWindow::LoadDocument() {
    const auto file = FindHelpDocument(m_programFolder, FindXdgFolders());
    if (!file)
        throw ScoutwellError(
            "help.rtf is in none of the folders it is looked for in; the built-in copy is shown");
    if (!documentView->ShowFile(wxString(file->wstring()))) {
        std::string where = file->string();
        std::replace(where.begin(), where.end(), '\n', ' '); // the report is one line
        throw ScoutwellError(where + " was found but could not be shown; the built-in copy is shown");
    }
}

void HelpWindow::OnWebsite() {
    OpenWithDesktop(this, HomePageUrl);
}

void HelpWindow::OnEmail() {
    OpenWithDesktop(this, std::wstring(L"mailto:") + ContactAddress);
}
