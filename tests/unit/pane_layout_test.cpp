#include "pane_layout.h"

#include "fake_browser_view.h"

#include <gtest/gtest.h>

namespace {

// A window in its design layout, placed exactly as given.
struct Window {
    FakePlacement window, topStrip;
    PaneArray<FakePlacement> buttonColumns;
    PaneArray<FakePlacement> views;
    int reapplied = 0;

    Window(float width, float height) {
        window.SetWidth(width);
        window.SetHeight(height);
        topStrip.SetHeight(1575);
        for (PaneIndex i = 0; i < PaneCount; ++i) {
            buttonColumns[i].SetWidth(735);
            buttonColumns[i].SetHeight(975);
            buttonColumns[i].SetTop(1560 + 1080 * i);
            views[i].SetLeft(720);
            views[i].SetTop(1560 + 1080 * i);
            views[i].SetWidth(8655);
            views[i].SetHeight(1095);
        }
    }

    void Arrange() {
        PaneLayoutControls controls{window, topStrip, {}, {}};
        for (PaneIndex i = 0; i < PaneCount; ++i) {
            controls.buttonColumns[i] = &buttonColumns[i];
            controls.views[i] = &views[i];
        }
        ArrangePanes(controls, [this] { ++reapplied; });
    }
};

} // namespace

TEST(ArrangePanes, FiveEqualRowsBelowTheStripSpanningTheWindow) {
    Window w(12000, 9000);
    w.Arrange();
    const float tops[PaneCount] = {1575, 2925, 4275, 5625, 6975};
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(w.views[i].Top(), tops[i]);
        EXPECT_FLOAT_EQ(w.views[i].Height(), 1350);
        EXPECT_FLOAT_EQ(w.views[i].Left(), 735);
        EXPECT_FLOAT_EQ(w.views[i].Width(), 10530);
        EXPECT_FLOAT_EQ(w.buttonColumns[i].Top(), tops[i]);
        EXPECT_FLOAT_EQ(w.buttonColumns[i].Left(), 0); // never moved sideways
        EXPECT_FLOAT_EQ(w.buttonColumns[i].Height(), 975);
    }
    EXPECT_FLOAT_EQ(w.views[4].Top() + w.views[4].Height(), 8325);
    EXPECT_EQ(w.reapplied, 1);
}

TEST(ArrangePanes, TheRowHeightIsTheQuotientRoundedToSinglePrecision) {
    Window w(12000, 10000);
    w.Arrange();
    const float expected = static_cast<float>((10000.0 - 1575.0) / 5.5);
    EXPECT_EQ(w.views[3].Height(), expected);
    EXPECT_EQ(w.views[3].Top(), 3 * expected + 1575);
}

TEST(ArrangePanes, AWindowLowerThanTheStripKeepsPaneZerosHeightAndStacksFromIt) {
    Window w(12000, 9000);
    w.Arrange();
    w.window.SetHeight(1500);
    w.Arrange();
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        EXPECT_FLOAT_EQ(w.views[i].Height(), 1350);
        EXPECT_FLOAT_EQ(w.views[i].Top(), 1575 + 1350 * i);
        EXPECT_FLOAT_EQ(w.buttonColumns[i].Top(), 1575 + 1350 * i);
    }
}

TEST(ArrangePanes, AWindowNarrowerThanTwoColumnsKeepsTheWidthsButStillMovesTheRows) {
    Window w(1400, 7075); // (7075 - 1575) / 5.5 = 1000
    w.Arrange();
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        EXPECT_FLOAT_EQ(w.views[i].Width(), 8655);
        EXPECT_FLOAT_EQ(w.views[i].Height(), 1000);
        EXPECT_FLOAT_EQ(w.views[i].Top(), 1575 + 1000 * i);
        EXPECT_FLOAT_EQ(w.views[i].Left(), 735);
    }
    EXPECT_EQ(w.reapplied, 1);
}

TEST(ArrangePanes, AFailingReapplyOfTheZoomEndsTheRunQuietly) {
    Window w(12000, 9000);
    PaneLayoutControls controls{w.window, w.topStrip, {}, {}};
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        controls.buttonColumns[i] = &w.buttonColumns[i];
        controls.views[i] = &w.views[i];
    }
    EXPECT_NO_THROW(ArrangePanes(controls, [] { throw ScoutwellError("refused"); }));
    EXPECT_FLOAT_EQ(w.views[4].Top(), 6975);
}
