#include "etched_frame.h"
#include "gui_test.h"
#include "picture_box.h"
#include "splash_window.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/statbmp.h>
#include <wx/testing.h>

#include <algorithm>
#include <functional>

namespace {

// Shows the splash as the start does, runs drive once it is on screen; whether it then ended and went.
bool RunSplash(const std::function<void(SplashWindow&)>& drive) {
    SplashWindow* splash = nullptr;
    showForReal = [&](wxDialog* dialog) { return (splash = dynamic_cast<SplashWindow*>(dialog)) != nullptr; };
    wxTheApp->CallAfter([&] {
        if (!WaitFor([&] { return splash != nullptr && splash->IsModal() && splash->IsShownOnScreen(); })) {
            ADD_FAILURE() << "the splash did not appear";
            return;
        }
        drive(*splash);
        if (!WaitFor([&] { return !splash->IsModal(); })) {
            ADD_FAILURE() << "the splash did not close";
            splash->EndModal(wxID_CANCEL);
        }
    });
    ShowSplashModal();
    showForReal = nullptr;
    return WaitFor([] {
        return std::none_of(wxTopLevelWindows.begin(), wxTopLevelWindows.end(),
                            [](wxWindow* w) { return dynamic_cast<SplashWindow*>(w) != nullptr; });
    });
}

void Press(SplashWindow& splash, int key) {
    Click(splash.productNameLabel); // a label: clicks there leave the splash open
    PressKey(key);
}

} // namespace

// With the timer stopped only input closes it, input that must not given first. A second end would assert.
TEST(SplashTest, AKeyThatTypesACharacterOrAClickOnTheFramesSurfaceClosesIt) {
    const std::vector<std::function<void(SplashWindow&)>> closers = {
        [](SplashWindow& s) { // with the tick and a click in the same turn of the loop: it ends once
            Press(s, 'a');
            s.OnCloseTimer();
            s.OnFrameClick();
        },
        [](SplashWindow& s) { Press(s, WXK_ESCAPE); },
        [](SplashWindow& s) {
            s.pictureBox->SetFocus();
            ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == s.pictureBox; }));
            Press(s, '7');
        },
        [](SplashWindow& s) { ClickAt(s.etchedFrame->ClientToScreen(wxPoint(440, 16))); }, // above the labels
    };
    for (std::size_t n = 0; n < closers.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(RunSplash([&](SplashWindow& splash) {
            splash.closeTimer.Stop();
            for (const int key : {WXK_LEFT, WXK_F5, WXK_SHIFT})
                Press(splash, key);
            for (wxWindow* control :
                 std::initializer_list<wxWindow*>{splash.logo, splash.pictureBox, splash.copyrightLabel})
                Click(control);
            ClickAt(splash.ClientToScreen(wxPoint(4, 140))); // the strip left of the frame
            ASSERT_TRUE(Never([&] { return !splash.IsModal(); }, 300ms))
                << "closed by a key or click that must not";
            closers[n](splash);
        }));
    }
}

TEST(SplashTest, TheWorkOfAStartRunsOnceBehindTheSplashOrAfterAnEarlyClose) {
    int runs = 0;
    SplashWindow* splash = nullptr;
    bool splashOnScreen = false;
    showForReal = [&](wxDialog* dialog) { return (splash = dynamic_cast<SplashWindow*>(dialog)) != nullptr; };
    ShowSplashModal([&] {
        ++runs;
        splashOnScreen = splash != nullptr && splash->IsShownOnScreen();
        if (splash != nullptr)
            splash->OnKey();
    });
    showForReal = nullptr;
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(splashOnScreen);
    wxTEST_DIALOG(ShowSplashModal([&] { ++runs; }), wxExpectDismissableModal<SplashWindow>(wxID_OK));
    EXPECT_EQ(runs, 2);
}
