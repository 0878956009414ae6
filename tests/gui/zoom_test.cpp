#include "main_window_fixture.h"
#include "message_box_expectation.h"
#include "wx_placement.h"

#include <wx/panel.h>

namespace {

// The real window at 800 x 600 pixels: 12000 x 9000 twips, rows of 1350.
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

    std::array<float, 4> View(PaneIndex i) const {
        const WxPlacement view(window->paneViews[i]->View());
        return {view.Left(), view.Top(), view.Width(), view.Height()};
    }

    // Whether pane z alone fills the window (or, for -1, every pane shows in its row).
    bool ZoomedOn(PaneIndex z) const {
        bool agrees = window->zoom.zoomedPane == z && window->urlBar->IsShown() == (z >= 0) &&
                      window->urlTimer.IsRunning() == (z >= 0) && window->searchPanel->IsShown() == (z < 0);
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

TEST_F(ZoomTest, OpenFillsTheWindowWithOnePaneAndCloseRestoresItExactly) {
    EXPECT_EQ(View(2), (std::array<float, 4>{735, 4275, 10530, 1350}));
    ASSERT_TRUE(Show(2, L"http://pages.test/two"));
    Click(window->openButtons[2]);
    ASSERT_TRUE(WaitFor([&] { return ZoomedOn(2); }));
    EXPECT_EQ(View(2), (std::array<float, 4>{735, 660, 10530, 7650})); // 665 twips: the nearest whole pixel
    EXPECT_FLOAT_EQ(WxPlacement(window->paneButtonColumns[2]).Top(), 4275);
    EXPECT_EQ(window->urlBox->GetValue(), L"http://pages.test/two");
    Click(window->openButtons[2]);
    ASSERT_TRUE(WaitFor([&] { return ZoomedOn(-1); }));
    EXPECT_EQ(View(2), (std::array<float, 4>{735, 4275, 10530, 1350}));
}

TEST_F(ZoomTest, AZoomedPaneStaysZoomedAcrossAResizeAndAZoomTheWindowCannotHoldIsUndone) {
    window->OnOpenOrClosePane(4);
    SetSize(900, 765); // 11475 twips high: rows of 1800
    EXPECT_TRUE(ZoomedOn(4));
    EXPECT_EQ(View(4), (std::array<float, 4>{735, 660, 13500 - 1470, 11475 - 1800}));
    EXPECT_FLOAT_EQ(View(1)[1], 1575 + 1800); // the hidden rows were laid out too
    window->OnOpenOrClosePane(4);
    EXPECT_TRUE(ZoomedOn(-1));
    EXPECT_EQ(View(4), (std::array<float, 4>{735, 1575 + 4 * 1800, 13500 - 1470, 1800}));

    // A window lower than a pane's row cannot hold the stretched pane: the zoom is undone.
    SetSize(800, 80);
    window->OnOpenOrClosePane(1);
    EXPECT_TRUE(ZoomedOn(-1));
    EXPECT_EQ(View(1), (std::array<float, 4>{735, 1575 + 1800, 10530, 1800}));
}

TEST_F(ZoomTest, TheUrlBoxFollowsTheZoomedPanesPageAndHistoriesSurvive) {
    ASSERT_TRUE(Show(0, L"http://pages.test/start"));
    window->OnOpenOrClosePane(0);
    EXPECT_EQ(window->urlBox->GetValue(), L"http://pages.test/start");
    // Following a link, and text the user typed there: the box catches up at a later tick.
    ASSERT_TRUE(window->paneViews[0]->View()->RunScript("document.getElementById('next').click()"));
    ASSERT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/next"));
    EXPECT_TRUE(WaitFor([&] { return window->urlBox->GetValue() == L"http://pages.test/next"; }));
    window->urlBox->ChangeValue("typed by the user");
    EXPECT_TRUE(WaitFor([&] { return window->urlBox->GetValue() == L"http://pages.test/next"; }));
    Click(window->backButtons[0]); // the zoomed pane's own column still works
    ASSERT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/start"));
    window->OnOpenOrClosePane(0);
    EXPECT_FALSE(window->urlTimer.IsRunning());
    ASSERT_TRUE(WaitFor([&] { return window->paneViews[0]->View()->CanGoForward(); }));
    window->OnForward(0);
    EXPECT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/next"));
}

TEST_F(ZoomTest, LoadInWebBrowserHandsOnlyTheZoomedPanesWebAddressToTheDesktop) {
    TestDesktop().ForgetCalls();
    const wchar_t* addresses[] = {L"http://pages.test/handed", L"file:///etc/hostname",
                                  L"data:text/html,hello"};
    for (PaneIndex i = 0; i < 3; ++i)
        ASSERT_TRUE(Show(i, addresses[i])) << i;
    window->OnOpenOrClosePane(0);
    window->urlBox->ChangeValue("file:///etc/passwd"); // the box is not what is handed over
    Click(window->openInBrowserButton);
    ASSERT_TRUE(WaitForDesktopCalls(1));
    EXPECT_EQ(TestDesktop().Calls()[0].argument, "http://pages.test/handed");
    window->OnOpenOrClosePane(0);
    // Addresses that are not web pages, and a pane that has shown nothing, stay with the program.
    for (PaneIndex i : {1, 2, 3}) {
        window->OnOpenOrClosePane(i);
        window->OnOpenInBrowser();
        window->OnOpenOrClosePane(i);
    }
    EXPECT_TRUE(Never([] { return TestDesktop().Calls().size() > 1; }, std::chrono::milliseconds(800)));
}

TEST_F(ZoomTest, WhenTheDesktopCannotOpenThePageAMessageSaysSo) {
    ASSERT_TRUE(Show(1, L"http://pages.test/unopened"));
    window->OnOpenOrClosePane(1);
    TestDesktop().RemoveHandlerCommand();
    SeenMessageBox seen;
    wxTEST_DIALOG(window->OnOpenInBrowser(), ExpectMessageBox(&seen));
    TestDesktop().WriteHandlerCommand();
    EXPECT_TRUE(seen.message.Contains(L"http://pages.test/unopened")) << seen.message;
    EXPECT_EQ(seen.caption, L"Scoutwell");
    EXPECT_TRUE(seen.style & wxICON_ERROR);
}
