#include "gui_test.h"
#include "rich_text_viewer.h"
#include "rtf_samples.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/frame.h>

#include <string>

using namespace RtfSamples;

namespace {

// A whole PNG file of one pixel.
const std::string OnePixelPng(
    "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90\x77\x53\xDE\0\0\0"
    "\x0CIDATx\x9C\x63\xD0\xA8\x38\x01\0\x02\x34\x01\x69\x18\x46\x25\x0F\0\0\0\0IEND\xAE\x42\x60\x82",
    69);
std::string Picture(const std::string& kind, int width, int height, const std::string& data) {
    return "{\\pict\\" + kind + "\\picwgoal" + std::to_string(width) + "\\pichgoal" + std::to_string(height) +
           " " + Hex(data) + "}\\par ";
}

class RichTextViewerTest : public testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "viewer", wxPoint(0, 0), wxSize(460, 350));
        viewer = new RichTextViewer(frame, wxID_ANY, wxPoint(8, 8), wxSize(441, 329));
        frame->Show();
        ASSERT_TRUE(WaitFor([&] { return viewer->IsShownOnScreen(); }));
    }
    void TearDown() override { frame->Destroy(); }
    wxString Write(const std::string& bytes) {
        WriteFile(folder / "help.rtf", bytes);
        return wxString::FromUTF8((folder / "help.rtf").string());
    }

    TempFolder temp;
    const std::filesystem::path& folder = temp.path;
    wxFrame* frame = nullptr;
    RichTextViewer* viewer = nullptr;
};

} // namespace

TEST_F(RichTextViewerTest, BadFilesAreShownWithoutHangingLongWordsIncluded) {
    ASSERT_TRUE(viewer->ShowFile(Write("not rtf\r\n{\\b}\tcol\n"))); // plain text, shown as it is
    EXPECT_EQ(viewer->Text(), L"not rtf\n{\\b}\tcol\n\n");

    std::string styles = "{\\rtf1 "; // thousands of fonts, each asked for once
    for (int size = 2; size <= 3276; ++size)
        styles += "{\\fs" + std::to_string(size) + "\\b a}{\\i\\cf" + std::to_string(size) + " b}";
    for (const std::string& bytes :
         {"{\\rtf1 " + Picture("pngblip", 2000000000, 2000000000, OnePixelPng) + "}",
          "{\\rtf1 " + Picture("dibitmap0", 600, 600, Dib(30000, 30000, 24, "")) + "}", styles,
          std::string(3 << 20, 'x'), // one word of 3 MB: plain text, shown up to its limit
          "{\\rtf1 " + std::string(1 << 20, 'w') + "\\par}"}) {
        ASSERT_TRUE(viewer->ShowFile(Write(bytes)));
        EXPECT_TRUE(WaitFor([&] { return !viewer->IsFilling(); }, 100s));
    }
    std::wstring text = viewer->Text(); // the long word, whole, shown in lines of bounded length
    EXPECT_EQ(std::erase(text, L'\n'), (1u << 20) / RichTextViewer::MaxShownParagraph);
    EXPECT_EQ(text, std::wstring(1 << 20, L'w'));
}

TEST_F(RichTextViewerTest, TheKeysScrollItAndScreenReadersReadItByParagraph) {
    std::string rtf = "{\\rtf1 ";
    for (int i = 0; i < 200; ++i)
        rtf += "Paragraph {\\b " + std::to_string(i) + "} of a document longer than its view.\\par ";
    viewer->SetRtf(rtf + "}");
    AtkObject* accessible = gtk_widget_get_accessible(GTK_WIDGET(viewer->TextView()));
    ASSERT_TRUE(ATK_IS_TEXT(accessible));
    gint start = 0;
    gint end = 0;
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS // what GTK 3's text view answers to screen readers
        gchar* paragraph =
            atk_text_get_text_at_offset(ATK_TEXT(accessible), 60, ATK_TEXT_BOUNDARY_LINE_START, &start, &end);
    G_GNUC_END_IGNORE_DEPRECATIONS
    EXPECT_STREQ(paragraph, "Paragraph 1 of a document longer than its view.\n");
    EXPECT_EQ(start, 48);
    g_free(paragraph);

    Click(viewer); // keys go to the window under the pointer
    GtkAdjustment* scroll = gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(viewer->TextView()));
    PressKey(WXK_END);
    EXPECT_TRUE(WaitFor([&] {
        const double top = gtk_adjustment_get_value(scroll);
        return top > 2000 && top == gtk_adjustment_get_upper(scroll) - gtk_adjustment_get_page_size(scroll);
    }));
    PressKey(WXK_HOME);
    EXPECT_TRUE(WaitFor([&] { return gtk_adjustment_get_value(scroll) == 0; }));
}
