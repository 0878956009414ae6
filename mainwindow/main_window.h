#pragma once

#include "panes.h"
#include "webkit_browser_view.h"
#include "zoom_state.h"

#include <wx/frame.h>
#include <wx/timer.h>

#include <filesystem>
#include <memory>
#include <vector>

class wxButton;
class wxComboBox;
class wxPanel;
class wxStaticText;
class wxTextCtrl;

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

    // Runs once after creation, before the window is first shown.
    void PrepareFirstShow();

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

    // Lays the five pane rows out for the window's size, then zooms the
    // zoomed pane again.
    void ArrangePanes();
    void SaveEngineSelection();
    void LoadEngineSelection();

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

    // The controls that take the keyboard focus, in tab order.
    const std::vector<wxWindow*>& TabOrder() const { return m_tabOrder; }

private:
    void CreateTopStrip();
    void CreatePaneRows();
    void CreateUrlBar();
    void BindHandlers();
    void OnCharHook(wxKeyEvent& event);
    void MoveFocusOnTab(wxKeyEvent& event);
    void OnSize(wxSizeEvent& event);
    void ZoomPane(PaneIndex i);
    void RestorePanes(PaneIndex i);

    std::filesystem::path m_programFolder;
    std::vector<wxWindow*> m_tabOrder;
};
