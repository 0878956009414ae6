#include "find_bar.h"

#include "accessibility.h"
#include "failure.h"
#include "main_window.h"
#include "main_window_colours.h"
#include "main_window_geometry.h"
#include "text_fit.h"
#include "twip_rect.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/webview.h>

namespace {

// No search made since the bar was opened: the pages may have changed.
constexpr PaneIndex NotSearched = -2;

using namespace MainWindowColours;
using namespace MainWindowGeometry;

void Place(wxWindow* control, const TwipRect& rect, float down = 0) {
    control->SetSize(InPixels(Shifted(rect, 0, down)));
}

} // namespace

FindBar::FindBar(MainWindow& window) : m_window(window) {
    findButton = new wxButton(window.searchPanel, wxID_ANY, L"Find in Pages", PixelPosition(FindButton),
                              PixelSize(FindButton));
    panel = new wxPanel(&window, wxID_ANY, PixelPosition(MainWindowGeometry::HintPanel),
                        PixelSize(MainWindowGeometry::HintPanel), wxBORDER_NONE);
    panel->Hide();
    findLabel =
        new wxStaticText(panel, wxID_ANY, L"Find:", wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
    findBox = new wxTextCtrl(panel, wxID_ANY, wxString());
    previousButton = new wxButton(panel, wxID_ANY, L"Previous");
    nextButton = new wxButton(panel, wxID_ANY, L"Next");
    closeButton = new wxButton(panel, wxID_ANY, L"Close");
    countsLabel =
        new wxStaticText(panel, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
    FollowZoom();

    SetAccessibleText(findButton, L"Find in pages", L"Find text in the pages of all panes (Ctrl+F)");
    SetAccessibleText(findBox, L"Find in pages",
                      L"The text to find in every pane; Enter goes to the next match, Shift+Enter to the "
                      L"previous one, Escape closes");
    SetAccessibleText(previousButton, L"Previous match",
                      L"Go to the previous match in every pane (Shift+Enter, Shift+F3)");
    SetAccessibleText(nextButton, L"Next match", L"Go to the next match in every pane (Enter, F3)");
    SetAccessibleText(closeButton, L"Close find",
                      L"Close the find bar and take the highlights away (Escape)");
    SetAccessibleText(countsLabel, L"Matches in each pane", L"How often each pane's page has the text");
    for (wxWindow* control : {static_cast<wxWindow*>(findButton), static_cast<wxWindow*>(findLabel),
                              static_cast<wxWindow*>(findBox), static_cast<wxWindow*>(previousButton),
                              static_cast<wxWindow*>(nextButton), static_cast<wxWindow*>(closeButton)})
        FitTextToBox(control);

    for (PaneIndex i = 0; i < PaneCount; ++i)
        m_finds[i] = std::make_unique<PageFind>(window.paneViews[i]->View(), [this, i](unsigned matches) {
            m_counts[i] = matches;
            ShowCounts();
        });
    auto onClick = [](wxButton* button, auto handler) {
        button->Bind(wxEVT_BUTTON, [handler](wxCommandEvent&) { IgnoreFailure(handler); });
    };
    onClick(findButton, [this] { Open(); });
    onClick(previousButton, [this] { Step(false, -1); });
    onClick(nextButton, [this] { Step(true, -1); });
    onClick(closeButton, [this] { Close(); });
    findBox->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { IgnoreFailure([this] { Search(); }); });
    // A pane that shows a new page while the bar is open (a search, Back, a
    // link) is searched again, so its count and highlights are its page's.
    for (PaneIndex i = 0; i < PaneCount; ++i)
        window.paneViews[i]->View()->Bind(wxEVT_WEBVIEW_LOADED, [this, i](wxWebViewEvent& event) {
            event.Skip();
            if (IsOpen() && Searches(i))
                IgnoreFailure([&] {
                    m_counts[i].reset();
                    m_finds[i]->Search(findBox->GetValue().ToStdWstring());
                    ShowCounts();
                });
        });
}

FindBar::~FindBar() = default;

bool FindBar::IsOpen() const {
    return panel->IsShown();
}

void FindBar::Open() {
    if (!IsOpen()) {
        panel->Show();
        m_searchedZoom = NotSearched;
        FollowZoom();
    }
    findBox->SetFocus();
    findBox->SelectAll();
}

void FindBar::Close() {
    if (!IsOpen())
        return;
    const bool hadFocus = HasFocus();
    panel->Hide();
    for (const auto& find : m_finds)
        find->Clear();
    m_counts = {};
    ShowCounts();
    FollowZoom();
    const PaneIndex zoomed = m_window.zoom.zoomedPane;
    if (zoomed < 0)
        m_window.hintPanel->Show();
    if (hadFocus)
        (zoomed < 0 ? static_cast<wxWindow*>(findButton) : m_window.openButtons[zoomed])->SetFocus();
}

// The bar lies over the hints, or over the URL of a zoomed pane; shown, it
// hides what it lies over.
void FindBar::FollowZoom() {
    const bool zoomed = m_window.zoom.zoomedPane >= 0;
    const float down = zoomed ? 0 : BarTopInHints;
    panel->SetSize(InPixels(zoomed ? BarOverUrl : MainWindowGeometry::HintPanel));
    panel->SetBackgroundColour(zoomed ? DarkRed : White);
    for (wxStaticText* label : {findLabel, countsLabel})
        label->SetForegroundColour(zoomed ? White : Black);
    Place(findLabel, FindLabel, down);
    Place(findBox, FindBox, down);
    Place(previousButton, PreviousButton, down);
    Place(nextButton, NextButton, down);
    Place(closeButton, CloseButton, down);
    Place(countsLabel, CountsLabel, down);
    panel->Refresh();
    const float urlBarWidth = zoomed && IsOpen() ? UrlBarBesideFind : MainWindowGeometry::UrlBar.width;
    m_window.urlBar->SetSize(TwipsToPixels(urlBarWidth), m_window.urlBar->GetSize().y);
    if (!IsOpen())
        return;
    if (!zoomed)
        m_window.hintPanel->Hide();
    if (m_searchedZoom != m_window.zoom.zoomedPane)
        Search();
}

bool FindBar::Searches(PaneIndex i) const {
    return m_window.zoom.zoomedPane < 0 || m_window.zoom.zoomedPane == i;
}

void FindBar::Search() {
    const std::wstring text = findBox->GetValue().ToStdWstring();
    m_searchedZoom = m_window.zoom.zoomedPane;
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        m_counts[i].reset();
        if (Searches(i))
            m_finds[i]->Search(text);
        else
            m_finds[i]->Clear();
    }
    ShowCounts();
}

void FindBar::Step(bool forward, PaneIndex pane) {
    for (PaneIndex i = 0; i < PaneCount; ++i)
        if (Searches(i) && (pane < 0 || pane == i))
            m_finds[i]->Step(forward);
}

std::wstring FindBar::CountsText() const {
    if (findBox->IsEmpty() || !IsOpen())
        return {};
    std::wstring text;
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        if (!Searches(i))
            continue;
        if (!text.empty())
            text += L" \u00b7 ";
        text += std::to_wstring(i + 1) + L": ";
        if (!m_counts[i])
            text += L"\u2026";
        else if (*m_counts[i] == 0)
            text += L"none";
        else
            text += std::to_wstring(*m_counts[i]) + (*m_counts[i] >= PageFind::MostMatches ? L"+" : L"");
    }
    return text;
}

void FindBar::ShowCounts() {
    const wxString text(CountsText());
    if (countsLabel->GetLabel() == text)
        return;
    countsLabel->SetLabel(text);
    FitTextToBox(countsLabel);
}

bool FindBar::HasFocus() const {
    wxWindow* focus = m_window.FocusedControl();
    return focus != nullptr && (focus == panel || panel->IsDescendant(focus));
}

bool FindBar::OnKey(const wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    const int modifiers = event.GetModifiers();
    const bool shift = modifiers == wxMOD_SHIFT;
    if (modifiers == wxMOD_CONTROL && key == 'F') {
        Open();
        return true;
    }
    if (key == WXK_F3 && (modifiers == wxMOD_NONE || shift)) {
        if (!IsOpen())
            Open();
        else
            Step(!shift, HasFocus() ? -1 : m_window.FocusedPane());
        return true;
    }
    if (!IsOpen())
        return false;
    if (key == WXK_ESCAPE && modifiers == wxMOD_NONE) {
        Close();
        return true;
    }
    if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && (modifiers == wxMOD_NONE || shift) &&
        m_window.FocusedControl() == findBox) {
        Step(!shift, -1);
        return true;
    }
    return false;
}
