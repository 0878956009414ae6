#include "main_window_fixture.h"
#include "message_box_expectation.h"
#include "wx_placement.h"

#include <wx/panel.h>

namespace {

// The real window at 800 x 600 pixels.
class ZoomTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ShowAtOrigin();
        SetSize(800, 600);
    }

    void SetSize(int width, int height) {
        window->SetSize(width, height);
        ASSERT_TRUE(WaitFor([&] { return window->GetSize() == wxSize(width, height); }));
    }

    using Rect = std::array<float, 4>;
    Rect View(PaneIndex i) const {
        const WxPlacement view(window->paneViews[i]->View());
        return {view.Left(), view.Top(), view.Width(), view.Height()};
    }

    // Whether pane z alone fills the window (or, for -1, every pane shows in its row).
    bool ZoomedOn(PaneIndex z) const {
        bool agrees = window->zoom.zoomedPane == z && window->urlBar->IsShown() == (z >= 0) &&
                      window->searchPanel->IsShown() == (z < 0);
        for (PaneIndex k = 0; k < PaneCount; ++k) {
            const bool shown = z < 0 || k == z;
            agrees = agrees && window->paneButtonColumns[k]->IsShown() == shown &&
                     window->paneViews[k]->Visible() == shown &&
                     window->openButtons[k]->GetLabel() == (k == z ? L"Close" : L"Open");
        }
        return agrees;
    }
};

} // namespace

// Zoomed, a pane fills the window from where the hidden search strip was; across a resize it stays zoomed and
// the hidden rows follow; closed, every row is back.
TEST_F(ZoomTest, OpenFillsTheWindowWithOnePaneAcrossAResizeAndCloseRestoresTheRows) {
    const Rect row = View(2);
    ASSERT_TRUE(Show(2, L"http://pages.test/two"));
    Click(window->openButtons[2]);
    ASSERT_TRUE(WaitFor([&] { return ZoomedOn(2); }));
    EXPECT_EQ(window->urlBox->GetValue(), L"http://pages.test/two");
    const Rect zoomed = View(2); // as wide as a row, from above the first row, most of the window high
    EXPECT_TRUE(zoomed[0] == row[0] && zoomed[2] == row[2]);
    EXPECT_TRUE(zoomed[1] < row[1] - 2 * row[3] && zoomed[3] > 4 * row[3]);
    EXPECT_FLOAT_EQ(WxPlacement(window->paneButtonColumns[2]).Top(), row[1]); // its column stays
    SetSize(900, 765);
    EXPECT_TRUE(ZoomedOn(2));
    EXPECT_GT(View(2)[3], zoomed[3]);
    const Rect hidden = View(1);
    window->OnOpenOrClosePane(2);
    ASSERT_TRUE(ZoomedOn(-1));
    EXPECT_EQ(View(1), hidden);
    SetSize(800, 600);
    EXPECT_EQ(View(2), row);
}

// The box catches up with the zoomed pane's page at a later tick, text the user typed there included; only
// the page's web address goes to the desktop, never the box's text nor an address that is no web page.
TEST_F(ZoomTest, TheUrlBoxFollowsTheZoomedPanesPageWhoseWebAddressAloneGoesToTheDesktopOrItsFailureIsShown) {
    ASSERT_TRUE(Show(1, L"file:///etc/hostname"));
    for (const wchar_t* url : {L"http://pages.test/two", L"data:text/html,hello"}) // a history of its own
        ASSERT_TRUE(Show(2, url));
    ASSERT_TRUE(Show(0, L"http://pages.test/start"));
    window->OnOpenOrClosePane(0);
    EXPECT_EQ(window->urlBox->GetValue(), L"http://pages.test/start");
    ASSERT_TRUE(window->paneViews[0]->View()->RunScript("document.getElementById('next').click()"));
    ASSERT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/next"));
    EXPECT_TRUE(WaitFor([&] { return window->urlBox->GetValue() == L"http://pages.test/next"; }));
    window->urlBox->ChangeValue("file:///etc/passwd");
    Click(window->openInBrowserButton);
    ASSERT_TRUE(WaitForDesktopCalls(1));
    EXPECT_EQ(TestDesktop().Calls()[0].argument, "http://pages.test/next");
    EXPECT_TRUE(WaitFor([&] { return window->urlBox->GetValue() == L"http://pages.test/next"; }));
    Click(window->backButtons[0]); // the zoomed pane's own column still works, on its own pane only
    ASSERT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/start"));
    EXPECT_EQ(window->paneViews[2]->LocationURL(), L"data:text/html,hello");
    window->OnOpenOrClosePane(0);
    ASSERT_TRUE(WaitFor([&] { return window->paneViews[0]->View()->CanGoForward(); }));
    Click(window->forwardButtons[0]);
    EXPECT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/next"));
    for (wxWindow* button : {window->backButtons[3], window->forwardButtons[3], window->stopButtons[3]})
        Click(button); // on a pane that has shown nothing: nothing

    for (PaneIndex i : {1, 2, 3}) { // pane 3 has shown nothing
        window->OnOpenOrClosePane(i);
        window->OnOpenInBrowser();
        window->OnOpenOrClosePane(i);
    }
    EXPECT_TRUE(
        Never([&] { return TestDesktop().Calls().size() > 1 || window->paneViews[3]->LocationURL() != L""; },
              std::chrono::milliseconds(800)));

    window->OnOpenOrClosePane(0); // a desktop that cannot open the page says so
    TestDesktop().RemoveHandlerCommand();
    SeenMessageBox seen;
    wxTEST_DIALOG(window->OnOpenInBrowser(), ExpectMessageBox(&seen));
    TestDesktop().WriteHandlerCommand();
    EXPECT_TRUE(seen.message.Contains(L"http://pages.test/next") && (seen.style & wxICON_ERROR))
        << seen.message;
}
