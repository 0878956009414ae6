// Find in all five panes: counted, scrolled to, stepped through from the bar or a pane; a zoomed pane alone.
#include "find_bar.h"
#include "main_window_fixture.h"

#include <wx/panel.h>
#include <wx/stattext.h>

namespace {

constexpr const char* AllCounts = "1: 3 \u00b7 2: none \u00b7 3: 1 \u00b7 4: 12 \u00b7 5: 5";

class FindTest : public MainWindowTest {
protected:
    // Pane i's page has the word as often as its count, each more than a page below the one before.
    void ShowPages() {
        ServePages([](const std::string& url) {
            const PaneArray<int> counts{3, 0, 1, 12, 5};
            std::string body = "<p>top</p>";
            for (int k = 0; k < counts[url.back() - '0']; ++k)
                body += "<p id=m" + std::to_string(k) + " style='margin-top:150vh'>a Needle here</p>";
            return body;
        });
        for (PaneIndex i = 0; i < PaneCount; ++i)
            ASSERT_TRUE(Show(i, L"http://find.test/" + std::to_wstring(i)));
    }

    std::string Eval(PaneIndex i, const char* script) {
        wxString result;
        return window->paneViews[i]->View()->RunScript(script, &result) ? result.ToStdString() : "?";
    }

    // The match scrolled into view in pane i, "" when none is.
    std::string MatchInView(PaneIndex i) {
        return Eval(i,
                    "[...document.querySelectorAll('p[id]')].filter(p => p.getBoundingClientRect().top >= 0 "
                    "&& p.getBoundingClientRect().bottom <= innerHeight).map(p => p.id).join()");
    }

    bool InView(PaneIndex i, const std::string& id) {
        return WaitFor([&] { return MatchInView(i) == id; }, 5000ms);
    }

    std::string Counts() { return window->findBar->countsLabel->GetLabel().utf8_string(); }
};

} // namespace

TEST_F(FindTest, CountsAndStepsThroughTheMatchesOfEveryPaneFromTheKeyboard) {
    ShowAtOrigin();
    ShowPages();
    FindBar& bar = *window->findBar;
    Click(window->keywordsBox);
    PressKey('F', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor([&] { return bar.IsOpen() && wxWindow::FindFocus() == bar.findBox; }));
    EXPECT_FALSE(window->hintPanel->IsShown());
    ASSERT_TRUE(TypeInto(bar.findBox, "NEEDLE"));
    EXPECT_TRUE(WaitFor([&] { return Counts() == AllCounts; })) << Counts();
    // Each pane is scrolled down to its first match.
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_TRUE(InView(i, i == 1 ? "" : "m0")) << i + 1 << " " << MatchInView(i);

    // From the bar every pane steps, and round from the last match to the first; from a page only that pane.
    const std::vector<std::tuple<const char*, int, int, PaneArray<const char*>>> steps{
        {"Enter in the bar", WXK_RETURN, wxMOD_NONE, {"m1", "", "m0", "m1", "m1"}},
        {"F3 in the bar", WXK_F3, wxMOD_NONE, {"m2", "", "m0", "m2", "m2"}},
        {"Enter in the bar", WXK_RETURN, wxMOD_NONE, {"m0", "", "m0", "m3", "m3"}},
        {"F3 in pane 4's page", WXK_F3, wxMOD_NONE, {"m0", "", "m0", "m4", "m3"}},
    };
    for (const auto& [name, key, modifiers, expected] : steps) {
        if (std::string(name).ends_with("page")) {
            PressKey('4', wxMOD_CONTROL);
            ASSERT_TRUE(WaitFor([&] { return window->FocusedControl() == window->paneViews[3]->View(); }));
        }
        PressKey(key, modifiers);
        for (PaneIndex i = 0; i < PaneCount; ++i)
            EXPECT_TRUE(InView(i, expected[i])) << name << ": pane " << i + 1 << " " << MatchInView(i);
    }

    PressKey(WXK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !bar.IsOpen() && window->hintPanel->IsShown(); }));
    EXPECT_EQ(Counts(), "");
}

TEST_F(FindTest, AZoomedPaneIsSearchedAloneAndEscapeClosesTheBarBeforeItPutsThePaneBack) {
    ShowAtOrigin();
    ShowPages();
    FindBar& bar = *window->findBar;
    Click(window->openButtons[4]);
    ASSERT_TRUE(WaitFor([&] { return window->zoom.zoomedPane == 4; }));
    PressKey('F', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor([&] { return bar.IsOpen() && wxWindow::FindFocus() == bar.findBox; }));
    ASSERT_TRUE(TypeInto(bar.findBox, "needle"));
    EXPECT_TRUE(WaitFor([&] { return Counts() == "5: 5"; })) << Counts();
    EXPECT_TRUE(InView(4, "m0"));
    EXPECT_TRUE(window->openInBrowserButton->IsShownOnScreen());

    PressKey(WXK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !bar.IsOpen(); }));
    EXPECT_EQ(window->zoom.zoomedPane, 4);
    PressKey(WXK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return window->zoom.zoomedPane == -1; }));
    // Opened again over the hints, every pane is searched once more.
    Click(bar.findButton);
    EXPECT_TRUE(WaitFor([&] { return Counts() == AllCounts; })) << Counts();
}
