// Zooming a pane: its view fills the window below the URL bar while every
// other pane and the top strip are hidden. Whether a pane is zoomed is read
// from its Open button's caption.

#include "failure.h"
#include "form1.h"
#include "wx_placement.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/textctrl.h>

#include <cmath>
#include <limits>

std::int32_t WholeTwips(float twips) {
    const double whole = std::nearbyint(static_cast<double>(twips));
    if (!(whole >= std::numeric_limits<std::int32_t>::min() && whole <= std::numeric_limits<std::int32_t>::max()))
        throw ScoutwellError("placement out of range");
    return static_cast<std::int32_t>(whole);
}

void Form1::Openbtn_Click(PaneIndex index) {
    if (Openbtn.at(index)->GetLabel() == L"Open") {
        try {
            ZoomPane(index);
        } catch (...) {
            // A zoom that cannot be completed (a window too small for the
            // stretched view) is undone rather than left half made.
            IgnoreFailure([&] { RestorePanes(index); });
        }
    } else {
        RestorePanes(index);
    }
}

void Form1::ReapplyZoom(PaneIndex index) {
    if (index == -1)
        return;
    if (Openbtn.at(index)->GetLabel() == L"Close")
        ZoomPane(index);
    else
        RestorePanes(index);
}

void Form1::ZoomPane(PaneIndex i) {
    BrowserView& view = *WebBrowser.at(i);
    Zoom.ZoomedIndex = i;
    Timer1.Start(1000);
    Zoom.SavedTop = WholeTwips(view.Top());
    Zoom.SavedHeight = WholeTwips(view.Height());
    Zoom.SavedLeft = WholeTwips(view.Left());
    Frame5->Show();
    Text2->ChangeValue(wxString(view.LocationURL()));
    for (PaneIndex k = 0; k < PaneCount; ++k) {
        Frame4[k]->Hide();
        WebBrowser[k]->SetVisible(false);
    }
    view.SetVisible(true);
    Frame4[i]->Show();
    Frame1->Hide();
    Frame2->Hide();
    Frame3->Hide();
    // The view starts just below the URL bar and is stretched down by the
    // window's outer height less its own row height.
    view.SetTop(WxPlacement(Frame5).Height() + 50);
    view.SetHeight(WxPlacement(this).Height() - static_cast<float>(Zoom.SavedHeight));
    Openbtn[i]->SetLabel(L"Close");
}

void Form1::RestorePanes(PaneIndex i) {
    BrowserView& view = *WebBrowser.at(i);
    Frame5->Hide();
    Timer1.Stop();
    view.SetTop(static_cast<float>(Zoom.SavedTop));
    view.SetHeight(static_cast<float>(Zoom.SavedHeight));
    view.SetLeft(static_cast<float>(Zoom.SavedLeft));
    for (PaneIndex k = 0; k < PaneCount; ++k) {
        Frame4[k]->Show();
        WebBrowser[k]->SetVisible(true);
    }
    Frame1->Show();
    Frame2->Show();
    Frame3->Show();
    Openbtn[i]->SetLabel(L"Open");
    Zoom.ZoomedIndex = -1;
}
