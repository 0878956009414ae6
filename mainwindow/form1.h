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
class Form1 : public wxFrame {
public:
    // Creates the window and all its controls, hidden, in their design layout.
    // programFolder is where engines.lst is kept and what the desktop is
    // given as the working folder.
    explicit Form1(std::filesystem::path programFolder);
    ~Form1() override;

    // Runs once after creation, before the window is first shown.
    void Form_Load();

    // Event handlers, callable directly.
    void Form_Resize();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Text1_KeyPress(int keyAscii);
    void Backbtn_Click(PaneIndex index);
    void Fwdbtn_Click(PaneIndex index);
    void Stopbtn_Click(PaneIndex index);
    void Openbtn_Click(PaneIndex index);
    void Timer1_Timer();
    void Command4_Click();

    // Lays the five pane rows out for the window's size, then zooms the
    // zoomed pane again.
    void ArrangePanes();
    void SaveEngineSelection();
    void LoadEngineSelection();
    std::filesystem::path EngineSelectionFile() const;

    // Zooms pane index again, or puts it back, as its Open button's caption
    // says; nothing when index is -1.
    void ReapplyZoom(PaneIndex index);

    ZoomState Zoom;

    // Top strip: keywords and Search.
    wxPanel* Frame1;
    wxStaticText* Label1;
    wxTextCtrl* Text1;
    wxButton* Command1;
    // Top strip: engine choosers, Save, Help.
    wxPanel* Frame2;
    PaneArray<wxComboBox*> SearchEngine;
    PaneArray<wxStaticText*> Label2;
    wxButton* Command2;
    wxButton* Command3;
    // Top strip: the hints.
    wxPanel* Frame3;
    wxStaticText* Label3;
    // The pane rows.
    PaneArray<wxPanel*> Frame4;
    PaneArray<wxButton*> Openbtn;
    PaneArray<wxButton*> Fwdbtn;
    PaneArray<wxButton*> Backbtn;
    PaneArray<wxButton*> Stopbtn;
    PaneArray<std::unique_ptr<WebKitBrowserView>> WebBrowser;
    // The URL bar of a zoomed pane.
    wxPanel* Frame5;
    wxButton* Command4;
    wxTextCtrl* Text2;
    wxStaticText* Label4;
    wxTimer Timer1;

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
