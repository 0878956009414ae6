#include "form1_fixture.h"
#include "frm_splash.h"
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

class ExpectSplash : public wxExpectModalBase<frmSplash, ExpectSplash> {
public:
    ExpectSplash(Form1* form, SeenDuringSplash* seen) : m_form(form), m_seen(seen) {}

protected:
    int OnInvoked(frmSplash*) const override {
        m_seen->shown = true;
        m_seen->mainWindowVisible = m_form->IsShown();
        m_seen->mainWindow = m_form->GetRect();
        m_seen->pane1Top = WxPlacement(m_form->WebBrowser[1]->View()).Top();
        return wxID_OK;
    }

private:
    Form1* m_form;
    SeenDuringSplash* m_seen;
};

using StartupTest = Form1Test;

} // namespace

TEST_F(StartupTest, TheSplashShowsWhileTheHiddenWindowIsAlreadyFittedAndLaidOut) {
    SeenDuringSplash seen;
    form->Zoom.ZoomedIndex = 3; // whatever it was, loading starts unzoomed
    wxTEST_DIALOG(form->Form_Load(), ExpectSplash(form, &seen));

    ASSERT_TRUE(seen.shown);
    EXPECT_FALSE(seen.mainWindowVisible);
    // With no window manager the work area is the whole screen.
    const wxRect screen = wxDisplay().GetGeometry();
    EXPECT_EQ(seen.mainWindow, screen);
    const float rowHeight = static_cast<float>(TwipsToPixels((screen.height * 15 - 1575) / 5.5f) * 15);
    EXPECT_FLOAT_EQ(seen.pane1Top, 1575 + rowHeight);
    EXPECT_EQ(form->Zoom.ZoomedIndex, -1);
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_EQ(form->Openbtn[i]->GetLabel(), L"Open");

    form->Show();
    RunEventLoopFor(std::chrono::milliseconds(500));
    EXPECT_TRUE(TestProxy().Requests().empty()); // nothing loads before the first search
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_EQ(form->WebBrowser[i]->LocationURL(), L"");
}
