#include "main_window_fixture.h"
#include "splash_window.h"
#include "twips.h"
#include "wx_placement.h"

#include <wx/button.h>
#include <wx/testing.h>

#include <wx/display.h>

namespace {

// Stands for the splash during a load: records what the main window looked
// like while the splash was up, then dismisses it.
struct SeenDuringSplash {
    bool shown = false;
    bool mainWindowVisible = true;
    wxRect mainWindow;
    float pane1Top = 0;
};

class ExpectSplash : public wxExpectModalBase<SplashWindow, ExpectSplash> {
public:
    ExpectSplash(MainWindow* form, SeenDuringSplash* seen) : m_form(form), m_seen(seen) {}

protected:
    int OnInvoked(SplashWindow*) const override {
        m_seen->shown = true;
        m_seen->mainWindowVisible = m_form->IsShown();
        m_seen->mainWindow = m_form->GetRect();
        m_seen->pane1Top = WxPlacement(m_form->paneViews[1]->View()).Top();
        return wxID_OK;
    }

private:
    MainWindow* m_form;
    SeenDuringSplash* m_seen;
};

using StartupTest = MainWindowTest;

} // namespace

TEST_F(StartupTest, TheSplashShowsWhileTheHiddenWindowIsAlreadyFittedAndLaidOut) {
    SeenDuringSplash seen;
    form->zoom.zoomedPane = 3; // whatever it was, loading starts unzoomed
    wxTEST_DIALOG(form->PrepareFirstShow(), ExpectSplash(form, &seen));

    ASSERT_TRUE(seen.shown);
    EXPECT_FALSE(seen.mainWindowVisible);
    // With no window manager the work area is the whole screen.
    const wxRect screen = wxDisplay().GetGeometry();
    EXPECT_EQ(seen.mainWindow, screen);
    const float rowHeight = static_cast<float>(TwipsToPixels((screen.height * 15 - 1575) / 5.5f) * 15);
    EXPECT_FLOAT_EQ(seen.pane1Top, 1575 + rowHeight);
    EXPECT_EQ(form->zoom.zoomedPane, -1);
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_EQ(form->openButtons[i]->GetLabel(), L"Open");

    form->Show();
    RunEventLoopFor(std::chrono::milliseconds(500));
    EXPECT_TRUE(TestProxy().Requests().empty()); // nothing loads before the first search
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_EQ(form->paneViews[i]->LocationURL(), L"");
}
