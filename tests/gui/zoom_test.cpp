#include "main_window_fixture.h"
#include "message_box_expectation.h"
#include "wx_placement.h"

#include <wx/button.h>
#include <wx/panel.h>

namespace {

// The real window at an outer size of 12000 x 9000 twips (800 x 600 pixels;
// with no window manager the outer size is the client size).
class ZoomTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ShowAtOrigin();
        SetOuterSize(800, 600);
    }

    void SetOuterSize(int width, int height) {
        form->SetSize(width, height);
        WaitFor([&] { return form->GetSize() == wxSize(width, height); });
        RunEventLoopFor(std::chrono::milliseconds(100));
    }

    WxPlacement View(PaneIndex i) const { return WxPlacement(form->paneViews[i]->View()); }
    static float Top(wxWindow* w) { return WxPlacement(w).Top(); }

    void ExpectNormalState() {
        EXPECT_EQ(form->zoom.zoomedPane, -1);
        EXPECT_FALSE(form->urlBar->IsShown());
        EXPECT_FALSE(form->urlTimer.IsRunning());
        for (wxWindow* frame : {form->searchPanel, form->enginePanel, form->hintPanel})
            EXPECT_TRUE(frame->IsShown());
        for (PaneIndex k = 0; k < PaneCount; ++k) {
            EXPECT_TRUE(form->paneButtonColumns[k]->IsShown()) << k;
            EXPECT_TRUE(form->paneViews[k]->Visible()) << k;
            EXPECT_EQ(form->openButtons[k]->GetLabel(), L"Open") << k;
        }
    }

    void ExpectZoomedOn(PaneIndex z) {
        EXPECT_EQ(form->zoom.zoomedPane, z);
        EXPECT_TRUE(form->urlBar->IsShown());
        EXPECT_TRUE(form->urlTimer.IsRunning());
        for (wxWindow* frame : {form->searchPanel, form->enginePanel, form->hintPanel})
            EXPECT_FALSE(frame->IsShown());
        for (PaneIndex k = 0; k < PaneCount; ++k) {
            EXPECT_EQ(form->paneButtonColumns[k]->IsShown(), k == z) << k;
            EXPECT_EQ(form->paneViews[k]->Visible(), k == z) << k;
            EXPECT_EQ(form->openButtons[k]->GetLabel(), k == z ? L"Close" : L"Open") << k;
        }
    }
};

} // namespace

TEST_F(ZoomTest, EveryResizeLaysTheRowsOutForTheNewSize) {
    const float tops[PaneCount] = {1575, 2925, 4275, 5625, 6975};
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        EXPECT_FLOAT_EQ(View(i).Top(), tops[i]);
        EXPECT_FLOAT_EQ(View(i).Height(), 1350);
        EXPECT_FLOAT_EQ(View(i).Left(), 735);
        EXPECT_FLOAT_EQ(View(i).Width(), 10530);
        EXPECT_FLOAT_EQ(Top(form->paneButtonColumns[i]), tops[i]);
    }
    SetOuterSize(1000, 705); // (10575 - 1575) / 5.5 = 1636.36 twips: 109 pixels
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        EXPECT_FLOAT_EQ(View(i).Height(), 1635);
        EXPECT_FLOAT_EQ(View(i).Top(), 1575 + 1635 * i); // rows abut on the height the view really took
        EXPECT_FLOAT_EQ(View(i).Width(), 15000 - 1470);
    }
    ExpectNormalState();
}

TEST_F(ZoomTest, OpenFillsTheWindowWithOnePaneAndCloseRestoresItExactly) {
    form->paneViews[2]->Navigate(L"http://pages.test/two");
    ASSERT_TRUE(watchers[2]->WaitUntilLoaded(L"http://pages.test/two"));

    Click(form->openButtons[2]);
    ExpectZoomedOn(2);
    EXPECT_FLOAT_EQ(View(2).Top(), 660); // 615 + 50 = 665 twips, the nearest whole pixel
    EXPECT_FLOAT_EQ(View(2).Height(), 7650);
    EXPECT_FLOAT_EQ(View(2).Left(), 735);
    EXPECT_FLOAT_EQ(View(2).Width(), 10530);
    EXPECT_FLOAT_EQ(Top(form->paneButtonColumns[2]), 4275);
    EXPECT_EQ(form->urlBox->GetValue(), L"http://pages.test/two");
    EXPECT_EQ(form->zoom.savedTop, 4275);
    EXPECT_EQ(form->zoom.savedHeight, 1350);
    EXPECT_EQ(form->zoom.savedLeft, 735);

    Click(form->openButtons[2]);
    ExpectNormalState();
    EXPECT_FLOAT_EQ(View(2).Top(), 4275);
    EXPECT_FLOAT_EQ(View(2).Height(), 1350);
    EXPECT_FLOAT_EQ(View(2).Left(), 735);
    EXPECT_EQ(form->urlBox->GetValue(), L"http://pages.test/two"); // kept, hidden
}

TEST_F(ZoomTest, AZoomedPaneStaysZoomedAcrossAResizeAndClosesIntoItsNewRow) {
    form->OnOpenOrClosePane(4);
    ExpectZoomedOn(4);
    EXPECT_FLOAT_EQ(View(4).Height(), 9000 - 1350);

    SetOuterSize(900, 765); // 11475 high: rows of 1800
    ExpectZoomedOn(4);
    EXPECT_EQ(form->zoom.savedTop, 1575 + 4 * 1800);
    EXPECT_EQ(form->zoom.savedHeight, 1800);
    EXPECT_FLOAT_EQ(View(4).Top(), 660);
    EXPECT_FLOAT_EQ(View(4).Height(), 11475 - 1800);
    // The hidden rows were laid out for the new size too.
    EXPECT_FLOAT_EQ(View(1).Top(), 1575 + 1800);
    EXPECT_FLOAT_EQ(View(1).Width(), 13500 - 1470);

    form->OnOpenOrClosePane(4);
    ExpectNormalState();
    EXPECT_FLOAT_EQ(View(4).Top(), 1575 + 4 * 1800);
    EXPECT_FLOAT_EQ(View(4).Height(), 1800);
}

TEST_F(ZoomTest, AZoomTheWindowCannotHoldIsUndoneNotLeftHalfMade) {
    SetOuterSize(800, 80); // lower than the strip: rows keep 1350, and 1200 - 1350 is no height
    form->OnOpenOrClosePane(1);
    ExpectNormalState();
    EXPECT_FLOAT_EQ(View(1).Top(), 2925);
    EXPECT_FLOAT_EQ(View(1).Height(), 1350);
}

TEST_F(ZoomTest, PagesAndHistoriesSurviveAZoomAndARestore) {
    form->paneViews[3]->Navigate(L"http://pages.test/a");
    ASSERT_TRUE(watchers[3]->WaitUntilLoaded(L"http://pages.test/a"));
    form->paneViews[3]->Navigate(L"http://pages.test/b");
    ASSERT_TRUE(watchers[3]->WaitUntilLoaded(L"http://pages.test/b"));
    form->paneViews[0]->Navigate(L"http://pages.test/zero");
    ASSERT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/zero"));

    form->OnOpenOrClosePane(3);
    ASSERT_TRUE(WaitFor([&] { return form->paneViews[3]->View()->CanGoBack(); }));
    Click(form->backButtons[3]); // the zoomed pane's own column still works
    ASSERT_TRUE(watchers[3]->WaitUntilLoaded(L"http://pages.test/a"));
    form->OnOpenOrClosePane(3);
    EXPECT_EQ(form->paneViews[0]->LocationURL(), L"http://pages.test/zero");
    ASSERT_TRUE(WaitFor([&] { return form->paneViews[3]->View()->CanGoForward(); }));
    form->OnForward(3);
    EXPECT_TRUE(watchers[3]->WaitUntilLoaded(L"http://pages.test/b"));
}

TEST_F(ZoomTest, TheUrlBoxFollowsTheZoomedPanesPageOnceASecond) {
    form->OnOpenOrClosePane(0); // nothing loaded yet: the box shows what the view reports
    EXPECT_EQ(form->urlBox->GetValue(), L"");
    form->OnOpenOrClosePane(0);

    form->paneViews[0]->Navigate(L"http://pages.test/start");
    ASSERT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/start"));
    form->OnOpenOrClosePane(0);
    EXPECT_EQ(form->urlBox->GetValue(), L"http://pages.test/start");

    // Following a link in the page: the box catches up at a later tick.
    ASSERT_TRUE(form->paneViews[0]->View()->RunScript("document.getElementById('next').click()"));
    ASSERT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/next"));
    EXPECT_TRUE(WaitFor([&] { return form->urlBox->GetValue() == L"http://pages.test/next"; },
                        std::chrono::milliseconds(2500)));

    // What the user types there is replaced at the next tick.
    form->urlBox->ChangeValue("typed by the user");
    EXPECT_TRUE(WaitFor([&] { return form->urlBox->GetValue() == L"http://pages.test/next"; },
                        std::chrono::milliseconds(2500)));

    form->OnOpenOrClosePane(0);
    EXPECT_FALSE(form->urlTimer.IsRunning());
}

TEST_F(ZoomTest, LoadInWebBrowserHandsThePanesOwnWebAddressToTheDesktop) {
    TestDesktop().ForgetCalls();
    form->paneViews[1]->Navigate(L"http://pages.test/handed");
    ASSERT_TRUE(watchers[1]->WaitUntilLoaded(L"http://pages.test/handed"));
    form->OnOpenOrClosePane(1);
    form->urlBox->ChangeValue("file:///etc/passwd");
    Click(form->openInBrowserButton);
    ASSERT_TRUE(WaitForDesktopCalls(1));
    EXPECT_EQ(TestDesktop().Calls()[0].argument, "http://pages.test/handed");
    form->OnOpenOrClosePane(1);

    // Addresses that are not web pages stay with the program.
    for (const wchar_t* address : {L"file:///etc/hostname", L"data:text/html,hello"}) {
        form->paneViews[2]->Navigate(address);
        ASSERT_TRUE(watchers[2]->WaitUntilLoaded(address)) << address;
        form->OnOpenOrClosePane(2);
        form->OnOpenInBrowser();
        form->OnOpenOrClosePane(2);
    }
    form->OnOpenOrClosePane(3); // a pane that has shown nothing: an empty address
    form->OnOpenInBrowser();
    RunEventLoopFor(std::chrono::milliseconds(800));
    EXPECT_EQ(TestDesktop().Calls().size(), 1u);
}

// A desktop that cannot start its handler: a message names the address.
TEST_F(ZoomTest, WhenTheDesktopCannotOpenThePageAMessageSaysSo) {
    form->paneViews[1]->Navigate(L"http://pages.test/unopened");
    ASSERT_TRUE(watchers[1]->WaitUntilLoaded(L"http://pages.test/unopened"));
    form->OnOpenOrClosePane(1);
    TestDesktop().RemoveHandlerCommand();
    SeenMessageBox seen;
    wxTEST_DIALOG(form->OnOpenInBrowser(), ExpectMessageBox(&seen));
    TestDesktop().WriteHandlerCommand();
    EXPECT_TRUE(seen.message.Contains(L"http://pages.test/unopened")) << seen.message;
    EXPECT_EQ(seen.caption, L"Scoutwell");
    EXPECT_TRUE(seen.style & wxICON_ERROR);
}
