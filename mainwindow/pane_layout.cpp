#include "pane_layout.h"

#include "failure.h"
#include "placement.h"

void ArrangePanes(const PaneLayoutControls& c, const std::function<void()>& reapplyZoom) {
    const float stripHeight = c.topStrip.Height();
    const float columnWidth = c.buttonColumns[0]->Width();
    Placement& pane0 = *c.views[0];

    IgnoreFailure([&] { pane0.SetTop(stripHeight); });
    IgnoreFailure([&] { pane0.SetLeft(columnWidth); });
    // Five rows take 5/5.5 of the height below the strip; the half row left
    // over covers the title bar and borders, as the height is the outer one.
    IgnoreFailure([&] {
        pane0.SetHeight(
            static_cast<float>((static_cast<double>(c.window.Height()) - c.topStrip.Height()) / 5.5));
    });

    // Every row takes the height pane 0 really holds, so rows abut exactly
    // even where the view rounded what it was given.
    for (PaneIndex k : {2, 1, 3, 4}) {
        Placement& pane = *c.views[k];
        IgnoreFailure([&] { pane.SetTop(static_cast<float>(k) * pane0.Height() + stripHeight); });
        IgnoreFailure([&] { pane.SetLeft(columnWidth); });
        IgnoreFailure([&] { pane.SetHeight(pane0.Height()); });
    }

    for (PaneIndex i = 0; i < PaneCount; ++i) {
        IgnoreFailure([&] { c.buttonColumns[i]->SetTop(c.views[i]->Top()); });
        IgnoreFailure([&] { c.views[i]->SetWidth(c.window.Width() - 2 * c.buttonColumns[i]->Width()); });
    }

    // A failure inside ends the re-zoom and this run, silently.
    IgnoreFailure(reapplyZoom);
}
