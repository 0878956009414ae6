// The main window for people who do not use a mouse, need larger text or a
// dark theme: tab order through the pages' links, shortcuts, captions that
// fit, contrast as drawn, pages that fail and choosers that name no engine.
// The same tests run again under GDK_DPI_SCALE=1.5 and Adwaita:dark.

#include "etched_frame.h"
#include "help_window.h"
#include "main_window_fixture.h"
#include "rich_text_viewer.h"
#include "screen_capture.h"
#include "splash_window.h"
#include "text_fit.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include <cmath>
#include <map>

namespace {

class AccessibilityTest : public MainWindowTest {};

// A page of two links whose title names the element with the focus. Asking the page itself while it handles a
// key would disturb what is measured.
RecordingProxy::Response TwoLinks(const std::string&) {
    RecordingProxy::Response page;
    page.body =
        "<!doctype html><title></title><a id=next href=/next>next</a> <a id=blank href=/blank>blank</a>"
        "<script>setInterval(() => document.title = document.activeElement.id, 20)</script>";
    return page;
}

// WCAG's contrast of the commonest colour of a picture (its background) and
// the colour that stands out most from it (its text); and that background.
std::pair<double, unsigned long> TextContrast(const wxImage& image) {
    std::map<unsigned long, int> counts;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            ++counts[wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)).GetRGB()];
    auto luminance = [](unsigned long rgb) {
        double sum = 0;
        for (const auto& [shift, weight] : {std::pair{0, 0.2126}, {8, 0.7152}, {16, 0.0722}}) {
            const double s = ((rgb >> shift) & 0xFF) / 255.0;
            sum += weight * (s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4));
        }
        return sum + 0.05;
    };
    const unsigned long background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                                         return a.second < b.second;
                                     })->first;
    double best = 1;
    for (const auto& entry : counts)
        best = std::max({best, luminance(entry.first) / luminance(background),
                         luminance(background) / luminance(entry.first)});
    return {best, background};
}

} // namespace

TEST_F(AccessibilityTest, TabFollowsTheTabOrderEverywhereAndThroughTheLinksOfEachPage) {
    ShowAtOrigin();
    TestProxy().SetResponder(TwoLinks);
    for (PaneIndex i = 0; i < PaneCount; ++i)
        ASSERT_TRUE(Show(i, L"http://pane" + std::to_wstring(i) + L".example/"));
    Click(window->keywordsBox);
    // The documented order, the hidden URL bar left out; a page takes the
    // focus as a whole, then Tab goes through its links (Shift+Tab from its
    // last), and the last control leads back to the first.
    std::vector<std::pair<wxWindow*, std::string>> order{{window->keywordsBox, ""},
                                                         {window->searchButton, ""}};
    for (wxComboBox* chooser : window->engineChoosers)
        order.emplace_back(chooser, "");
    order.emplace_back(window->saveButton, "");
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        std::vector<wxWindow*> column{window->openButtons[i], window->forwardButtons[i],
                                      window->backButtons[i], window->stopButtons[i]};
        if (i > 0)
            std::reverse(column.begin(), column.end());
        for (wxWindow* button : column)
            order.emplace_back(button, "");
    }
    order.emplace_back(window->helpButton, "");
    for (PaneIndex i = 0; i < PaneCount; ++i)
        order.emplace_back(window->paneViews[i]->View(), "page");
    for (const bool forward : {true, false}) {
        std::vector<std::pair<wxWindow*, std::string>> steps;
        for (std::size_t k = 1; k <= order.size(); ++k) {
            const auto& [control, link] = order[forward ? k % order.size() : order.size() - k];
            steps.emplace_back(control, "");
            if (link == "page")
                for (const char* id : {forward ? "next" : "blank", forward ? "blank" : "next"})
                    steps.emplace_back(control, id);
        }
        for (const auto& [control, link] : steps) {
            PressKey(WXK_TAB, forward ? wxMOD_NONE : wxMOD_SHIFT);
            EXPECT_TRUE(WaitFor(
                [&] {
                    return window->FocusedControl() == control &&
                           (dynamic_cast<wxWebView*>(control) == nullptr ||
                            static_cast<wxWebView*>(control)->GetCurrentTitle() == link);
                },
                std::chrono::milliseconds(5000)))
                << (forward ? "Tab to " : "Shift+Tab to ") << control->GetLabel() << " " << link;
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
    PressKey('+', wxMOD_CONTROL);
    EXPECT_TRUE(WaitFor([&] { return page->GetZoomFactor() > 1.05; }));
    EXPECT_EQ(window->paneViews[1]->View()->GetZoomFactor(), 1.0);
    PressKey('-', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor([&] { return page->GetZoomFactor() < 1.05; }));
    PressKey('-', wxMOD_CONTROL);
    EXPECT_TRUE(WaitFor([&] { return page->GetZoomFactor() < 0.95; }));
    PressKey('0', wxMOD_CONTROL);
    EXPECT_TRUE(WaitFor([&] { return page->GetZoomFactor() == 1.0; }));
    PressKey(WXK_TAB, wxMOD_CONTROL); // leaves the page even from inside it
    EXPECT_TRUE(WaitFor([&] { return window->FocusedControl() == window->paneViews[3]->View(); }));

    window->OnOpenOrClosePane(3);
    window->openButtons[3]->SetFocus(); // where a click on Open leaves it
    PressKey(WXK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return window->zoom.zoomedPane == -1; }));
    EXPECT_EQ(window->openButtons[3]->GetLabel(), L"Open");

    PressKey(WXK_F1);
    ASSERT_TRUE(
        WaitFor([] { return HelpWindow::Instance() != nullptr && HelpWindow::Instance()->IsShown(); }));
    HelpWindow* help = HelpWindow::Instance();
    Click(help->documentView);
    ASSERT_TRUE(WaitFor([&] { return help->IsDescendant(wxWindow::FindFocus()); }));
    PressKey(WXK_ESCAPE);
    EXPECT_TRUE(WaitFor([] { return HelpWindow::Instance() == nullptr; }));
}

TEST_F(AccessibilityTest, APageThatFailsShowsALocalPageAndBackStillWorks) {
    ShowAtOrigin();
    TestProxy().SetResponder([](const std::string& url) {
        RecordingProxy::Response hangUp;
        hangUp.status = 0;
        return url.find("infoseek") != std::string::npos ? hangUp : RecordingProxy::DefaultPage(url);
    });
    wxWebView* view = window->paneViews[0]->View();
    ASSERT_TRUE(Show(0, L"http://www.lycos.com/"));
    TestProxy().ClearRequests();
    window->paneViews[0]->Navigate(L"http://www.infoseek.com/Titles?qt=x");
    EXPECT_TRUE(WaitFor([&] { return view->GetCurrentTitle().Contains(L"www.infoseek.com"); }));
    wxString sources;
    view->RunScript("document.querySelectorAll('[src],[href],script').length", &sources);
    EXPECT_EQ(sources, L"0");
    EXPECT_EQ(SortedRequests(), std::vector<std::string>{"http://www.infoseek.com/Titles?qt=x"});
    window->OnBack(0);
    EXPECT_TRUE(WaitFor([&] { return window->paneViews[0]->LocationURL() == L"http://www.lycos.com/"; }));
}

namespace {

// Every control that shows text, the URL bar's with a pane zoomed.
std::vector<wxWindow*> TextControls(MainWindow* window, bool zoomed) {
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

} // namespace

TEST_F(AccessibilityTest, EveryCaptionFitsOrIsShortenedWithTheWholeTextInItsTooltip) {
    ShowAtOrigin();
    window->engineChoosers[3]->SetValue(L"Savvy Search");
    for (const bool zoomed : {false, true}) {
        if (zoomed) {
            window->OnOpenOrClosePane(0);
            window->urlBox->ChangeValue(L"http://www.lycos.com/");
            RunEventLoopFor(std::chrono::milliseconds(200));
        }
        for (wxWindow* control : TextControls(window, zoomed)) {
            EXPECT_EQ(TextOverflow(control), 0) << control->GetLabel();
            if (IsTextEllipsized(control)) {
                EXPECT_TRUE(control->GetToolTipText().Contains(control->GetLabel())) << control->GetLabel();
            }
        }
    }
    SplashWindow splash;
    splash.Show();
    const wxRect frame(wxPoint(), splash.etchedFrame->GetClientSize());
    std::vector<wxRect> texts;
    for (auto* label : {splash.companyProductLabel, splash.productNameLabel, splash.platformLabel,
                        splash.versionLabel, splash.copyrightLabel, splash.companyLabel}) {
        const wxSize text = label->GetTextExtent(label->GetLabelText());
        EXPECT_TRUE(text.x <= label->GetSize().x && text.y <= label->GetSize().y) << label->GetLabelText();
        EXPECT_TRUE(frame.Contains(label->GetRect())) << label->GetLabelText();
        // Neighbouring lines may share the 3 pixels of spacing their boxes always shared.
        for (const wxRect& other : texts)
            EXPECT_LE(label->GetRect().Intersect(other).height, 3) << label->GetLabelText();
        texts.push_back(label->GetRect());
    }
}

TEST_F(AccessibilityTest, EveryTextStandsOutFromItsBackgroundAsDrawnAndAnUnknownEngineIsMarked) {
    ShowAtOrigin();
    window->keywordsBox->ChangeValue(L"new york");
    window->engineChoosers[3]->SetValue(L"Zzz"); // marked as naming no engine, search unchanged
    for (const bool zoomed : {false, true}) {
        if (zoomed) {
            window->OnOpenOrClosePane(0);
            window->urlBox->ChangeValue(L"http://www.lycos.com/");
        }
        window->paneViews[0]->View()->SetFocus(); // no focus ring on the controls measured
        RunEventLoopFor(std::chrono::milliseconds(300));
        for (wxWindow* control : TextControls(window, zoomed)) {
            if (control == window->urlBox) // its text does not show in a capture under Xvfb
                continue;
            // Inside the border, which is no text.
            const wxRect inside =
                control->GetScreenRect().Deflate(dynamic_cast<wxStaticText*>(control) ? 0 : 3);
            double contrast = 1;
            EXPECT_TRUE(WaitFor(
                [&] {
                    contrast = TextContrast(CaptureScreenArea(inside)).first;
                    return contrast >= 4.5;
                },
                std::chrono::milliseconds(2000)))
                << control->GetClassInfo()->GetClassName() << " " << control->GetLabel() << " " << contrast;
        }
    }
    window->OnOpenOrClosePane(0);
    auto background = [](wxWindow* w) { return TextContrast(CaptureScreenArea(w->GetScreenRect())).second; };
    EXPECT_TRUE(WaitFor(
        [&] { return background(window->engineChoosers[3]) != background(window->engineChoosers[2]); }));
    EXPECT_EQ(window->engineChoosers[3]->GetToolTipText(),
              L"No engine by this name: this pane keeps its page");
    window->engineChoosers[3]->SetValue(L"Hotbot");
    EXPECT_TRUE(WaitFor(
        [&] { return background(window->engineChoosers[3]) == background(window->engineChoosers[2]); }));
}
