#include "main_window_fixture.h"
#include "splash_window.h"
#include "wx_placement.h"

#include <wx/display.h>
#include <wx/testing.h>

namespace {

// Stands for the splash during a load: runs a check while it would be up, then dismisses it.
class ExpectSplash : public wxExpectModalBase<SplashWindow, ExpectSplash> {
public:
    explicit ExpectSplash(std::function<void()> whileShown) : m_whileShown(std::move(whileShown)) {}

protected:
    int OnInvoked(SplashWindow*) const override {
        m_whileShown();
        return wxID_OK;
    }

private:
    std::function<void()> m_whileShown;
};

using StartupTest = MainWindowTest;

} // namespace

TEST_F(StartupTest, TheSplashShowsWhileTheHiddenWindowIsAlreadyFittedAndLaidOut) {
    bool splashShown = false;
    window->zoom.zoomedPane = 3; // whatever it was, loading starts unzoomed
    wxTEST_DIALOG(window->PrepareFirstShow(), ExpectSplash([&] {
                      splashShown = true;
                      EXPECT_FALSE(window->IsShown());
                      // With no window manager the work area is the whole screen.
                      EXPECT_EQ(window->GetRect(), wxDisplay().GetGeometry());
                      EXPECT_GT(WxPlacement(window->paneViews[4]->View()).Top(), 6975);
                  }));
    ASSERT_TRUE(splashShown);
    EXPECT_EQ(window->zoom.zoomedPane, -1);
    window->Show();
    EXPECT_TRUE(
        Never([] { return !TestProxy().Requests().empty(); }, std::chrono::milliseconds(500))); // no search
}
