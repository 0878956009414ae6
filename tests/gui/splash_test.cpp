#include "etched_frame.h"
#include "gui_test.h"
#include "picture_box.h"
#include "splash_window.h"
#include "wx_placement.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/display.h>
#include <wx/statbmp.h>
#include <wx/testing.h>
#include <wx/uiaction.h>

#include <chrono>
#include <functional>

using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

struct SplashRun {
    Clock::time_point shown;  // when the modal show began
    Clock::time_point closed; // when it returned
    bool driven = false;
    std::chrono::milliseconds Open() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(closed - shown);
    }
};

SplashWindow* ShownSplash() {
    for (wxWindow* window : wxTopLevelWindows) {
        if (auto* splash = dynamic_cast<SplashWindow*>(window); splash != nullptr && splash->IsModal())
            return splash;
    }
    return nullptr;
}

// Shows the splash the way the start-up does, runs drive once it is on the
// screen (inside its modal loop), and returns after the modal show returned.
SplashRun RunSplash(const std::function<void(SplashWindow&)>& drive) {
    SplashRun run;
    RealModalDialogs allowSplash([&](wxDialog* dialog) {
        if (dynamic_cast<SplashWindow*>(dialog) == nullptr)
            return false;
        run.shown = Clock::now();
        return true;
    });
    wxTheApp->CallAfter([&] {
        SplashWindow* splash = nullptr;
        if (!WaitFor([&] { return (splash = ShownSplash()) != nullptr && splash->IsShownOnScreen(); }, 5s)) {
            ADD_FAILURE() << "the splash did not appear";
            return;
        }
        // Let it draw once before anything reaches it.
        RunEventLoopFor(100ms);
        drive(*splash);
        run.driven = true;
        // A splash that never closes would hang the test: end it, as a failure.
        if (!WaitFor([&] { return !splash->IsModal(); }, 8s)) {
            ADD_FAILURE() << "the splash did not close";
            splash->EndModal(wxID_CANCEL);
        }
    });
    ShowSplashModal();
    run.closed = Clock::now();
    return run;
}

wxPoint CentreOnScreen(const wxWindow* window) {
    return window->GetParent()->ClientToScreen(window->GetRect().GetPosition() + window->GetSize() / 2);
}

// Without a window manager keys go to the window under the pointer.
void PointAt(wxUIActionSimulator& simulator, const wxPoint& screenPoint) {
    simulator.MouseMove(screenPoint);
    RunEventLoopFor(50ms);
}

void Click(const wxPoint& screenPoint) {
    wxUIActionSimulator simulator;
    PointAt(simulator, screenPoint);
    simulator.MouseClick();
}

void Press(SplashWindow& splash, int key) {
    wxUIActionSimulator simulator;
    PointAt(simulator, CentreOnScreen(splash.productNameLabel));
    simulator.Char(key);
}

// Whether the splash closes soon: long before its timer would close it.
bool ClosesSoon(SplashWindow& splash) {
    return WaitFor([&] { return !splash.IsModal(); }, 1000ms);
}

// Whether the splash stays open for a while after an input.
bool StaysOpen(SplashWindow& splash) {
    RunEventLoopFor(150ms);
    return splash.IsModal();
}

} // namespace

TEST(SplashTest, WithNoInputItClosesAfterThreeSeconds) {
    const SplashRun run = RunSplash([](SplashWindow&) {});
    EXPECT_TRUE(run.driven);
    EXPECT_GE(run.Open(), 2900ms);
    EXPECT_LE(run.Open(), 6000ms);
    EXPECT_EQ(ShownSplash(), nullptr);
    // Destroyed, not merely hidden.
    for (wxWindow* window : wxTopLevelWindows)
        EXPECT_EQ(dynamic_cast<SplashWindow*>(window), nullptr);
}

TEST(SplashTest, EveryKeyThatTypesACharacterClosesIt) {
    for (const int key : {int('a'), int('Z'), int('7'), int(WXK_SPACE), int(WXK_RETURN), int(WXK_ESCAPE)}) {
        const SplashRun run = RunSplash([&](SplashWindow& splash) {
            Press(splash, key);
            ClosesSoon(splash);
        });
        EXPECT_TRUE(run.driven);
        EXPECT_LT(run.Open(), 2500ms) << "key " << key;
    }
}

TEST(SplashTest, KeysThatTypeNothingLeaveItOpen) {
    bool stillOpen = true;
    const SplashRun run = RunSplash([&](SplashWindow& splash) {
        for (const int key : {int(WXK_LEFT), int(WXK_DOWN), int(WXK_F5), int(WXK_SHIFT), int(WXK_CONTROL)}) {
            Press(splash, key);
            if (!StaysOpen(splash)) {
                ADD_FAILURE() << "closed by key " << key;
                stillOpen = false;
                return;
            }
        }
        Press(splash, 'q');
        ClosesSoon(splash);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_LT(run.Open(), 2500ms) << "a letter after them still closes it";
}

TEST(SplashTest, AKeyClosesItWhileThePictureBoxHasTheFocus) {
    bool focused = false;
    const SplashRun run = RunSplash([&](SplashWindow& splash) {
        splash.pictureBox->SetFocus();
        focused = WaitFor([&] { return wxWindow::FindFocus() == splash.pictureBox; }, 1s);
        Press(splash, 'x');
        ClosesSoon(splash);
    });
    EXPECT_TRUE(focused);
    EXPECT_LT(run.Open(), 2500ms);
}

TEST(SplashTest, AClickOnTheFramesOwnSurfaceClosesIt) {
    const SplashRun run = RunSplash([](SplashWindow& splash) {
        // Top right of the frame, above the labels: no control there.
        const wxPoint empty(440, 16);
        ASSERT_TRUE(splash.etchedFrame->IsOwnSurface(empty));
        Click(splash.etchedFrame->ClientToScreen(empty));
        ClosesSoon(splash);
    });
    EXPECT_LT(run.Open(), 2500ms);
}

TEST(SplashTest, AClickOnAControlOrOutsideTheFrameLeavesItOpen) {
    std::vector<std::string> closedBy;
    const SplashRun run = RunSplash([&](SplashWindow& splash) {
        const std::vector<std::pair<std::string, wxPoint>> targets = {
            {"productNameLabel", CentreOnScreen(splash.productNameLabel)},
            {"copyrightLabel", CentreOnScreen(splash.copyrightLabel)},
            {"logo", CentreOnScreen(splash.logo)},
            {"pictureBox", CentreOnScreen(splash.pictureBox)},
            // The strip of window left of the frame.
            {"outside the frame", splash.ClientToScreen(wxPoint(4, 140))},
        };
        for (const auto& [name, point] : targets) {
            Click(point);
            if (!StaysOpen(splash)) {
                closedBy.push_back(name);
                return;
            }
        }
        Press(splash, 'q');
        ClosesSoon(splash);
    });
    EXPECT_TRUE(closedBy.empty()) << "closed by a click on " << closedBy.front();
    EXPECT_LT(run.Open(), 2500ms);
}

TEST(SplashTest, ACloseJustBeforeTheTimerClosesItOnce) {
    int ticks = 0;
    const SplashRun run = RunSplash([&](SplashWindow& splash) {
        splash.Bind(wxEVT_TIMER, [&](wxTimerEvent& event) {
            ++ticks;
            event.Skip();
        });
        // A key and the timer's tick handled in the same turn of the loop:
        // the second close must find the window closed (a second end of the
        // modal loop would be a toolkit assertion, which fails the test).
        splash.OnKey();
        splash.OnCloseTimer();
        splash.OnFrameClick();
        // The timer must not tick afterwards either.
        RunEventLoopFor(3300ms);
    });
    EXPECT_TRUE(run.driven);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(ShownSplash(), nullptr);
}

TEST(SplashTest, GeometryInTwips) {
    const SplashRun run = RunSplash([](SplashWindow& splash) {
        EXPECT_EQ(splash.GetClientSize(), wxSize(7380 / 15, 4245 / 15));
        EXPECT_EQ(splash.GetClientAreaOrigin(), wxPoint(0, 0));

        const wxRect screen = wxDisplay(wxDisplay::GetFromWindow(&splash)).GetGeometry();
        const wxRect window = splash.GetScreenRect();
        EXPECT_LE(std::abs(window.x + window.width / 2 - (screen.x + screen.width / 2)), 1);
        EXPECT_LE(std::abs(window.y + window.height / 2 - (screen.y + screen.height / 2)), 1);

        const auto expectAt = [](const char* name, wxWindow* control, float left, float top, float width,
                                 float height) {
            const WxPlacement placed(control);
            EXPECT_EQ(placed.Left(), left) << name;
            EXPECT_EQ(placed.Top(), top) << name;
            EXPECT_EQ(placed.Width(), width) << name;
            EXPECT_EQ(placed.Height(), height) << name;
        };
        expectAt("etchedFrame", splash.etchedFrame, 150, 60, 7080, 4050);
        expectAt("pictureBox", splash.pictureBox, 2760, 3000, 540, 540);
        expectAt("logo", splash.logo, 240, 600, 2415, 1830);
        expectAt("copyrightLabel", splash.copyrightLabel, 3360, 3060, 3255, 255);
        expectAt("companyLabel", splash.companyLabel, 3360, 3270, 3615, 255);

        // What counts as the frame's own surface for a click: not its
        // controls, whose clicks GTK may hand to the frame underneath.
        for (wxWindow* control : splash.etchedFrame->GetChildren()) {
            const wxRect r = control->GetRect();
            for (const wxPoint& p : {r.GetTopLeft(), r.GetBottomRight(), r.GetPosition() + r.GetSize() / 2})
                EXPECT_FALSE(splash.etchedFrame->IsOwnSurface(p))
                    << control->GetLabel() << " at " << p.x << "," << p.y;
        }
        EXPECT_TRUE(splash.etchedFrame->IsOwnSurface(wxPoint(0, 0)));
        EXPECT_TRUE(splash.etchedFrame->IsOwnSurface(wxPoint(7080 / 15 - 1, 4050 / 15 - 1)));
        EXPECT_FALSE(splash.etchedFrame->IsOwnSurface(wxPoint(7080 / 15, 10)));
        EXPECT_FALSE(splash.etchedFrame->IsOwnSurface(wxPoint(-1, 10)));

        // The picture box holds the 32 x 32 icon and its border, no more.
        EXPECT_EQ(splash.pictureBox->Picture().GetSize(), wxSize(32, 32));
        EXPECT_EQ(32 + 2 * PictureBox::BorderWidth, 540 / 15);
        EXPECT_EQ(splash.logo->GetBitmap().GetSize(), wxSize(2415 / 15, 1830 / 15));

        // Auto-sized labels keep their left edge, or their right edge when
        // right-aligned, and take the size of their text. Their texts in
        // Arial's metrics at the right point sizes come out at the sizes of
        // the original layout, give or take a pixel or two of rounding.
        const auto expectNear = [](const char* what, float actual, float expected) {
            EXPECT_NEAR(actual, expected, 2 * 15) << what;
        };
        for (auto* label : {splash.companyProductLabel, splash.productNameLabel})
            EXPECT_EQ(WxPlacement(label).Left(), 2880);
        EXPECT_EQ(WxPlacement(splash.companyProductLabel).Top(), 720);
        EXPECT_EQ(WxPlacement(splash.productNameLabel).Top(), 1140);
        expectNear("companyProductLabel height (18 pt)", WxPlacement(splash.companyProductLabel).Height(),
                   435);
        expectNear("productNameLabel height (32.25 pt)", WxPlacement(splash.productNameLabel).Height(), 765);

        const WxPlacement platform(splash.platformLabel);
        EXPECT_EQ(platform.Left() + platform.Width(), 4065 + 2790);
        EXPECT_EQ(platform.Top(), 2340);
        expectNear("platformLabel width (15.75 pt)", platform.Width(), 2790);
        expectNear("platformLabel height (15.75 pt)", platform.Height(), 360);

        const WxPlacement version(splash.versionLabel);
        EXPECT_EQ(version.Left() + version.Width(), 5445 + 1410);
        EXPECT_EQ(version.Top(), 2700);
        expectNear("versionLabel width (12 pt)", version.Width(), 1410);
        expectNear("versionLabel height (12 pt)", version.Height(), 285);

        // The small lines fit their fixed boxes.
        for (auto* label : {splash.copyrightLabel, splash.companyLabel}) {
            const wxSize text = label->GetTextExtent(label->GetLabelText());
            EXPECT_LE(text.x, label->GetSize().x) << label->GetLabelText();
            EXPECT_LE(text.y, label->GetSize().y) << label->GetLabelText();
        }
        Press(splash, 'q');
        ClosesSoon(splash);
    });
    EXPECT_TRUE(run.driven);
}

TEST(SplashTest, TheTextsAreThoseOfTheProduct) {
    RunSplash([](SplashWindow& splash) {
        EXPECT_EQ(splash.companyProductLabel->GetLabelText(), L"Scoutwell Software's");
        EXPECT_EQ(splash.productNameLabel->GetLabelText(), L"Scoutwell");
        EXPECT_EQ(splash.platformLabel->GetLabelText(), L"Win 95/98/NT/2000");
        EXPECT_EQ(splash.versionLabel->GetLabelText(), L"Version 2.05");
        EXPECT_EQ(splash.companyLabel->GetLabelText(), L"E-mail: support@scoutwell.example");
        EXPECT_TRUE(splash.productNameLabel->GetFont().GetWeight() == wxFONTWEIGHT_BOLD);
        EXPECT_TRUE(splash.copyrightLabel->GetFont().GetWeight() == wxFONTWEIGHT_NORMAL);
        EXPECT_DOUBLE_EQ(splash.productNameLabel->GetFont().GetFractionalPointSize(), 32.25);
        EXPECT_DOUBLE_EQ(splash.copyrightLabel->GetFont().GetFractionalPointSize(), 8.25);
        Press(splash, 'q');
        ClosesSoon(splash);
    });
}

// Tests of the start-up can take the splash away without waiting for it.
TEST(SplashTest, AStartUpTestCanDismissItWithoutShowingIt) {
    const auto start = Clock::now();
    wxTEST_DIALOG(ShowSplashModal(), wxExpectDismissableModal<SplashWindow>(wxID_OK));
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(ShownSplash(), nullptr);
}
