#include "help_window.h"
#include "main_window_fixture.h"
#include "product_info.h"
#include "program_resources.h"
#include "rich_text_viewer.h"
#include "rtf_reader.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

class HelpTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ShowAtOrigin();
    }

    void TearDown() override {
        if (HelpWindow* help = HelpWindow::Instance())
            help->Destroy();
        MainWindowTest::TearDown();
    }

    HelpWindow* ClickHelp() { // and waits for the help window to be in front
        Click(window->helpButton);
        const bool inFront = WaitFor([] {
            const auto titles = StackedWindowTitles();
            return HelpWindow::Instance() != nullptr && !titles.empty() && titles.back() == "Help";
        });
        EXPECT_TRUE(inFront);
        return inFront ? HelpWindow::Instance() : nullptr;
    }
};

} // namespace

// Its buttons hand the website and a mail address to the desktop, and Tab cycles through them.
TEST_F(HelpTest, HelpClicksBringOneHelpWindowToTheFrontBesideAWorkingMainWindow) {
    HelpWindow* help = ClickHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->documentView->Text(), DocumentText(ReadRtf(HelpDocument()))); // with no help.rtf
    window->Raise();
    ASSERT_TRUE(WaitFor([] { return StackedWindowTitles().back() == "Scoutwell"; }));
    EXPECT_EQ(ClickHelp(), help);
    EXPECT_EQ(help->GetParent(), nullptr);
    Click(window->openButtons[2]); // the main window works on
    EXPECT_TRUE(WaitFor([&] { return window->zoom.zoomedPane == 2; }));
    EXPECT_TRUE(help->IsShownOnScreen());

    Click(help->websiteButton);
    ASSERT_TRUE(WaitForDesktopCalls(1));
    Click(help->emailButton);
    ASSERT_TRUE(WaitForDesktopCalls(2));
    const auto calls = TestDesktop().Calls();
    EXPECT_EQ(calls[0].argument, wxString(HomePageUrl).utf8_string());
    EXPECT_EQ(calls[1].argument, "mailto:" + wxString(ContactAddress).utf8_string());
    ClickAt(help->documentView->GetScreenPosition() + wxPoint(100, 100));
    ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == help->documentView; }));
    for (wxWindow* next :
         std::initializer_list<wxWindow*>{help->websiteButton, help->emailButton, help->documentView}) {
        PressKey(WXK_TAB);
        EXPECT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == next; })) << next->GetName();
    }
}

TEST_F(HelpTest, AHelpRtfIsShownAndOneThatCannotBeIsReportedAndTheBuiltInCopyStays) {
    WriteFile(programFolder / "help.rtf", "{\\rtf1\\ansi First version\\par}");
    HelpWindow* help = ClickHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->documentView->Text(), L"First version\n");
    help->Destroy();
    ASSERT_TRUE(WaitFor([] { return HelpWindow::Instance() == nullptr; }));
    // Found, as root may read any file by its mode, yet the kernel lets nobody read it.
    const std::filesystem::path writeOnly = "/sys/bus/platform/drivers_probe";
    if (geteuid() != 0 || !std::filesystem::exists(writeOnly))
        GTEST_SKIP() << "needs root and " << writeOnly;
    std::filesystem::remove(programFolder / "help.rtf");
    std::filesystem::create_symlink(writeOnly, programFolder / "help.rtf");
    testing::internal::CaptureStderr();
    help = ClickHelp();
    const std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->documentView->Text(), DocumentText(ReadRtf(HelpDocument())));
    const std::string line = (programFolder / "help.rtf").string() + " was found but could not be shown";
    EXPECT_NE(errors.find(line), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
}
