// Zooming a pane: its view fills the window below the URL bar while every
// other pane and the top strip are hidden. Whether a pane is zoomed is read
// from its Open button's caption.

#include "failure.h"
#include "find_bar.h"
#include "main_window.h"
#include "main_window_geometry.h"
#include "twips.h"
#include "wx_placement.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/textctrl.h>

void MainWindow::OnOpenOrClosePane(PaneIndex index) {
    if (openButtons.at(index)->GetLabel() == L"Open") {
        try {
            ZoomPane(index);
        } catch (const std::exception& failure) {
            ReportSwallowedFailure({__FILE__, __LINE__, __func__}, failure.what());
            // A zoom that cannot be completed (a window too small for the
            // stretched view) is undone rather than left half made.
            IgnoreFailure([&] { RestorePanes(index); });
        }
    } else {
        RestorePanes(index);
    }
}

void MainWindow::ReapplyZoom(PaneIndex index) {
    if (index == -1)
        return;
    if (openButtons.at(index)->GetLabel() == L"Close")
        ZoomPane(index);
    else
        RestorePanes(index);
}

void MainWindow::ZoomPane(PaneIndex i) {
    BrowserView& view = *paneViews.at(i);
    zoom.zoomedPane = i;
    urlTimer.Start(1000);
    zoom.savedTop = WholeTwips(view.Top());
    zoom.savedHeight = WholeTwips(view.Height());
    zoom.savedLeft = WholeTwips(view.Left());
    urlBar->Show();
    urlBox->ChangeValue(wxString(view.LocationURL()));
    // The zoomed pane's own controls stay shown throughout: hiding the one
    // with the focus, even for a moment, would leave no control with it.
    for (PaneIndex k = 0; k < PaneCount; ++k) {
        paneButtonColumns[k]->Show(k == i);
        paneViews[k]->SetVisible(k == i);
    }
    searchPanel->Hide();
    enginePanel->Hide();
    hintPanel->Hide();
    // The view starts just below the URL bar and is stretched down by the
    // window's outer height less its own row height.
    view.SetTop(WxPlacement(urlBar).Height() + MainWindowGeometry::ZoomedViewGap);
    view.SetHeight(WxPlacement(this).Height() - static_cast<float>(zoom.savedHeight));
    openButtons[i]->SetLabel(L"Close");
    DescribePaneButtons(i);
    if (findBar)
        findBar->FollowZoom();
}

void MainWindow::RestorePanes(PaneIndex i) {
    BrowserView& view = *paneViews.at(i);
    urlBar->Hide();
    urlTimer.Stop();
    view.SetTop(static_cast<float>(zoom.savedTop));
    view.SetHeight(static_cast<float>(zoom.savedHeight));
    view.SetLeft(static_cast<float>(zoom.savedLeft));
    for (PaneIndex k = 0; k < PaneCount; ++k) {
        paneButtonColumns[k]->Show();
        paneViews[k]->SetVisible(true);
    }
    searchPanel->Show();
    enginePanel->Show();
    hintPanel->Show();
    openButtons[i]->SetLabel(L"Open");
    DescribePaneButtons(i);
    zoom.zoomedPane = -1;
    if (findBar)
        findBar->FollowZoom();
}
