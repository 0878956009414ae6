#include "pane_layout.h"

#include "failure.h"
#include "placement.h"

void ArrangePanes(const PaneLayoutControls& c, const std::function<void()>& reapplyZoom) {
    const float stripHeight = c.frame1.Height();
    const float columnWidth = c.frame4[0]->Width();
    Placement& pane0 = *c.webBrowser[0];

    IgnoreFailure([&] { pane0.SetTop(stripHeight); });
    IgnoreFailure([&] { pane0.SetLeft(columnWidth); });
    // Five rows take 5/5.5 of the height below the strip; the half row left
    // over covers the title bar and borders, as the height is the outer one.
    IgnoreFailure([&] {
        pane0.SetHeight(static_cast<float>((static_cast<double>(c.window.Height()) - c.frame1.Height()) / 5.5));
    });

    // Every row takes the height pane 0 really holds, so rows abut exactly
    // even where the view rounded what it was given.
    for (PaneIndex k : {2, 1, 3, 4}) {
        Placement& pane = *c.webBrowser[k];
        IgnoreFailure([&] { pane.SetTop(static_cast<float>(k) * pane0.Height() + stripHeight); });
        IgnoreFailure([&] { pane.SetLeft(columnWidth); });
        IgnoreFailure([&] { pane.SetHeight(pane0.Height()); });
    }

    for (PaneIndex i = 0; i < PaneCount; ++i) {
        IgnoreFailure([&] { c.frame4[i]->SetTop(c.webBrowser[i]->Top()); });
        IgnoreFailure([&] { c.webBrowser[i]->SetWidth(c.window.Width() - 2 * c.frame4[i]->Width()); });
    }

    // A failure inside ends the re-zoom and this run, silently.
    IgnoreFailure(reapplyZoom);
}
