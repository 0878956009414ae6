#include "desktop.h"
#include "fake_browser_view.h"
#include "pane_layout.h"
#include "work_area_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>

namespace {

using Rect = std::array<float, 4>; // left, top, width, height in twips

Rect Of(const Placement& p) {
    return {p.Left(), p.Top(), p.Width(), p.Height()};
}

struct FakeDesktop : Desktop {
    PixelRect workArea, display{0, 0, 1024, 768};
    float factor = 15;
    PixelRect WorkArea() const override { return workArea; }
    PixelRect DisplayArea() const override { return display; }
    float TwipsPerPixelX() const override { return factor; }
    float TwipsPerPixelY() const override { return factor; }
};

} // namespace

// 12000 x 9000: rows of 1350 from 1575; too low or narrow: sizes kept; each failure one line on stderr.
TEST(ArrangePanes, FiveEqualRowsBelowTheStripSpanningTheWindow) {
    FakePlacement window, topStrip;
    PaneArray<FakePlacement> columns, views;
    PaneLayoutControls controls{window, topStrip, {}, {}};
    topStrip.SetHeight(1575);
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        columns[i].SetWidth(735);
        columns[i].SetHeight(975);
        controls.buttonColumns[i] = &columns[i];
        controls.views[i] = &views[i];
    }
    int reapplied = 0;
    testing::internal::CaptureStderr();
    for (const auto& [width, height, row, viewWidth] :
         {Rect{12000, 9000, 1350, 10530}, {12000, 1500, 1350, 10530}, {1400, 7075, 1000, 10530}}) {
        SCOPED_TRACE(height);
        window.SetWidth(width);
        window.SetHeight(height);
        ArrangePanes(controls, [&] { ++reapplied; });
        for (PaneIndex i = 0; i < PaneCount; ++i) {
            EXPECT_EQ(Of(views[i]), (Rect{735, 1575 + row * i, viewWidth, row}));
            EXPECT_EQ(Of(columns[i]), (Rect{0, 1575 + row * i, 735, 975})); // never moved sideways
        }
    }
    EXPECT_EQ(reapplied, 3);
    window.SetHeight(10000);                  // the row height is the quotient in single precision
    ArrangePanes(controls, [] { throw 42; }); // a failing zoom ends the run
    EXPECT_EQ(views[3].Height(), static_cast<float>((10000.0 - 1575.0) / 5.5));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2 + 2 * PaneCount)
        << said; // low, narrow twice, zoom
    for (const char* part : {"negative size", "unknown failure", "pane_layout.cpp:"})
        EXPECT_NE(said.find(part), std::string::npos) << said;
}

TEST(FitToWorkArea, CoversTheWorkAreaWhereverTheBarsLie) {
    for (const auto& [workArea, factor, fitted] : std::initializer_list<std::tuple<PixelRect, float, Rect>>{
             {{60, 0, 1024, 768}, 15, {900, 0, 14460, 11520}},     // on the left
             {{-1280, 0, 0, 1024}, 15, {-19200, 0, 19200, 15360}}, // a screen left of the primary
             {{1, 3, 5, 7}, 12.5f, {12, 38, 50, 50}},              // 12.5 -> 12, 37.5 -> 38: to even
             {{0, 0, 0, 0}, 15, {0, 0, 15360, 11520}},             // no usable work area: the screen
             {{0, 0, 200'000'000, 700}, 15, {5, 0, 0, 0}},         // beyond 32 bits: nothing moves
         }) {
        FakeDesktop desktop;
        desktop.workArea = workArea;
        desktop.factor = factor;
        FakePlacement window;
        window.SetLeft(5);
        IgnoreFailure([&] { FitToWorkArea(window, desktop); });
        EXPECT_EQ(Of(window), fitted) << workArea.left << "," << workArea.right;
    }
}
