#include "help_window.h"
#include "main_window_fixture.h"
#include "product_info.h"
#include "program_resources.h"
#include "rich_text_viewer.h"
#include "rtf_reader.h"
#include "wx_placement.h"
#include "x_stacking.h"

#include <gtk/gtk.h>
#include <wx/button.h>
#include <wx/display.h>

#include <fstream>

using namespace std::chrono_literals;

namespace {

// The main window at the top left of the screen, and the help window as the
// Help button makes it, in a program folder of the test's own.
class HelpTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ShowAtOrigin();
    }

    void TearDown() override {
        if (HelpWindow* help = HelpWindow::Instance())
            help->Destroy();
        RunEventLoopFor(50ms);
        MainWindowTest::TearDown();
    }

    void WriteHelpFile(const std::string& rtf) {
        std::ofstream(programFolder / "help.rtf", std::ios::binary) << rtf;
    }

    // Clicks Help and waits for the help window to be on the screen.
    HelpWindow* ClickHelp() {
        Click(form->helpButton);
        HelpWindow* help = HelpWindow::Instance();
        if (help == nullptr || !WaitFor([&] { return help->IsShownOnScreen(); }))
            return nullptr;
        RunEventLoopFor(100ms);
        return help;
    }

    static int HelpWindowsAlive() {
        int count = 0;
        for (wxWindow* window : wxTopLevelWindows)
            count += dynamic_cast<HelpWindow*>(window) != nullptr && !window->IsBeingDeleted();
        return count;
    }

    // Closes the window as its close button does, and waits until it is gone.
    static bool CloseHelp(HelpWindow* help) {
        help->Close();
        return WaitFor([] { return HelpWindow::Instance() == nullptr && HelpWindowsAlive() == 0; });
    }

    static bool HelpIsInFront() {
        const auto titles = StackedWindowTitles();
        return !titles.empty() && titles.back() == "Help";
    }

    static bool Focused(wxWindow* window) { return wxWindow::FindFocus() == window; }
};

} // namespace

TEST_F(HelpTest, HelpClicksShowOneHelpWindowAndBringItToTheFront) {
    EXPECT_EQ(HelpWindow::Instance(), nullptr); // nothing until the first click
    HelpWindow* help = ClickHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(WaitFor(HelpIsInFront));
    EXPECT_TRUE(form->IsShownOnScreen()); // beside the main window, not instead of it

    form->Raise();
    ASSERT_TRUE(WaitFor([] { return !HelpIsInFront(); }));
    EXPECT_EQ(ClickHelp(), help);
    EXPECT_TRUE(WaitFor(HelpIsInFront));
    EXPECT_EQ(HelpWindowsAlive(), 1);
    EXPECT_EQ(HelpWindow::Instance(), help);
}

TEST_F(HelpTest, TheWindowShowsHelpRtfAsItIsWhenTheWindowLoads) {
    WriteHelpFile("{\\rtf1\\ansi First version\\par}");
    HelpWindow* help = ClickHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->documentView->Text(), L"First version\n");

    // While it is open the file is not read again.
    WriteHelpFile("{\\rtf1\\ansi Second version\\par}");
    ASSERT_EQ(ClickHelp(), help);
    EXPECT_EQ(help->documentView->Text(), L"First version\n");

    // Closed, it is gone; the next Help makes it afresh from the file as it is now.
    ASSERT_TRUE(CloseHelp(help));
    help = ClickHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->documentView->Text(), L"Second version\n");
    EXPECT_EQ(HelpWindowsAlive(), 1);
}

// Without a copy beside the program, an installed one: the user's data folder
// before the system's.
TEST_F(HelpTest, WithoutHelpRtfBesideTheProgramTheInstalledOneShows) {
    const std::string dataDirs = std::getenv("XDG_DATA_DIRS");
    const std::filesystem::path user = std::getenv("XDG_DATA_HOME"),
                                system = dataDirs.substr(0, dataDirs.find(':'));
    for (const auto& [folder, text] :
         {std::pair{system, L"System copy\n"}, std::pair{user, L"User copy\n"}}) {
        std::filesystem::create_directories(folder / "scoutwell");
        std::ofstream(folder / "scoutwell" / "help.rtf")
            << "{\\rtf1\\ansi " << wxString(text).Trim().utf8_string() << "\\par}";
        HelpWindow* help = ClickHelp();
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->documentView->Text(), text);
        ASSERT_TRUE(CloseHelp(help));
    }
    std::filesystem::remove_all(user / "scoutwell");
    std::filesystem::remove_all(system / "scoutwell");
}

TEST_F(HelpTest, WithoutHelpRtfTheBuiltInDocumentShows) {
    ASSERT_FALSE(std::filesystem::exists(programFolder / "help.rtf"));
    HelpWindow* help = ClickHelp();
    ASSERT_NE(help, nullptr);
    const std::wstring text = help->documentView->Text();
    EXPECT_EQ(text, DocumentText(ReadRtf(HelpDocument())));
    EXPECT_NE(text.find(L"Scoutwell Version 2.0\n"), std::wstring::npos);
    EXPECT_NE(text.find(std::wstring(L"For additional help, e-mail: ") + ContactAddress + L"\n"),
              std::wstring::npos);
    // Every picture of the document decodes (an empty frame has an alpha
    // channel) and shows within the viewer's width; the document scrolls.
    int pictures = 0;
    GtkTextIter iter;
    gtk_text_buffer_get_start_iter(gtk_text_view_get_buffer(help->documentView->TextView()), &iter);
    for (; !gtk_text_iter_is_end(&iter); gtk_text_iter_forward_char(&iter)) {
        if (GdkPixbuf* pixbuf = gtk_text_iter_get_pixbuf(&iter)) {
            ++pictures;
            EXPECT_FALSE(gdk_pixbuf_get_has_alpha(pixbuf));
            EXPECT_LE(gdk_pixbuf_get_width(pixbuf), help->documentView->GetClientSize().x);
        }
    }
    EXPECT_EQ(pictures, 6);
    GtkAdjustment* scroll = gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(help->documentView->TextView()));
    EXPECT_TRUE(
        WaitFor([&] { return gtk_adjustment_get_upper(scroll) > gtk_adjustment_get_page_size(scroll); }));
}

TEST_F(HelpTest, TheButtonsHandTheWebsiteAndAMailAddressToTheDesktop) {
    TestDesktop().ForgetCalls();
    HelpWindow* help = ClickHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->websiteButton->GetLabel(), L"Click here to go to the Scoutwell website");
    EXPECT_EQ(help->emailButton->GetLabel(), wxString(L"E-Mail ") + MakerName);

    Click(help->websiteButton);
    ASSERT_TRUE(WaitForDesktopCalls(1));
    Click(help->emailButton);
    ASSERT_TRUE(WaitForDesktopCalls(2));
    RunEventLoopFor(500ms);

    const auto calls = TestDesktop().Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].argument, wxString(HomePageUrl).utf8_string());
    EXPECT_EQ(calls[1].argument, "mailto:" + wxString(ContactAddress).utf8_string());
    EXPECT_EQ(HelpWindow::Instance(), help); // the window stays open
}

TEST_F(HelpTest, TheMainWindowWorksOnWhileHelpIsOpen) {
    HelpWindow* help = ClickHelp();
    ASSERT_NE(help, nullptr);
    TypeInto(form->keywordsBox, "new york");
    Click(form->searchButton);
    EXPECT_TRUE(WaitFor([] { return TestProxy().Requests().size() >= 5; }));
    Click(form->openButtons[2]);
    EXPECT_EQ(form->zoom.zoomedPane, 2);
    EXPECT_TRUE(help->IsShownOnScreen());
    EXPECT_EQ(HelpWindowsAlive(), 1);
}

TEST_F(HelpTest, TheWindowHasItsFixedLayoutTabOrderAndFocus) {
    HelpWindow* help = ClickHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->GetTitle(), L"Help");
    EXPECT_EQ(help->GetParent(), nullptr);
    const long style = help->GetWindowStyleFlag();
    EXPECT_TRUE(style & wxCLOSE_BOX);
    EXPECT_TRUE(style & wxFRAME_NO_TASKBAR);
    EXPECT_FALSE(style & (wxRESIZE_BORDER | wxMINIMIZE_BOX | wxMAXIMIZE_BOX));
    EXPECT_EQ(help->GetIcons().GetIconCount(), ProgramIcon().GetIconCount());
    EXPECT_EQ(help->GetClientSize(), wxSize(458, 421)); // 6870 x 6315 twips

    struct Expected {
        wxWindow* control;
        float left, top, width, height;
    };
    for (const Expected& e : {Expected{help->documentView, 120, 120, 6615, 4935},
                              Expected{help->websiteButton, 120, 5160, 3375, 495},
                              Expected{help->emailButton, 120, 5760, 3375, 495}}) {
        WxPlacement placement(e.control);
        EXPECT_FLOAT_EQ(placement.Left(), e.left) << e.top;
        EXPECT_FLOAT_EQ(placement.Top(), e.top) << e.top;
        EXPECT_FLOAT_EQ(placement.Width(), e.width) << e.top;
        EXPECT_FLOAT_EQ(placement.Height(), e.height) << e.top;
    }

    // No owner to centre on: it opens in the middle of the screen.
    const wxRect screen = wxDisplay(0u).GetGeometry();
    const wxRect rect = help->GetScreenRect();
    EXPECT_NEAR(rect.GetLeft() - screen.GetLeft(), screen.GetRight() - rect.GetRight(), 1);
    EXPECT_NEAR(rect.GetTop() - screen.GetTop(), screen.GetBottom() - rect.GetBottom(), 1);

    const std::vector<wxWindow*> tabOrder{help->documentView, help->websiteButton, help->emailButton};
    EXPECT_EQ(help->TabOrder(), tabOrder);
    // Keys go to the window under the pointer.
    wxUIActionSimulator simulator;
    simulator.MouseMove(help->documentView->GetScreenRect().GetPosition() + wxPoint(100, 100));
    EXPECT_TRUE(WaitFor([&] { return Focused(help->documentView); }, 2s));
    for (wxWindow* next : {tabOrder[1], tabOrder[2], tabOrder[0]}) {
        PressKey(WXK_TAB);
        EXPECT_TRUE(WaitFor([&] { return Focused(next); }, 2s)) << next->GetName();
    }
}
