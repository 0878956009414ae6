#include "work_area_fit.h"

#include "desktop.h"
#include "failure.h"
#include "fake_browser_view.h"

#include <gtest/gtest.h>

namespace {

struct FakeDesktop : Desktop {
    PixelRect workArea, display{0, 0, 1024, 768};
    float factor = 15;
    PixelRect WorkArea() const override { return workArea; }
    PixelRect DisplayArea() const override { return display; }
    float TwipsPerPixelX() const override { return factor; }
    float TwipsPerPixelY() const override { return factor; }
};

struct Fitted {
    float left, top, width, height;
    bool operator==(const Fitted&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Fitted& f) {
    return out << f.left << ", " << f.top << ", " << f.width << ", " << f.height;
}

Fitted Fit(PixelRect workArea, float factor = 15) {
    FakeDesktop desktop;
    desktop.workArea = workArea;
    desktop.factor = factor;
    FakePlacement window;
    FitToWorkArea(window, desktop);
    return {window.Left(), window.Top(), window.Width(), window.Height()};
}

} // namespace

TEST(FitToWorkArea, CoversTheWorkAreaWhereverTheBarsLie) {
    EXPECT_EQ(Fit({0, 0, 800, 572}), (Fitted{0, 0, 12000, 8580}));          // taskbar at the bottom
    EXPECT_EQ(Fit({0, 30, 1024, 768}), (Fitted{0, 450, 15360, 11070}));     // at the top
    EXPECT_EQ(Fit({60, 0, 1024, 768}), (Fitted{900, 0, 14460, 11520}));     // on the left
    EXPECT_EQ(Fit({-1280, 0, 0, 1024}), (Fitted{-19200, 0, 19200, 15360})); // a screen left of the primary
}

TEST(FitToWorkArea, ProductsRoundToTheNearestEvenWholeTwip) {
    EXPECT_EQ(Fit({1, 3, 5, 7}, 12.5f),
              (Fitted{12, 38, 50, 50})); // 12.5 -> 12, 37.5 -> 38, 62.5 -> 62, 87.5 -> 88
}

TEST(FitToWorkArea, NoUsableWorkAreaGivesTheWholeScreenNotAnEmptyWindow) {
    EXPECT_EQ(Fit({0, 0, 0, 0}), (Fitted{0, 0, 15360, 11520}));
    EXPECT_EQ(Fit({100, 100, 100, 700}), (Fitted{0, 0, 15360, 11520}));
    EXPECT_EQ(Fit({500, 0, 100, 700}), (Fitted{0, 0, 15360, 11520}));
}

TEST(FitToWorkArea, AValueBeyondThirtyTwoBitsIsRefusedBeforeAnythingMoves) {
    FakeDesktop desktop;
    desktop.workArea = {0, 0, 200'000'000, 700};
    FakePlacement window;
    window.SetLeft(5);
    EXPECT_THROW(FitToWorkArea(window, desktop), ScoutwellError);
    EXPECT_FLOAT_EQ(window.Left(), 5);
}
