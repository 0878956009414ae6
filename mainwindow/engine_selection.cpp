// Saving and restoring the engine of each pane across runs.

#include "engine_selection_file.h"
#include "failure.h"
#include "main_window.h"
#include "xdg_folders.h"

#include <wx/combobox.h>
#include <wx/msgdlg.h>

void MainWindow::OnSave() {
    SaveEngineSelection();
}

// The file goes beside the program when that folder can be written, else to
// the user's configuration folder, made when missing. The confirmation follows
// only a save that really reached the disk; a failed one says so and names
// the file or folder, and the old file is left as it was.
void MainWindow::SaveEngineSelection() {
    PaneArray<std::wstring> texts;
    for (PaneIndex i = 0; i < PaneCount; ++i)
        texts[i] = engineChoosers[i]->GetValue().ToStdWstring();
    const auto file = EngineSelectionSaveFile(m_programFolder, FindXdgFolders());
    try {
        PrepareFolderFor(file);
        WriteEngineSelection(file, texts);
    } catch (const ScoutwellError& error) {
        wxMessageBox(wxString::FromUTF8(error.what()), L"Scoutwell", wxOK | wxICON_ERROR, this);
        return;
    }
    wxMessageBox(L"Search Engine settings saved.", L"Scoutwell", wxOK | wxICON_NONE, this);
}

// Each line read goes to its chooser as it stands, whether or not it names an
// engine; choosers without a line keep their text.
void MainWindow::LoadEngineSelection() {
    const auto lines = ReadEngineSelection(EngineSelectionLoadFile(m_programFolder, FindXdgFolders()));
    for (std::size_t k = 0; k < lines.size() && k < PaneCount; ++k)
        engineChoosers[k]->ChangeValue(wxString(lines[k]));
}
