#pragma once

#include "page_find.h"
#include "panes.h"

#include <memory>
#include <optional>
#include <string>

class MainWindow;
class wxButton;
class wxKeyEvent;
class wxPanel;
class wxStaticText;
class wxTextCtrl;

// Find in the pages of every pane at once: the Find button below Search opens
// a bar over the hints (over the URL box while a pane is zoomed, and then in
// that pane alone) whose text is looked for in each shown page as it is
// typed, with the matches of each pane counted in one line.
class FindBar {
public:
    explicit FindBar(MainWindow& window);
    ~FindBar();

    // Shows the bar, its text selected for typing over.
    void Open();
    // Hides the bar and takes the highlights out of the pages.
    void Close();
    bool IsOpen() const;
    // To the next (or previous) match in pane, or in every searched pane for -1.
    void Step(bool forward, PaneIndex pane);
    // Places the bar for the zoom as it now is, and searches the panes now shown.
    void FollowZoom();
    // Ctrl+F, F3 and Shift+F3, Escape while the bar is open, Enter and
    // Shift+Enter in its text box; false for any other key.
    bool OnKey(const wxKeyEvent& event);
    // "1: 3 · 2: none · …", for the panes searched.
    std::wstring CountsText() const;

    wxButton* findButton;
    wxPanel* panel;
    wxStaticText* findLabel;
    wxTextCtrl* findBox;
    wxButton* previousButton;
    wxButton* nextButton;
    wxButton* closeButton;
    wxStaticText* countsLabel;

private:
    void Search();
    void ShowCounts();
    bool Searches(PaneIndex i) const;
    bool HasFocus() const;

    MainWindow& m_window;
    PaneArray<std::unique_ptr<PageFind>> m_finds;
    PaneArray<std::optional<unsigned>> m_counts;
    PaneIndex m_searchedZoom = -1; // the zoomed pane when the bar last searched
};
