// Input no user means to give, and more of it than anyone would: the program
// must keep working and stay consistent.

#include "form1_fixture.h"
#include "process_tree.h"
#include "frm_splash.h"
#include "wx_placement.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/testing.h>

#include <fstream>
#include <unistd.h>

namespace {

using BadInputTest = Form1Test;

std::string YahooUrlOf(const std::string& encoded) { return "http://search.yahoo.com/bin/search?p=" + encoded; }

// Every page takes a while to come, so that searches overlap loads.
void AnswerSlowly(std::chrono::milliseconds delay) {
    TestProxy().SetResponder([delay](const std::string& url) {
        auto page = RecordingProxy::DefaultPage(url);
        page.delay = delay;
        return page;
    });
}

void UseYahooEverywhere(Form1* form) {
    for (auto* chooser : form->SearchEngine)
        chooser->ChangeValue("Yahoo");
}

} // namespace

TEST_F(BadInputTest, AMegabyteOfKeywordsIsSearchedAndTheWindowStaysUsable) {
    ShowAtOrigin();
    UseYahooEverywhere(form);
    form->Text1->ChangeValue(wxString(std::string(1 << 20, 'k')));
    form->Command1_Click();
    ASSERT_TRUE(WaitFor([&] { return TestProxy().Requests().size() >= 5; }, std::chrono::milliseconds(30000)));
    // The box holds what the toolkit's text box can (about 64K characters), and all
    // of that is sent.
    const std::size_t held = form->Text1->GetValue().length();
    EXPECT_GT(held, 65000u);
    EXPECT_EQ(TestProxy().Requests()[0].size(), YahooUrlOf("").size() + held);

    // Still answering: a normal search right after goes through.
    TestProxy().ClearRequests();
    TypeInto(form->Text1, "after");
    PressKey(WXK_RETURN);
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_TRUE(watchers[i]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=after")) << i;
}

TEST_F(BadInputTest, ControlCharactersEmojiAndRightToLeftTextReachTheEngineAsUtf8) {
    UseYahooEverywhere(form);
    form->Text1->ChangeValue(wxString(L"a\u0001b \U0001F600 \u05E9\u05DC\u05D5\u05DD \u202Ex"));
    form->Command1_Click();
    ASSERT_TRUE(WaitFor([&] { return TestProxy().Requests().size() >= 5; }));
    // The view sends what is not plain ASCII percent-encoded as UTF-8.
    EXPECT_EQ(TestProxy().Requests()[0],
              YahooUrlOf("a%01b+%F0%9F%98%80+%D7%A9%D7%9C%D7%95%D7%9D+%E2%80%AEx"));
}

TEST_F(BadInputTest, DamagedEngineFilesNeverStopTheStart) {
    const auto file = programFolder / "engines.lst";
    const std::vector<std::string> contents = {
        std::string(10 << 20, 'x'),                   // one 10 MB line
        std::string("Yahoo\0Lycos\r\n\xFF\xFE\x00\x01", 16), // NUL and binary bytes
    };
    for (const std::string& bytes : contents) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        wxTEST_DIALOG(form->Form_Load(), wxExpectDismissableModal<frmSplash>(wxID_OK));
    }
    // A text box ends its text at a NUL.
    EXPECT_EQ(form->SearchEngine[0]->GetValue(), L"Yahoo");
    EXPECT_EQ(form->SearchEngine[1]->GetValue(), L"\u00FF\u00FE");
    EXPECT_EQ(form->SearchEngine[2]->GetValue(), L"Infoseek");

    std::filesystem::remove(file);
    std::filesystem::create_directory(file); // a folder where the file should be
    wxTEST_DIALOG(form->Form_Load(), wxExpectDismissableModal<frmSplash>(wxID_OK));
    EXPECT_EQ(form->SearchEngine[4]->GetValue(), L"Dogpile");
}

TEST_F(BadInputTest, AThousandSearchesInARowWhilePagesLoadEndOnTheLastOneWithoutGrowing) {
    ShowAtOrigin();
    UseYahooEverywhere(form);
    AnswerSlowly(std::chrono::milliseconds(50));
    // Five pages shown: what the program and its web processes hold then.
    form->Text1->ChangeValue("first");
    form->Command1_Click();
    for (PaneIndex i = 0; i < PaneCount; ++i)
        ASSERT_TRUE(watchers[i]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=first"));
    RunEventLoopFor(std::chrono::milliseconds(1000));
    const long before = TotalPssKiB(TreeMemory(getpid()));

    for (int n = 0; n < 1000; ++n) {
        form->Text1->ChangeValue(wxString::Format("search%d", n));
        form->Command1_Click();
        if (n % 20 == 0)
            RunEventLoopFor(std::chrono::milliseconds(1));
    }
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        EXPECT_TRUE(watchers[i]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=search999",
                                                 std::chrono::milliseconds(60000)))
            << i;
    }
    RunEventLoopFor(std::chrono::milliseconds(1000));
    // Still five pages: a thousand searches may leave some history and cache
    // behind (about 15 MiB here), not a leak of even 64 KiB a search.
    const long after = TotalPssKiB(TreeMemory(getpid()));
    EXPECT_LT(after - before, 64 * 1024) << "PSS before " << before << " KiB, after " << after << " KiB";
}

TEST_F(BadInputTest, ZoomRestoreAndResizeStormsWhilePagesLoadLeaveAConsistentWindow) {
    ShowAtOrigin();
    UseYahooEverywhere(form);
    AnswerSlowly(std::chrono::milliseconds(30));
    form->Text1->ChangeValue("storm");
    // Only the buttons a user can reach are pressed: while a pane is zoomed,
    // its own is the only one showing.
    auto pressOpenOrClose = [&](PaneIndex wanted) {
        form->Openbtn_Click(form->Zoom.ZoomedIndex >= 0 ? form->Zoom.ZoomedIndex : wanted);
    };
    for (int n = 0; n < 300; ++n) {
        if (n % 25 == 0 && form->Zoom.ZoomedIndex < 0)
            form->Command1_Click();
        pressOpenOrClose(n % PaneCount);
        form->SetSize(300 + (n * 37) % 900, 80 + (n * 53) % 900); // some too small to hold a zoom
        if (n % 3 == 0)
            pressOpenOrClose((n + 2) % PaneCount);
        if (n % 10 == 0)
            RunEventLoopFor(std::chrono::milliseconds(1));
        int zoomed = 0;
        for (PaneIndex i = 0; i < PaneCount; ++i)
            zoomed += form->Openbtn[i]->GetLabel() == L"Close";
        ASSERT_LE(zoomed, 1) << "step " << n;
        ASSERT_EQ(zoomed == 1, form->Zoom.ZoomedIndex >= 0) << "step " << n;
    }
    // Whatever happened, at most one pane is zoomed and the window agrees with it.
    if (form->Zoom.ZoomedIndex >= 0)
        form->Openbtn_Click(form->Zoom.ZoomedIndex);
    form->SetSize(800, 600);
    RunEventLoopFor(std::chrono::milliseconds(200));
    EXPECT_EQ(form->Zoom.ZoomedIndex, -1);
    EXPECT_FALSE(form->Frame5->IsShown());
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        EXPECT_EQ(form->Openbtn[i]->GetLabel(), L"Open");
        EXPECT_TRUE(form->WebBrowser[i]->Visible());
        EXPECT_FLOAT_EQ(WxPlacement(form->WebBrowser[i]->View()).Top(), 1575 + 1350 * i);
        EXPECT_FLOAT_EQ(WxPlacement(form->WebBrowser[i]->View()).Height(), 1350);
    }
}
