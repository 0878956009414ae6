// The keyboard alone: every control in tab order, and the shortcuts that
// work wherever the focus is.

#include "failure.h"
#include "find_bar.h"
#include "keyword_suggestions.h"
#include "main_window.h"
#include "page_focus.h"
#include "recent_searches_list.h"
#include "window_keys.h"

#include <wx/panel.h>
#include <wx/textctrl.h>
#include <wx/webview.h>

#include <algorithm>

namespace {

constexpr double PageTextStep = 1.1;
constexpr double SmallestPageText = 0.5;
constexpr double LargestPageText = 3.0;

} // namespace

void MainWindow::OnCharHook(wxKeyEvent& event) {
    bool handled = false;
    IgnoreFailure([&] { handled = OnKeyCommand(event); });
    if (!handled)
        event.Skip();
}

bool MainWindow::OnKeyCommand(const wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    const int modifiers = event.GetModifiers();
    const int withoutShift = modifiers & ~wxMOD_SHIFT;
    if (key == WXK_TAB) {
        if (withoutShift != wxMOD_NONE && withoutShift != wxMOD_CONTROL)
            return false;
        // Plain Tab in a page moves through its links; the page hands the
        // focus back past its last link (WhenFocusLeavesPage).
        if (withoutShift == wxMOD_NONE && dynamic_cast<wxWebView*>(FocusedControl()) != nullptr)
            return false;
        MoveFocus((modifiers & wxMOD_SHIFT) == 0);
        return true;
    }
    if (IsQuitKey(event)) {
        CloseEveryWindow();
        return true;
    }
    // A list under the keyword box takes Escape, Enter and the arrows itself.
    if (recentSearches->IsShown() || suggestions->Popup().IsShown())
        return false;
    if (findBar->OnKey(event))
        return true;
    if (key == WXK_F1 && modifiers == wxMOD_NONE) {
        OnHelp();
        return true;
    }
    if ((modifiers == wxMOD_CONTROL && key == 'L') || (modifiers == wxMOD_ALT && key == 'D')) {
        FocusKeywords();
        return true;
    }
    if (modifiers == wxMOD_CONTROL && key >= '1' && key < '1' + PaneCount) {
        wxWebView* view = paneViews[key - '1']->View();
        if (view->IsShownOnScreen())
            FocusPage(view);
        return true;
    }
    if (key == WXK_ESCAPE && modifiers == wxMOD_NONE && zoom.zoomedPane >= 0) {
        OnOpenOrClosePane(zoom.zoomedPane);
        return true;
    }
    const PaneIndex pane = FocusedPane();
    if (pane < 0)
        return false;
    if (modifiers == wxMOD_ALT && (key == WXK_LEFT || key == WXK_RIGHT)) {
        key == WXK_LEFT ? OnBack(pane) : OnForward(pane);
        return true;
    }
    if (withoutShift != wxMOD_CONTROL)
        return false;
    if (key == '+' || key == '=' || key == WXK_NUMPAD_ADD)
        ZoomPageText(pane, 1);
    else if (key == '-' || key == WXK_NUMPAD_SUBTRACT)
        ZoomPageText(pane, -1);
    else if (key == '0' || key == WXK_NUMPAD0)
        ZoomPageText(pane, 0);
    else
        return false;
    return true;
}

wxWindow* MainWindow::FocusedControl() const {
    for (const auto& view : paneViews)
        if (PageHasFocus(view->View()))
            return view->View();
    return FindFocus();
}

void MainWindow::MoveFocus(bool forward) {
    wxWindow* focus = FocusedControl();
    auto current = std::find_if(m_tabOrder.begin(), m_tabOrder.end(), [focus](wxWindow* w) {
        return focus != nullptr && (w == focus || w->IsDescendant(focus));
    });
    const auto count = static_cast<std::ptrdiff_t>(m_tabOrder.size());
    std::ptrdiff_t position = current == m_tabOrder.end() ? (forward ? -1 : 0) : current - m_tabOrder.begin();
    for (std::ptrdiff_t tries = 0; tries < count; ++tries) {
        position = (position + (forward ? 1 : count - 1)) % count;
        wxWindow* candidate = m_tabOrder[position];
        if (!candidate->IsShownOnScreen() || !candidate->IsEnabled())
            continue;
        // A page takes the focus once the key that moved it is done with:
        // WebKit would otherwise act on that key once more, inside the page.
        // It then holds the focus as a whole, and the next Tab goes to its
        // first link, Shift+Tab to its last.
        if (auto* view = dynamic_cast<wxWebView*>(candidate))
            CallAfter([view] { FocusPage(view); });
        else
            candidate->SetFocus();
        return;
    }
}

PaneIndex MainWindow::FocusedPane() const {
    wxWindow* focus = FocusedControl();
    for (PaneIndex i = 0; i < PaneCount && focus != nullptr; ++i) {
        const wxWindow* view = paneViews[i]->View();
        if (focus == view || view->IsDescendant(focus) || paneButtonColumns[i]->IsDescendant(focus))
            return i;
    }
    return zoom.zoomedPane;
}

void MainWindow::ZoomPageText(PaneIndex index, int step) {
    wxWebView* view = paneViews.at(index)->View();
    double factor = 1.0;
    if (step != 0)
        factor = std::clamp(view->GetZoomFactor() * (step > 0 ? PageTextStep : 1 / PageTextStep),
                            SmallestPageText, LargestPageText);
    view->SetZoomFactor(factor);
}

// The keyword box lies under the URL bar while a pane is zoomed: the pane
// goes back to its row first.
void MainWindow::FocusKeywords() {
    if (zoom.zoomedPane >= 0)
        OnOpenOrClosePane(zoom.zoomedPane);
    keywordsBox->SetFocus();
    keywordsBox->SelectAll();
}
