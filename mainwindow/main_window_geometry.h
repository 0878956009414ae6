#pragma once

#include "twip_rect.h"

// The main window as it was designed, in twips. Each control's rectangle is
// within its container: the panels and the pane rows within the window's
// client area, the rest within their panel or button column. Of a row of
// like controls the first is given and the step to the next.
//
// The pane rows are placed here only at creation: the pane layout moves them
// to fit the window from then on, and a zoomed pane's view is stretched out
// below the URL bar.
namespace MainWindowGeometry {

constexpr TwipRect ClientArea{0, 0, 9390, 6795};

// Top strip, left: the keywords and Search.
constexpr TwipRect SearchPanel{0, 0, 2535, 1575};
constexpr TwipRect KeywordsLabel{120, 120, 1695, 255};
constexpr TwipRect KeywordsBox{120, 360, 2295, 405};
constexpr TwipRect SearchButton{120, 840, 2295, 255};

// Top strip, right: the five engine choosers, Help and Save.
constexpr TwipRect EnginePanel{2520, 0, 6855, 735};
constexpr TwipRect ChooserNumber{240, 120, 1095, 255}; // above chooser 1
constexpr TwipRect EngineChooser{240, 360, 1095, 315}; // chooser 1
constexpr float ChooserStep = 1200;                    // to the right
constexpr TwipRect HelpButton{6240, 120, 615, 255};
constexpr TwipRect SaveButton{6240, 480, 615, 255};

// Top strip, below the choosers: the hints.
constexpr TwipRect HintPanel{2520, 720, 6855, 855};
constexpr TwipRect HintLabel{120, 120, 6615, 615};

// Pane row 1; the other rows lie PaneRowStep below each other.
constexpr TwipRect PaneButtonColumn{0, 1560, 735, 975};
constexpr TwipRect OpenButton{0, 0, 615, 255};
constexpr TwipRect ForwardButton{0, 240, 615, 255};
constexpr TwipRect BackButton{0, 480, 615, 255};
constexpr TwipRect StopButton{0, 720, 615, 255};
constexpr TwipRect PaneView{720, 1560, 8655, 1095};
constexpr float PaneRowStep = 1080;

// The URL bar over a zoomed pane, and the gap between it and the pane's view.
constexpr TwipRect UrlBar{0, 0, 9375, 615};
constexpr TwipRect OpenInBrowserButton{0, 0, 1935, 375};
constexpr TwipRect UrlLabel{2160, 0, 975, 375};
constexpr TwipRect UrlBox{3120, 0, 6255, 525};
constexpr float ZoomedViewGap = 50;

// Find in the pages: its button below Search, in the keyword panel.
constexpr TwipRect FindButton{120, 1200, 2295, 255};
// The bar over the hints, its rows 120 twips down as the hints are; and over
// the URL label and box of a zoomed pane, whose bar then shows only its button.
constexpr float BarTopInHints = 120;
constexpr TwipRect BarOverUrl{2160, 0, 7215, 615};
constexpr float UrlBarBesideFind = 2145;
// The bar's controls, in two rows.
constexpr TwipRect FindLabel{120, 45, 600, 255};
constexpr TwipRect FindBox{720, 0, 2655, 330};
constexpr TwipRect PreviousButton{3480, 45, 975, 255};
constexpr TwipRect NextButton{4560, 45, 975, 255};
constexpr TwipRect CloseButton{5640, 45, 975, 255};
constexpr TwipRect CountsLabel{120, 360, 6495, 255};

} // namespace MainWindowGeometry
