// Input no user means to give, and more of it than anyone would: the program
// must keep working and stay consistent.

#include "main_window_fixture.h"
#include "splash_window.h"
#include "wx_placement.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/testing.h>

#include <fstream>

namespace {

using BadInputTest = MainWindowTest;

std::string YahooUrlOf(const std::string& encoded) {
    return "http://search.yahoo.com/bin/search?p=" + encoded;
}

// Every page takes a while to come, so that searches overlap loads.
void AnswerSlowly(std::chrono::milliseconds delay) {
    TestProxy().SetResponder([delay](const std::string& url) {
        auto page = RecordingProxy::DefaultPage(url);
        page.delay = delay;
        return page;
    });
}

void UseYahooEverywhere(MainWindow* form) {
    for (auto* chooser : form->engineChoosers)
        chooser->ChangeValue("Yahoo");
}

} // namespace

TEST_F(BadInputTest, AMegabyteOfKeywordsIsSearchedAndTheWindowStaysUsable) {
    ShowAtOrigin();
    UseYahooEverywhere(form);
    form->keywordsBox->ChangeValue(wxString(std::string(1 << 20, 'k')));
    form->OnSearch();
    ASSERT_TRUE(
        WaitFor([&] { return TestProxy().Requests().size() >= 5; }, std::chrono::milliseconds(30000)));
    // The box holds what the toolkit's text box can (about 64K characters), and all
    // of that is sent.
    const std::size_t held = form->keywordsBox->GetValue().length();
    EXPECT_GT(held, 65000u);
    EXPECT_EQ(TestProxy().Requests()[0].size(), YahooUrlOf("").size() + held);

    // Still answering: a normal search right after goes through.
    TestProxy().ClearRequests();
    TypeInto(form->keywordsBox, "after");
    PressKey(WXK_RETURN);
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_TRUE(watchers[i]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=after")) << i;
}

TEST_F(BadInputTest, ControlCharactersEmojiAndRightToLeftTextReachTheEngineAsUtf8) {
    UseYahooEverywhere(form);
    form->keywordsBox->ChangeValue(wxString(L"a\u0001b \U0001F600 \u05E9\u05DC\u05D5\u05DD \u202Ex"));
    form->OnSearch();
    ASSERT_TRUE(WaitFor([&] { return TestProxy().Requests().size() >= 5; }));
    // The view sends what is not plain ASCII percent-encoded as UTF-8.
    EXPECT_EQ(TestProxy().Requests()[0],
              YahooUrlOf("a%01b+%F0%9F%98%80+%D7%A9%D7%9C%D7%95%D7%9D+%E2%80%AEx"));
}

TEST_F(BadInputTest, DamagedEngineFilesNeverStopTheStart) {
    const auto file = programFolder / "engines.lst";
    const std::vector<std::string> contents = {
        std::string(10 << 20, 'x'),                          // one 10 MB line
        std::string("Yahoo\0Lycos\r\n\xFF\xFE\x00\x01", 16), // NUL and binary bytes
    };
    for (const std::string& bytes : contents) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        wxTEST_DIALOG(form->PrepareFirstShow(), wxExpectDismissableModal<SplashWindow>(wxID_OK));
    }
    // A text box ends its text at a NUL.
    EXPECT_EQ(form->engineChoosers[0]->GetValue(), L"Yahoo");
    EXPECT_EQ(form->engineChoosers[1]->GetValue(), L"\u00FF\u00FE");
    EXPECT_EQ(form->engineChoosers[2]->GetValue(), L"Infoseek");

    std::filesystem::remove(file);
    std::filesystem::create_directory(file); // a folder where the file should be
    wxTEST_DIALOG(form->PrepareFirstShow(), wxExpectDismissableModal<SplashWindow>(wxID_OK));
    EXPECT_EQ(form->engineChoosers[4]->GetValue(), L"Dogpile");
}

TEST_F(BadInputTest, AThousandSearchesInARowWhilePagesLoadEndOnTheLastOne) {
    ShowAtOrigin();
    UseYahooEverywhere(form);
    AnswerSlowly(std::chrono::milliseconds(50));
    for (int n = 0; n < 1000; ++n) {
        form->keywordsBox->ChangeValue(wxString::Format("search%d", n));
        form->OnSearch();
        if (n % 20 == 0)
            RunEventLoopFor(std::chrono::milliseconds(1));
    }
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        EXPECT_TRUE(watchers[i]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=search999",
                                                 std::chrono::milliseconds(60000)))
            << i;
    }
}

TEST_F(BadInputTest, ZoomRestoreAndResizeStormsWhilePagesLoadLeaveAConsistentWindow) {
    ShowAtOrigin();
    UseYahooEverywhere(form);
    AnswerSlowly(std::chrono::milliseconds(30));
    form->keywordsBox->ChangeValue("storm");
    // Only the buttons a user can reach are pressed: while a pane is zoomed,
    // its own is the only one showing.
    auto pressOpenOrClose = [&](PaneIndex wanted) {
        form->OnOpenOrClosePane(form->zoom.zoomedPane >= 0 ? form->zoom.zoomedPane : wanted);
    };
    for (int n = 0; n < 300; ++n) {
        if (n % 25 == 0 && form->zoom.zoomedPane < 0)
            form->OnSearch();
        pressOpenOrClose(n % PaneCount);
        form->SetSize(300 + (n * 37) % 900, 80 + (n * 53) % 900); // some too small to hold a zoom
        if (n % 3 == 0)
            pressOpenOrClose((n + 2) % PaneCount);
        if (n % 10 == 0)
            RunEventLoopFor(std::chrono::milliseconds(1));
        int zoomed = 0;
        for (PaneIndex i = 0; i < PaneCount; ++i)
            zoomed += form->openButtons[i]->GetLabel() == L"Close";
        ASSERT_LE(zoomed, 1) << "step " << n;
        ASSERT_EQ(zoomed == 1, form->zoom.zoomedPane >= 0) << "step " << n;
    }
    // Whatever happened, at most one pane is zoomed and the window agrees with it.
    if (form->zoom.zoomedPane >= 0)
        form->OnOpenOrClosePane(form->zoom.zoomedPane);
    form->SetSize(800, 600);
    RunEventLoopFor(std::chrono::milliseconds(200));
    EXPECT_EQ(form->zoom.zoomedPane, -1);
    EXPECT_FALSE(form->urlBar->IsShown());
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        EXPECT_EQ(form->openButtons[i]->GetLabel(), L"Open");
        EXPECT_TRUE(form->paneViews[i]->Visible());
        EXPECT_FLOAT_EQ(WxPlacement(form->paneViews[i]->View()).Top(), 1575 + 1350 * i);
        EXPECT_FLOAT_EQ(WxPlacement(form->paneViews[i]->View()).Height(), 1350);
    }
}
