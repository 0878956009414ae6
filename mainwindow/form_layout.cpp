#include "desktop.h"
#include "form1.h"
#include "pane_layout.h"
#include "work_area_fit.h"
#include "wx_placement.h"

#include <wx/panel.h>

void Form1::ArrangePanes() {
    WxPlacement window(this);
    WxPlacement frame1(Frame1);
    PaneArray<WxPlacement> frame4{WxPlacement(Frame4[0]), WxPlacement(Frame4[1]), WxPlacement(Frame4[2]),
                                  WxPlacement(Frame4[3]), WxPlacement(Frame4[4])};
    PaneLayoutControls controls{window, frame1, {}, {}};
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        controls.frame4[i] = &frame4[i];
        controls.webBrowser[i] = WebBrowser[i].get();
    }
    ::ArrangePanes(controls, [this] { ReapplyZoom(Zoom.ZoomedIndex); });
}

void Form1::Form_Resize() { ArrangePanes(); }
