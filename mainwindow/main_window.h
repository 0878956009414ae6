#pragma once

#include "added_engines.h"
#include "panes.h"
#include "recent_searches_list.h"
#include "webkit_browser_view.h"
#include "zoom_state.h"

#include <wx/frame.h>
#include <wx/timer.h>

#include <filesystem>
#include <future>
#include <memory>
#include <vector>

class FindBar;
class wxButton;
class wxComboBox;
class wxPanel;
class wxStaticText;
class wxTextCtrl;
class KeywordSuggestions;
struct FetchedDescription;

// The main window: the keyword box and Search, the five engine choosers with
// Save and Help, the hint text, five pane rows of a button column and a web
// view each, and the URL bar shown while a pane is zoomed.
//
// The controls carry the names the rest of the program uses for them; the
// per-pane ones are arrays indexed by PaneIndex.
class MainWindow : public wxFrame {
public:
    // Creates the window and all its controls, hidden, in their design layout.
    // programFolder is where engines.lst is kept and what the desktop is
    // given as the working folder.
    explicit MainWindow(std::filesystem::path programFolder);
    ~MainWindow() override;

    // Runs once after creation, before the window is first shown: the steps
    // of PrepareBehindSplash, then the splash.
    void PrepareFirstShow();
    // The steps that get the hidden window ready to be shown, without the
    // splash: for a start that shows the splash first and makes the window
    // while it is up.
    void PrepareBehindSplash();

    // Event handlers, callable directly.
    void OnResize();
    void OnSearch();
    void OnSave();
    void OnHelp();
    void OnKeywordsKey(int keyCode);
    void OnBack(PaneIndex index);
    void OnForward(PaneIndex index);
    void OnStop(PaneIndex index);
    void OnOpenOrClosePane(PaneIndex index);
    void OnUrlTimer();
    void OnOpenInBrowser();
    void OnChooserText(PaneIndex index);
    // A key the window answers whichever control has the focus: Tab and
    // Ctrl+Tab along the tab order, F1, Ctrl+L, Alt+D, Ctrl+1 to Ctrl+5,
    // Alt+Left/Right, Ctrl+plus/minus/0, Escape, and the find bar's Ctrl+F,
    // F3 and Enter. False for any other key.
    bool OnKeyCommand(const wxKeyEvent& event);

    // Moves the keyboard focus to the next (or previous) control in tab
    // order that is shown, from the control that has it.
    void MoveFocus(bool forward);
    // The pane whose page or buttons have the focus; else the zoomed pane,
    // else -1.
    PaneIndex FocusedPane() const;
    // The control with the keyboard focus, a pane's page included.
    wxWindow* FocusedControl() const;
    // Enlarges (step 1) or shrinks (-1) the text of a pane's page, or gives
    // it back its own size (0).
    void ZoomPageText(PaneIndex index, int step);

    // Lays the five pane rows out for the window's size, then zooms the
    // zoomed pane again.
    void ArrangePanes();
    void SaveEngineSelection();
    void LoadEngineSelection();
    // Starts reading the engines described in the engine folders; the event
    // loop then lists them in every chooser after the catalogue's rows,
    // sorted by name.
    void ReadAddedEngines();
    // The engines read, once the reading has ended.
    AddedEngines& AddedEngineList();
    // Whether every added engine is in the choosers' lists yet.
    bool AllEnginesListed();
    // Adds the engine a page advertised, as its context menu's "Add search
    // engine" fetched it: saved as a new file in the user's engine folder and
    // listed in all five choosers at once. A refusal is shown in a message box.
    void AddSearchEngine(const FetchedDescription& fetched);

    // Zooms pane index again, or puts it back, as its Open button's caption
    // says; nothing when index is -1.
    void ReapplyZoom(PaneIndex index);

    ZoomState zoom;

    // Top strip: keywords and Search.
    wxPanel* searchPanel;
    wxStaticText* keywordsLabel;
    wxTextCtrl* keywordsBox;
    wxButton* searchButton;
    // Top strip: engine choosers, Save, Help.
    wxPanel* enginePanel;
    PaneArray<wxComboBox*> engineChoosers;
    PaneArray<wxStaticText*> chooserNumbers;
    wxButton* saveButton;
    wxButton* helpButton;
    // Top strip: the hints.
    wxPanel* hintPanel;
    wxStaticText* hintLabel;
    // The pane rows.
    PaneArray<wxPanel*> paneButtonColumns;
    PaneArray<wxButton*> openButtons;
    PaneArray<wxButton*> forwardButtons;
    PaneArray<wxButton*> backButtons;
    PaneArray<wxButton*> stopButtons;
    PaneArray<std::unique_ptr<WebKitBrowserView>> paneViews;
    // The URL bar of a zoomed pane.
    wxPanel* urlBar;
    wxButton* openInBrowserButton;
    wxTextCtrl* urlBox;
    wxStaticText* urlLabel;
    wxTimer urlTimer;
    // The recent searches listed under the keyword box.
    std::unique_ptr<RecentSearchesList> recentSearches;

    // Completions offered while the keywords are typed.
    std::unique_ptr<KeywordSuggestions> suggestions;

    // Find in the pages, opened by Ctrl+F or its button below Search.
    std::unique_ptr<FindBar> findBar;

    // The controls that take the keyboard focus, in tab order.
    const std::vector<wxWindow*>& TabOrder() const { return m_tabOrder; }

private:
    void CreateTopStrip();
    void CreatePaneRows();
    void CreateUrlBar();
    void BindHandlers();
    // Names and descriptions as a screen reader reads them, and captions
    // fitted to their boxes whatever the text size.
    void DescribeControls();
    void DescribePaneButtons(PaneIndex i);
    void FitCaptions();
    void OfferAddingEngines();
    void ListMoreEngines();
    void OnCharHook(wxKeyEvent& event);
    void FocusKeywords();
    void OnSize(wxSizeEvent& event);
    void ZoomPane(PaneIndex i);
    void RestorePanes(PaneIndex i);

    std::filesystem::path m_programFolder;
    std::vector<wxWindow*> m_tabOrder;
    bool m_focusLeavingPage = false;
    std::future<AddedEngines> m_readingEngines;
    wxTimer m_engineReadTimer; // until the engines are read
    AddedEngines m_addedEngines;
    std::size_t m_listedEngines = 0;
};
