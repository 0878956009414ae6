#include "desktop.h"
#include "main_window.h"
#include "pane_layout.h"
#include "work_area_fit.h"
#include "wx_placement.h"

#include <wx/panel.h>

void MainWindow::ArrangePanes() {
    WxPlacement window(this);
    WxPlacement topStrip(searchPanel);
    PaneArray<WxPlacement> columns{WxPlacement(paneButtonColumns[0]), WxPlacement(paneButtonColumns[1]),
                                   WxPlacement(paneButtonColumns[2]), WxPlacement(paneButtonColumns[3]),
                                   WxPlacement(paneButtonColumns[4])};
    PaneLayoutControls controls{window, topStrip, {}, {}};
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        controls.buttonColumns[i] = &columns[i];
        controls.views[i] = paneViews[i].get();
    }
    ::ArrangePanes(controls, [this] { ReapplyZoom(zoom.zoomedPane); });
}

// A window lower than its top strip or narrower than two button columns is
// one the toolkit has not given its size yet (or one dragged through a size
// that holds nothing): there is nothing to lay out, and nothing failed.
void MainWindow::OnResize() {
    const WxPlacement window(this);
    if (window.Height() < WxPlacement(searchPanel).Height() ||
        window.Width() < 2 * WxPlacement(paneButtonColumns[0]).Width())
        return;
    ArrangePanes();
}
