#include "main_window.h"

#include "compact_style.h"
#include "engine_catalogue.h"
#include "failure.h"
#include "find_bar.h"
#include "keyword_suggestions.h"
#include "main_window_colours.h"
#include "main_window_geometry.h"
#include "page_focus.h"
#include "program_resources.h"
#include "run_mode.h"
#include "splash_window.h"
#include "twip_rect.h"
#include "window_keys.h"
#include "work_area_fit.h"
#include "wx_desktop.h"
#include "wx_placement.h"

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/webview.h>

#include <algorithm>
#include <utility>

namespace {

using namespace MainWindowColours;

namespace Layout = MainWindowGeometry;

wxPanel* NewPanel(wxWindow* parent, const wxColour& colour, const TwipRect& rect) {
    auto* panel = new wxPanel(parent, wxID_ANY, PixelPosition(rect), PixelSize(rect), wxBORDER_NONE);
    panel->SetBackgroundColour(colour);
    return panel;
}

wxStaticText* NewLabel(wxWindow* parent, const wxString& caption, const TwipRect& rect, long style = 0) {
    return new wxStaticText(parent, wxID_ANY, caption, PixelPosition(rect), PixelSize(rect),
                            style | wxST_NO_AUTORESIZE);
}

wxButton* NewButton(wxWindow* parent, const wxString& caption, const TwipRect& rect) {
    return new wxButton(parent, wxID_ANY, caption, PixelPosition(rect), PixelSize(rect));
}

// The hint text, exactly as shown to the user, double spaces included.
const wchar_t* const HintText =
    L"Quick Hints: Left-Click will allow you to surf within the same browser window.  Right-Click gives you "
    L"the options to Open in a New Window, which will open your regular browser,  Right-Click gives other "
    L"options also.  Use Open to expand the browser window.";

const PaneArray<const wchar_t*> InitialEngineTexts = {L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search",
                                                      L"Dogpile"};

} // namespace

MainWindow::MainWindow(std::filesystem::path programFolder)
    : wxFrame(nullptr, wxID_ANY, wxString(IsPrivateRun() ? L"Scoutwell (private)" : L"Scoutwell")),
      m_programFolder(std::move(programFolder)) {
    SetIcons(ProgramIcon());
    // Children created from here on inherit the window's default font.
    SetFont(CompactFont());
    SetBackgroundColour(Black);
    SetClientSize(PixelSize(Layout::ClientArea));

    CreateTopStrip();
    CreatePaneRows();
    CreateUrlBar();
    recentSearches = std::make_unique<RecentSearchesList>(keywordsBox, [this] { OnSearch(); });
    BindHandlers();
    suggestions = std::make_unique<KeywordSuggestions>(*this);
    UseCompactStyle(this);
    DescribeControls();
    FitCaptions();
    OfferAddingEngines();
    findBar = std::make_unique<FindBar>(*this);
    // Find comes after the top strip's own controls, then the bar's.
    m_tabOrder.insert(std::find(m_tabOrder.begin(), m_tabOrder.end(), helpButton) + 1,
                      {findBar->findButton, findBar->findBox, findBar->previousButton, findBar->nextButton,
                       findBar->closeButton});
}

// The views are released before the toolkit destroys the child windows: no
// layout may run on them from here on.
MainWindow::~MainWindow() {
    urlTimer.Stop();
    Unbind(wxEVT_SIZE, &MainWindow::OnSize, this);
}

void MainWindow::CreateTopStrip() {
    searchPanel = NewPanel(this, Black, Layout::SearchPanel);
    keywordsLabel = NewLabel(searchPanel, L"Enter keywords here:", Layout::KeywordsLabel);
    keywordsLabel->SetForegroundColour(White);
    keywordsBox = new wxTextCtrl(searchPanel, wxID_ANY, wxString(), PixelPosition(Layout::KeywordsBox),
                                 PixelSize(Layout::KeywordsBox));
    searchButton = NewButton(searchPanel, L"Search", Layout::SearchButton);

    enginePanel = NewPanel(this, Black, Layout::EnginePanel);
    wxArrayString engineNames;
    for (const EngineEntry& entry : EngineCatalogue())
        engineNames.Add(wxString(std::wstring(entry.DisplayName)));
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        const float right = Layout::ChooserStep * static_cast<float>(i);
        chooserNumbers[i] =
            NewLabel(enginePanel, wxString::Format("%d", i + 1), Shifted(Layout::ChooserNumber, right, 0));
        chooserNumbers[i]->SetForegroundColour(White);
        const TwipRect chooser = Shifted(Layout::EngineChooser, right, 0);
        engineChoosers[i] =
            new wxComboBox(enginePanel, wxID_ANY, wxString(InitialEngineTexts[i]), PixelPosition(chooser),
                           PixelSize(chooser), engineNames, wxCB_DROPDOWN);
    }
    helpButton = NewButton(enginePanel, L"Help", Layout::HelpButton);
    saveButton = NewButton(enginePanel, L"Save", Layout::SaveButton);

    hintPanel = NewPanel(this, White, Layout::HintPanel);
    hintLabel = NewLabel(hintPanel, HintText, Layout::HintLabel);
    // Fixed black on the fixed white panel, whatever the theme's text colour.
    hintLabel->SetForegroundColour(Black);
}

void MainWindow::CreatePaneRows() {
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        const float down = Layout::PaneRowStep * static_cast<float>(i);
        paneButtonColumns[i] = NewPanel(this, DarkRed, Shifted(Layout::PaneButtonColumn, 0, down));
        openButtons[i] = NewButton(paneButtonColumns[i], L"Open", Layout::OpenButton);
        forwardButtons[i] = NewButton(paneButtonColumns[i], L"Fwd", Layout::ForwardButton);
        backButtons[i] = NewButton(paneButtonColumns[i], L"Back", Layout::BackButton);
        stopButtons[i] = NewButton(paneButtonColumns[i], L"Stop", Layout::StopButton);

        paneViews[i] = std::make_unique<WebKitBrowserView>(this);
        paneViews[i]->View()->SetSize(InPixels(Shifted(Layout::PaneView, 0, down)));
        if (paneViews[i]->View()->CanSetZoomType(wxWEBVIEW_ZOOM_TYPE_TEXT))
            paneViews[i]->View()->SetZoomType(wxWEBVIEW_ZOOM_TYPE_TEXT);
    }
}

void MainWindow::CreateUrlBar() {
    urlBar = NewPanel(this, DarkRed, Layout::UrlBar);
    openInBrowserButton = NewButton(urlBar, L"Load in Web Browser", Layout::OpenInBrowserButton);
    urlBox = new wxTextCtrl(urlBar, wxID_ANY, wxString(), PixelPosition(Layout::UrlBox),
                            PixelSize(Layout::UrlBox), wxTE_MULTILINE | wxHSCROLL | wxTE_DONTWRAP);
    urlLabel = NewLabel(urlBar, L"Current URL:", Layout::UrlLabel, wxALIGN_RIGHT);
    urlLabel->SetForegroundColour(White);
    urlBar->Hide();

    // The tab order by the controls' tab indexes; panels and labels take no focus.
    std::vector<std::pair<int, wxWindow*>> byTabIndex{
        {2, keywordsBox}, {3, searchButton}, {5, engineChoosers[0]},
        {15, saveButton}, {43, helpButton},  {50, openInBrowserButton},
        {51, urlBox}};
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        if (i > 0)
            byTabIndex.emplace_back(10 + i, engineChoosers[i]);
        const int base = 5 * i;
        byTabIndex.emplace_back(i == 0 ? 19 : 22 + base, openButtons[i]);
        byTabIndex.emplace_back(i == 0 ? 20 : 21 + base, forwardButtons[i]);
        byTabIndex.emplace_back(i == 0 ? 21 : 20 + base, backButtons[i]);
        byTabIndex.emplace_back(i == 0 ? 22 : 19 + base, stopButtons[i]);
        byTabIndex.emplace_back(44 + i, paneViews[i]->View());
    }
    std::sort(byTabIndex.begin(), byTabIndex.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [index, window] : byTabIndex)
        m_tabOrder.push_back(window);
}

void MainWindow::BindHandlers() {
    // Handlers run from the event loop: a failure in one ends that handler and
    // never the program.
    auto onClick = [](wxButton* button, auto handler) {
        button->Bind(wxEVT_BUTTON, [handler](wxCommandEvent&) { IgnoreFailure(handler); });
    };
    onClick(searchButton, [this] { OnSearch(); });
    onClick(saveButton, [this] { OnSave(); });
    onClick(helpButton, [this] { OnHelp(); });
    onClick(openInBrowserButton, [this] { OnOpenInBrowser(); });
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        onClick(openButtons[i], [this, i] { OnOpenOrClosePane(i); });
        onClick(backButtons[i], [this, i] { OnBack(i); });
        onClick(forwardButtons[i], [this, i] { OnForward(i); });
        onClick(stopButtons[i], [this, i] { OnStop(i); });
    }
    keywordsBox->Bind(wxEVT_CHAR, [this](wxKeyEvent& event) {
        IgnoreFailure([&] { OnKeywordsKey(event.GetUnicodeKey()); });
        event.Skip(); // the box still handles the key in its own way
    });
    for (PaneIndex i = 0; i < PaneCount; ++i)
        engineChoosers[i]->Bind(wxEVT_TEXT, [this, i](wxCommandEvent& event) {
            IgnoreFailure([&] { OnChooserText(i); });
            event.Skip();
        });
    Bind(wxEVT_CHAR_HOOK, &MainWindow::OnCharHook, this);
    KeepAControlFocused(this, [this]() -> wxWindow* {
        return zoom.zoomedPane >= 0 ? static_cast<wxWindow*>(openButtons[zoom.zoomedPane]) : keywordsBox;
    });
    for (const auto& view : paneViews)
        WhenKeyPressedInPage(view->View(), [this](const wxKeyEvent& event) {
            bool handled = false;
            IgnoreFailure([&] { handled = OnKeyCommand(event); });
            return handled;
        });
    // Once WebKit is done with the key that takes the focus out of a page,
    // which may ask more than once for the same key.
    WhenFocusLeavesPage(this, [this](bool forward) {
        if (!m_focusLeavingPage) {
            m_focusLeavingPage = true;
            CallAfter([this, forward] {
                m_focusLeavingPage = false;
                IgnoreFailure([&] { MoveFocus(forward); });
            });
        }
        return true;
    });
    urlTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { IgnoreFailure([this] { OnUrlTimer(); }); });
    const auto listEngines = [this](wxTimerEvent&) { IgnoreFailure([this] { ListMoreEngines(); }); };
    m_engineReadTimer.Bind(wxEVT_TIMER, listEngines);
    Bind(wxEVT_SIZE, &MainWindow::OnSize, this);
}

void MainWindow::OnSize(wxSizeEvent& event) {
    IgnoreFailure([this] { OnResize(); });
    event.Skip();
}

void MainWindow::PrepareFirstShow() {
    PrepareBehindSplash();
    IgnoreFailure([] { ShowSplashModal(); });
}

// Everything the window needs before it is first shown, in this order. The
// engine table is a constant of the program and needs no step here; the
// engines added beside it are read from their folders. None of
// the steps may keep the program from starting: each one that fails is left
// out and the next still runs.
void MainWindow::PrepareBehindSplash() {
    zoom.zoomedPane = -1; // before any layout: every layout ends by consulting it
    IgnoreFailure([this] { ReadAddedEngines(); });
    IgnoreFailure([this] { LoadEngineSelection(); }); // marked once the added engines are listed
    IgnoreFailure([this] {
        WxPlacement window(this);
        FitToWorkArea(window, WxDesktop());
    });
    IgnoreFailure([this] { ArrangePanes(); });
}
