// What each control says to a screen reader and in its tooltip, captions
// that fit their boxes at any text size, and the mark on a chooser whose
// text names no engine.

#include "accessibility.h"
#include "main_window.h"
#include "search_dispatch.h"
#include "text_fit.h"

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/webview.h>

namespace {

wxString ForPane(const wchar_t* format, PaneIndex i) {
    return wxString::Format(format, i + 1);
}

// Pale yellow under black text: a cue that reads in light and dark themes.
const wxColour UnknownEngineBackground(255, 236, 140);
const wxColour UnknownEngineText(0, 0, 0);

} // namespace

void MainWindow::DescribeControls() {
    SetAccessibleText(keywordsBox, L"Keywords", L"The words to search for; Enter searches all five panes");
    SetAccessibleText(searchButton, L"Search", L"Search all five panes for the keywords");
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        SetAccessibleName(engineChoosers[i], ForPane(L"Search engine for pane %d", i));
        SetAccessibleName(paneViews[i]->View(), ForPane(L"Results, pane %d", i));
        DescribePaneButtons(i);
    }
    SetAccessibleText(saveButton, L"Save", L"Keep the five engine choices for the next start");
    SetAccessibleText(helpButton, L"Help", L"Show the help window (F1)");
    SetAccessibleText(openInBrowserButton, L"Load in Web Browser",
                      L"Open the pane's address in your own web browser");
    SetAccessibleText(urlBox, L"Current address", L"The address of the page in the open pane");
}

void MainWindow::DescribePaneButtons(PaneIndex i) {
    if (openButtons[i]->GetLabel() == L"Close")
        SetAccessibleText(openButtons[i], ForPane(L"Close pane %d", i),
                          ForPane(L"Put pane %d back in its row (Escape)", i));
    else
        SetAccessibleText(openButtons[i], ForPane(L"Open pane %d", i),
                          ForPane(L"Show pane %d alone, filling the window", i));
    SetAccessibleText(forwardButtons[i], ForPane(L"Forward in pane %d", i),
                      ForPane(L"Go forward in pane %d (Alt+Right)", i));
    SetAccessibleText(backButtons[i], ForPane(L"Back in pane %d", i),
                      ForPane(L"Go back in pane %d (Alt+Left)", i));
    SetAccessibleText(stopButtons[i], ForPane(L"Stop pane %d", i), ForPane(L"Stop loading pane %d", i));
}

void MainWindow::FitCaptions() {
    std::vector<wxWindow*> controls{keywordsLabel, keywordsBox, searchButton,        saveButton, helpButton,
                                    hintLabel,     urlLabel,    openInBrowserButton, urlBox};
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        controls.insert(controls.end(), {chooserNumbers[i], engineChoosers[i], forwardButtons[i],
                                         backButtons[i], stopButtons[i]});
        // Fitted for the longer of its two captions.
        openButtons[i]->SetLabel(L"Close");
        FitTextToBox(openButtons[i]);
        openButtons[i]->SetLabel(L"Open");
    }
    for (wxWindow* control : controls)
        FitTextToBox(control);
}

void MainWindow::OnChooserText(PaneIndex index) {
    wxComboBox* chooser = engineChoosers.at(index);
    const bool namesEngine = NamesAnEngine(chooser->GetValue().ToStdWstring(), AddedEngineList());
    chooser->SetBackgroundColour(namesEngine ? wxNullColour : UnknownEngineBackground);
    chooser->SetForegroundColour(namesEngine ? wxNullColour : UnknownEngineText);
    chooser->SetToolTip(namesEngine
                            ? ForPane(L"The engine pane %d searches: pick one or type its name", index)
                            : wxString(L"No engine by this name: this pane keeps its page"));
    chooser->Refresh();
    // The list opens at the row of the chooser's engine, not at its first row,
    // when the text is that row's name as it stands.
    const int row = chooser->FindString(chooser->GetValue(), true);
    if (row != wxNOT_FOUND && chooser->GetSelection() != row)
        chooser->SetSelection(row);
}
