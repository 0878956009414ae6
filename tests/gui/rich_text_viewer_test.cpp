#include "gui_test.h"
#include "rich_text_viewer.h"
#include "rtf_samples.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/panel.h>
#include <wx/uiaction.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

using namespace RtfSamples;

namespace {

std::string Rgb24Dib(int width, int height) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::string bits(static_cast<std::size_t>(stride * height), '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            char* pixel = &bits[static_cast<std::size_t>(y * stride + x * 3)];
            pixel[0] = static_cast<char>(255 * x / width);
            pixel[1] = static_cast<char>(255 * y / height);
            pixel[2] = static_cast<char>(200);
        }
    return Dib(width, height, 24, bits);
}

std::string RealPng(int width, int height) {
    wxImage image(width, height);
    image.SetRGB(wxRect(0, 0, width, height), 40, 120, 200);
    wxMemoryOutputStream out;
    image.SaveFile(out, wxBITMAP_TYPE_PNG);
    std::string bytes(out.GetSize(), '\0');
    out.CopyTo(bytes.data(), bytes.size());
    return bytes;
}

// A document with a few styles, a metafile picture at 98 % and a PNG.
std::string SampleRtf() {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss MS Sans Serif;}"
           "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\froman Times New "
           "Roman;}}{\\colortbl\\red0\\green0\\blue0;"
           "\\red200\\green0\\blue0;}\\deftab720\\pard\\f2\\fs20{\\pict\\wmetafile8\\picw4313\\pich2778"
           "\\picwgoal2400\\pichgoal1575\\picscalex98\\picscaley98 " +
           Hex(Metafile(0x0F43, 28, Rgb24Dib(160, 105), true)) +
           "}\\par\\pard\\b\\fs28 Scoutwell Version 2.0\\b0\\par\\fs24 A utility that searches several "
           "engines "
           "at once.\\par\\pard\\qc\\fs20{\\i Centred italic} and {\\ul underlined} and {\\cf1 red}\\par"
           "\\pard\\tx2000 Tab\\tab stop\\par{\\*\\shppict{\\pict\\pngblip\\picwgoal600\\pichgoal300 " +
           Hex(RealPng(40, 20)) + "}}\\par}";
}

std::string LongRtf(int paragraphs) {
    std::string rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < paragraphs; ++i)
        rtf += "Paragraph " + std::to_string(i) + " of a document longer than its view.\\par ";
    return rtf + "}";
}

// Thousands of different fonts, each asked for once.
std::string ManyStyles() {
    std::string rtf = "{\\rtf1 ";
    for (int size = 2; size <= 3276; ++size)
        rtf += "{\\fs" + std::to_string(size) + " a}{\\b\\i\\fs" + std::to_string(size) + " b}";
    return rtf + "}";
}

class RichTextViewerTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("scoutwell-viewer-" + std::to_string(::getpid()) + "-" +
                    testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_folder);
        m_frame = new wxFrame(nullptr, wxID_ANY, "viewer", wxPoint(0, 0), wxSize(500, 420));
        m_panel = new wxPanel(m_frame);
        m_viewer = new RichTextViewer(m_panel, wxID_ANY, wxPoint(8, 8), wxSize(441, 329));
        m_button = new wxButton(m_panel, wxID_ANY, "Next", wxPoint(8, 345), wxSize(225, 33));
        m_frame->Show();
        WaitFor([&] { return m_viewer->IsShownOnScreen(); });
    }
    void TearDown() override {
        m_frame->Destroy();
        wxTheApp->Yield(true);
        std::filesystem::remove_all(m_folder);
    }

    wxString Write(const std::string& name, const std::string& bytes) {
        const auto path = m_folder / name;
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return wxString::FromUTF8(path.string());
    }

    std::filesystem::path m_folder;
    wxFrame* m_frame = nullptr;
    wxPanel* m_panel = nullptr;
    RichTextViewer* m_viewer = nullptr;
    wxButton* m_button = nullptr;
};

} // namespace

TEST_F(RichTextViewerTest, LoadsAnRtfFileInPlaceOfWhatItHeld) {
    m_viewer->SetRtf("{\\rtf1 built-in copy\\par}");
    EXPECT_EQ(m_viewer->Text(), L"built-in copy\n");

    ASSERT_TRUE(m_viewer->LoadFile(Write("help.rtf", SampleRtf())));
    const std::wstring text = m_viewer->Text();
    EXPECT_NE(text.find(L"Scoutwell Version 2.0\n"), std::wstring::npos);
    EXPECT_EQ(text.find(L"built-in"), std::wstring::npos);
    EXPECT_EQ(text.find(L"\\"), std::wstring::npos); // no RTF codes shown
    EXPECT_EQ(text.find(L"fonttbl"), std::wstring::npos);
    ASSERT_EQ(m_viewer->Document().pictures.size(), 2u);
    EXPECT_TRUE(m_viewer->CanShowPicture(0)); // the bitmap inside the metafile
    EXPECT_TRUE(m_viewer->CanShowPicture(1)); // the PNG
    EXPECT_EQ(m_viewer->Document().pictures[0].widthTwips, 2352);

    // Loading again shows the file as it is now.
    ASSERT_TRUE(m_viewer->LoadFile(Write("help.rtf", "{\\rtf1 changed\\par}")));
    EXPECT_EQ(m_viewer->Text(), L"changed\n");
}

TEST_F(RichTextViewerTest, AFileThatIsNotRtfShowsAsPlainText) {
    ASSERT_TRUE(m_viewer->LoadFile(Write("notes.txt", "first line\r\n{\\b not rtf}\tcol\n")));
    EXPECT_EQ(m_viewer->Text(), L"first line\n{\\b not rtf}\tcol\n\n");
    ASSERT_TRUE(m_viewer->LoadFile(Write("empty.rtf", "")));
    EXPECT_EQ(m_viewer->Text(), L"\n");
}

TEST_F(RichTextViewerTest, AMissingOrUnreadableFileKeepsWhatItHeld) {
    m_viewer->SetRtf("{\\rtf1 built-in copy\\par}");
    EXPECT_FALSE(m_viewer->LoadFile(wxString::FromUTF8((m_folder / "missing.rtf").string())));
    EXPECT_FALSE(m_viewer->LoadFile(wxString::FromUTF8(m_folder.string()))); // a folder
    const auto pipe = m_folder / "pipe.rtf";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(m_viewer->LoadFile(wxString::FromUTF8(pipe.string()))); // would wait for a writer
    EXPECT_EQ(m_viewer->Text(), L"built-in copy\n");
}

TEST_F(RichTextViewerTest, BadFilesShowWithoutHanging) {
    const std::string open(100000, '{');
    const std::vector<std::string> files = {
        "{\\rtf1 cut short{\\b in the mid",
        "{\\rtf1 a}}}}}}",
        "{\\rtf1 a" + open,
        "{\\rtf1{\\pict\\pngblip\\picwgoal2000000000\\pichgoal2000000000 " + Hex(RealPng(4, 4)) + "}after}",
        "{\\rtf1{\\pict\\dibitmap0\\picwgoal600\\pichgoal600 " + Hex(Dib(100000, 100000, 24, "")) + "}after}",
        "{\\rtf1{\\pict\\pngblip\\picwgoal600\\pichgoal600 " + Hex(Png(100000, 100000)) + "}after}",
        std::string("\x00\x01\xFF\xFE{\\rtf\x80\x00", 10),
        ManyStyles(),
    };
    for (const std::string& bytes : files) {
        ASSERT_TRUE(m_viewer->LoadFile(Write("bad.rtf", bytes)));
        m_viewer->Refresh();
        m_viewer->Update();
        m_viewer->ScrollToPosition(m_viewer->ContentHeight());
        m_viewer->Update();
        for (std::size_t i = 0; i < m_viewer->Document().pictures.size(); ++i)
            EXPECT_FALSE(m_viewer->CanShowPicture(static_cast<int>(i)) &&
                         m_viewer->Document().pictures[i].widthTwips > RtfLimits::MaxPictureTwips);
    }
    // The picture asked for far too large is never decoded at that size: it
    // is shown within the view's width.
    ASSERT_TRUE(m_viewer->LoadFile(Write("bad.rtf", files[3])));
    EXPECT_LE(m_viewer->PictureSize(0).x, m_viewer->GetClientSize().x);
    EXPECT_LT(m_viewer->ContentHeight(), RtfLimits::MaxFramePixels + 200);
}

TEST_F(RichTextViewerTest, APictureWiderThanTheViewIsNarrowedInProportion) {
    // 7200 x 600 twips is 480 x 40 pixels: wider than the view's column.
    const std::string wide = "{\\pict\\pngblip\\picwgoal7200\\pichgoal600 " + Hex(RealPng(480, 40)) + "}";
    const std::string narrow = "{\\pict\\pngblip\\picwgoal3000\\pichgoal600 " + Hex(RealPng(200, 40)) + "}";
    m_viewer->SetRtf("{\\rtf1 " + wide + "\\par " + narrow + "\\par}");
    const int column = m_viewer->GetClientSize().x - 6; // the text's margins
    ASSERT_LT(column, 480);
    EXPECT_EQ(m_viewer->PictureSize(0), wxSize(column, 40 * column / 480));
    EXPECT_EQ(m_viewer->PictureSize(1), wxSize(200, 40));
    EXPECT_TRUE(m_viewer->CanShowPicture(0));

    // Room enough: the picture's own size again.
    m_viewer->SetSize(600, 329);
    ASSERT_TRUE(WaitFor([&] { return m_viewer->GetClientSize().x > 490; }));
    EXPECT_EQ(m_viewer->PictureSize(0), wxSize(480, 40));
    EXPECT_TRUE(m_viewer->CanShowPicture(0));
}

TEST_F(RichTextViewerTest, AHugeFileShowsInAFewSeconds) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}\\f0 ";
    rtf.reserve(50u << 20);
    for (int i = 0; rtf.size() < (50u << 20); ++i)
        rtf += "{\\b Paragraph} " + std::to_string(i) +
               " of a very long document, with some words in it.\\par\n";
    rtf += "}";
    const wxString rtfPath = Write("huge.rtf", rtf);
    std::string text;
    text.reserve(50u << 20);
    while (text.size() < (50u << 20))
        text += "a line of plain text that goes on for a while and then ends\n";
    const wxString textPath = Write("huge.txt", text);

    for (const wxString& path : {rtfPath, textPath}) {
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(m_viewer->LoadFile(path));
        m_viewer->Update();
        EXPECT_TRUE(WaitFor([&] { return m_viewer->LineCount() > 100000; }, std::chrono::seconds(60)));
        m_viewer->ScrollToPosition(m_viewer->ContentHeight());
        m_viewer->Update();
        EXPECT_GT(m_viewer->ScrollPosition(), 1000000);
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::seconds(60)); // far beyond what it needs
    }
}

TEST_F(RichTextViewerTest, ScrollsWithTheKeysAndTheScrollBar) {
    m_viewer->SetRtf(LongRtf(200));
    ASSERT_GT(m_viewer->ContentHeight(), 2000);
    EXPECT_EQ(m_viewer->ScrollPosition(), 0);

    m_viewer->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == m_viewer; }));
    wxUIActionSimulator simulator;
    simulator.MouseMove(m_viewer->GetScreenRect().GetPosition() + wxPoint(100, 100));
    RunEventLoopFor(std::chrono::milliseconds(100));

    simulator.Char(WXK_DOWN);
    ASSERT_TRUE(WaitFor([&] { return m_viewer->ScrollPosition() > 0; }));
    const int afterLine = m_viewer->ScrollPosition();
    simulator.Char(WXK_PAGEDOWN);
    ASSERT_TRUE(WaitFor([&] { return m_viewer->ScrollPosition() > afterLine + 200; }));
    EXPECT_EQ(m_viewer->GetScrollPos(wxVERTICAL), m_viewer->ScrollPosition());
    simulator.Char(WXK_END);
    ASSERT_TRUE(WaitFor([&] {
        return m_viewer->ScrollPosition() == m_viewer->ContentHeight() - m_viewer->GetClientSize().y;
    }));
    simulator.Char(WXK_HOME);
    ASSERT_TRUE(WaitFor([&] { return m_viewer->ScrollPosition() == 0; }));
    simulator.Char(WXK_UP); // already at the top
    RunEventLoopFor(std::chrono::milliseconds(100));
    EXPECT_EQ(m_viewer->ScrollPosition(), 0);

    // The wheel turned towards the user scrolls down three lines.
    wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
    wheel.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
    wheel.m_wheelRotation = -120;
    wheel.m_wheelDelta = 120;
    wheel.m_linesPerAction = 3;
    m_viewer->ProcessWindowEvent(wheel);
    EXPECT_GT(m_viewer->ScrollPosition(), 20);
    m_viewer->ScrollToPosition(0);

    // A click on the scroll bar's trough below the thumb pages down.
    const wxRect screen = m_viewer->GetScreenRect();
    simulator.MouseMove(screen.GetRight() - 6, screen.GetBottom() - 20);
    RunEventLoopFor(std::chrono::milliseconds(100));
    simulator.MouseClick();
    EXPECT_TRUE(WaitFor([&] { return m_viewer->ScrollPosition() > 0; }, std::chrono::seconds(5)));
}

TEST_F(RichTextViewerTest, TakesTheFocusFirstAndPassesItOnWithTab) {
    m_panel->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == m_viewer; }));
    wxUIActionSimulator simulator;
    simulator.MouseMove(m_viewer->GetScreenRect().GetPosition() + wxPoint(50, 50));
    RunEventLoopFor(std::chrono::milliseconds(100));
    simulator.Char(WXK_TAB);
    EXPECT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == m_button; }));
}

TEST_F(RichTextViewerTest, LinesWrapToTheViewsWidth) {
    m_viewer->SetRtf("{\\rtf1 " + std::string(2000, 'w') + " " + std::string(40, 'x') + "\\par}");
    const std::size_t wide = m_viewer->LineCount();
    EXPECT_GT(wide, 3u); // a word longer than the line is broken
    m_viewer->SetSize(220, 329);
    EXPECT_TRUE(WaitFor([&] { return m_viewer->LineCount() > wide; }));
    EXPECT_EQ(m_viewer->Text(), L"" + std::wstring(2000, L'w') + L" " + std::wstring(40, L'x') + L"\n");
}
