// For keyboard users, large text and a dark theme: tab order, shortcuts, captions that fit and contrast.

#include "find_bar.h"
#include "help_window.h"
#include "main_window_fixture.h"
#include "rich_text_viewer.h"
#include "screen_capture.h"
#include "splash_window.h"
#include "text_fit.h"

#include <gtk/gtk.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>

namespace {

class AccessibilityTest : public MainWindowTest {};

// WCAG's contrast of a picture's commonest colour (its background) and the one standing out most (its text).
double TextContrast(const wxImage& image) {
    std::map<unsigned long, int> counts;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            ++counts[wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)).GetRGB()];
    auto luminance = [](unsigned long rgb) {
        double sum = 0.05;
        for (const auto& [shift, weight] : {std::pair{0, 0.2126}, {8, 0.7152}, {16, 0.0722}}) {
            const double s = ((rgb >> shift) & 0xFF) / 255.0;
            sum += weight * (s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    const unsigned long background =
        std::ranges::max_element(counts, {}, [](auto& c) { return c.second; })->first;
    double best = 1;
    for (const auto& [rgb, count] : counts)
        best =
            std::max({best, luminance(rgb) / luminance(background), luminance(background) / luminance(rgb)});
    return best;
}

} // namespace

TEST_F(AccessibilityTest, TabFollowsTheTabOrderEverywhereAndThroughTheLinksOfEachPage) {
    ShowAtOrigin();
    // The title says whether the page itself knows it has the focus, and which element has it: a key is
    // pressed only once the page has taken the focus, as a person's next key would find it.
    ServePages([](const std::string&) {
        return "<!doctype html><title></title><a id=next href=/next>next</a> <a id=blank "
               "href=/blank>blank</a>"
               "<script>setInterval(() => document.title = (document.hasFocus() ? 'f:' : ':') + "
               "document.activeElement.id, 20)</script>";
    });
    for (PaneIndex i = 0; i < PaneCount; ++i)
        ASSERT_TRUE(Show(i, L"http://pane" + std::to_wstring(i) + L".example/"));
    Click(window->keywordsBox);
    // The documented order, the hidden URL bar left out; a page takes the focus as a whole, then Tab goes
    // through its links (Shift+Tab from its last), and the last control leads back to the first.
    std::vector<wxWindow*> order{window->keywordsBox, window->searchButton};
    order.insert(order.end(), window->engineChoosers.begin(), window->engineChoosers.end());
    order.push_back(window->saveButton);
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        std::vector<wxWindow*> column{window->openButtons[i], window->forwardButtons[i],
                                      window->backButtons[i], window->stopButtons[i]};
        if (i > 0)
            std::reverse(column.begin(), column.end());
        order.insert(order.end(), column.begin(), column.end());
    }
    order.insert(order.end(), {window->helpButton, window->findBar->findButton});
    for (PaneIndex i = 0; i < PaneCount; ++i)
        order.push_back(window->paneViews[i]->View());
    for (const bool forward : {true, false}) {
        for (std::size_t k = 1; k <= order.size(); ++k) {
            wxWindow* control = order[forward ? k % order.size() : order.size() - k];
            auto* page = dynamic_cast<wxWebView*>(control);
            std::vector<wxString> titles{""};
            if (page != nullptr)
                titles = {"f:", forward ? "f:next" : "f:blank", forward ? "f:blank" : "f:next"};
            for (const wxString& title : titles) {
                PressKey(WXK_TAB, forward ? wxMOD_NONE : wxMOD_SHIFT);
                // One lost or extra key would fail every step after it: the first one ends the test.
                ASSERT_TRUE(WaitFor([&] {
                    return window->FocusedControl() == control &&
                           (page == nullptr || page->GetCurrentTitle() == title);
                })) << (forward ? "Tab to " : "Shift+Tab to ")
                    << control->GetLabel() << " " << title;
            }
        }
    }
}

TEST_F(AccessibilityTest, EachShortcutDoesItsJobWhereverTheFocusIs) {
    ShowAtOrigin();
    wxWebView* page = window->paneViews[2]->View();
    for (const std::wstring url : {L"http://first.example/", L"http://second.example/"})
        ASSERT_TRUE(Show(2, url));
    window->keywordsBox->ChangeValue(L"new york");
    Click(window->hintLabel); // keys go where the pointer is on a bare X server
    window->saveButton->SetFocus();
    for (const int modifiers : {wxMOD_CONTROL, wxMOD_ALT}) {
        PressKey(modifiers == wxMOD_CONTROL ? 'L' : 'D', modifiers);
        EXPECT_TRUE(WaitFor([&] {
            long from = -1, to = -1;
            window->keywordsBox->GetSelection(&from, &to);
            return wxWindow::FindFocus() == window->keywordsBox && to - from == 8;
        }));
        window->searchButton->SetFocus();
    }
    PressKey('3', wxMOD_CONTROL);
    EXPECT_TRUE(WaitFor([&] { return window->FocusedControl() == page; }));
    PressKey(WXK_LEFT, wxMOD_ALT);
    EXPECT_TRUE(watchers[2]->WaitUntilLoaded(L"http://first.example/"));
    PressKey(WXK_RIGHT, wxMOD_ALT);
    EXPECT_TRUE(watchers[2]->WaitUntilLoaded(L"http://second.example/"));
    for (const auto& [key, direction] : {std::pair{'+', 1}, {'0', 0}, {'-', -1}}) { // the text, larger...
        PressKey(key, wxMOD_CONTROL);
        EXPECT_TRUE(WaitFor([&, direction = direction] {
            const double change = page->GetZoomFactor() - 1.0;
            return direction == 0 ? change == 0 : change * direction > 0.05;
        })) << key;
    }
    EXPECT_EQ(window->paneViews[1]->View()->GetZoomFactor(), 1.0); // ... of that pane only
    PressKey(WXK_TAB, wxMOD_CONTROL);                              // leaves the page even from inside it
    EXPECT_TRUE(WaitFor([&] { return window->FocusedControl() == window->paneViews[3]->View(); }));

    PressKey(WXK_F1);
    ASSERT_TRUE(
        WaitFor([] { return HelpWindow::Instance() != nullptr && HelpWindow::Instance()->IsShown(); }));
    HelpWindow* help = HelpWindow::Instance();
    Click(help->documentView);
    ASSERT_TRUE(WaitFor([&] { return help->IsDescendant(wxWindow::FindFocus()); }));
    PressKey(WXK_ESCAPE);
    EXPECT_TRUE(WaitFor([] { return HelpWindow::Instance() == nullptr; }));
}

namespace {

// Every control that shows text: the URL bar's with a pane zoomed, the find bar's once it is open.
std::vector<wxWindow*> TextControls(MainWindow* window, bool zoomed, bool finding) {
    const FindBar& bar = *window->findBar;
    if (finding) {
        std::vector<wxWindow*> controls{bar.findLabel,  bar.findBox,     bar.previousButton,
                                        bar.nextButton, bar.closeButton, bar.countsLabel};
        if (!zoomed) // in the keyword panel, hidden while a pane is zoomed
            controls.push_back(bar.findButton);
        return controls;
    }
    if (zoomed)
        return {window->openButtons[0], window->forwardButtons[0], window->backButtons[0],
                window->stopButtons[0], window->urlLabel,          window->openInBrowserButton,
                window->urlBox};
    std::vector<wxWindow*> controls{window->keywordsLabel, window->keywordsBox, window->searchButton,
                                    window->saveButton,    window->helpButton,  window->hintLabel};
    for (PaneIndex i = 0; i < PaneCount; ++i)
        controls.insert(controls.end(),
                        {window->chooserNumbers[i], window->engineChoosers[i], window->openButtons[i],
                         window->forwardButtons[i], window->backButtons[i], window->stopButtons[i]});
    return controls;
}

// What is drawn in the area stands out from its background at least as much as asked.
void ExpectContrast(const wxRect& area, double least, const std::string& name) {
    double contrast = 1;
    EXPECT_TRUE(WaitFor(
        [&] {
            contrast = TextContrast(CaptureScreenArea(area));
            return contrast >= least;
        },
        2000ms))
        << name << " " << contrast;
}

// The text fits, or is shortened where that may be, and stands out from its background as drawn.
void ExpectReadable(wxWindow* control, bool mayShorten, bool captured) {
    const std::string name =
        (wxString(control->GetClassInfo()->GetClassName()) + " " + control->GetLabel()).utf8_string();
    EXPECT_TRUE(WaitFor(
        [&] { return TextOverflow(control) == 0 && (mayShorten || !IsTextEllipsized(control)); }, 2000ms))
        << name;
    if (!captured)
        return;
    // Inside the border, which is no text.
    ExpectContrast(control->GetScreenRect().Deflate(dynamic_cast<wxStaticText*>(control) ? 0 : 3), 4.5, name);
}

// Where a chooser's drop-down button is on the screen: right of its text box.
wxRect ArrowButtonRect(wxComboBox* chooser) {
    auto* combo = static_cast<GtkWidget*>(chooser->GetHandle());
    GtkAllocation comboBox, textBox;
    gtk_widget_get_allocation(combo, &comboBox);
    gtk_widget_get_allocation(gtk_bin_get_child(GTK_BIN(combo)), &textBox);
    const int left = textBox.x + textBox.width - comboBox.x;
    return {chooser->GetScreenPosition() + wxPoint(left, 0), wxSize(comboBox.width - left, comboBox.height)};
}

// The choosers' arrows stand out as a control's picture must (3:1), drawn without an SVG renderer.
void ExpectArrowsStandOut(MainWindow* window) {
    for (wxComboBox* chooser : window->engineChoosers) {
        wxRect button = ArrowButtonRect(chooser);
        ASSERT_FALSE(button.IsEmpty());
        ExpectContrast(button.Deflate(2), 3, "arrow of " + chooser->GetValue().utf8_string());
    }
    std::ifstream maps("/proc/self/maps");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(maps), {}).find("librsvg"), std::string::npos)
        << "the SVG renderer was loaded";
}

} // namespace

// Under large text and the dark theme too; the find bar over the hints and over the URL of the zoomed pane.
TEST_F(AccessibilityTest, EveryTextFitsAndStandsOutFromItsBackground) {
    ShowAtOrigin();
    window->keywordsBox->ChangeValue(L"new york");
    FindBar& bar = *window->findBar;
    for (const auto& [zoomed, finding] :
         {std::pair{false, false}, {true, false}, {true, true}, {false, true}}) {
        if (zoomed != (window->zoom.zoomedPane == 0)) {
            window->OnOpenOrClosePane(0);
            window->urlBox->ChangeValue(L"http://www.lycos.com/");
        }
        if (finding && !bar.IsOpen()) {
            bar.Open();
            bar.findBox->SetValue(L"needle");  // searched as typed
            bar.findBox->SetInsertionPoint(0); // as typed: the text not selected
        }
        window->paneViews[0]->View()->SetFocus(); // no focus ring on the controls measured
        ASSERT_TRUE(!finding || !bar.CountsText().empty());
        for (wxWindow* control : TextControls(window, zoomed, finding)) // the URL box's shows in no capture
            ExpectReadable(control, !finding, control != window->urlBox);
        if (!zoomed && !finding)
            ExpectArrowsStandOut(window);
    }

    SplashWindow splash; // its labels draw their own text: each is as large as the text it shows
    splash.Show();
    for (auto* label : {splash.companyProductLabel, splash.productNameLabel, splash.platformLabel,
                        splash.versionLabel, splash.copyrightLabel, splash.emailLabel}) {
        const wxSize text = label->GetTextExtent(label->GetLabelText());
        EXPECT_TRUE(text.x <= label->GetSize().x && text.y <= label->GetSize().y) << label->GetLabelText();
    }
}
