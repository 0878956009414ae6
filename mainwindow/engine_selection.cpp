// Saving and restoring the engine of each pane across runs.

#include "engine_selection_file.h"
#include "failure.h"
#include "main_window.h"

#include <wx/combobox.h>
#include <wx/msgdlg.h>

std::filesystem::path MainWindow::EngineSelectionFile() const {
    return m_programFolder / EngineSelectionFileName;
}

void MainWindow::OnSave() {
    SaveEngineSelection();
}

// The confirmation follows only a save that really reached the disk; a failed
// one says so and names the file, and the old file is left as it was.
void MainWindow::SaveEngineSelection() {
    PaneArray<std::wstring> texts;
    for (PaneIndex i = 0; i < PaneCount; ++i)
        texts[i] = engineChoosers[i]->GetValue().ToStdWstring();
    try {
        WriteEngineSelection(EngineSelectionFile(), texts);
    } catch (const ScoutwellError& error) {
        wxMessageBox(wxString::FromUTF8(error.what()), L"Scoutwell", wxOK | wxICON_ERROR, this);
        return;
    }
    wxMessageBox(L"Search Engine settings saved.", L"Scoutwell", wxOK | wxICON_NONE, this);
}

// Each line read goes to its chooser as it stands, whether or not it names an
// engine; choosers without a line keep their text.
void MainWindow::LoadEngineSelection() {
    const auto lines = ReadEngineSelection(EngineSelectionFile());
    for (std::size_t k = 0; k < lines.size() && k < PaneCount; ++k)
        engineChoosers[k]->ChangeValue(wxString(lines[k]));
}
