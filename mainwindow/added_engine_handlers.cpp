// Engines described by OpenSearch files: read at start, added from a page's
// context menu, and listed in every chooser after the catalogue's rows.

#include "added_engines.h"
#include "engine_catalogue.h"
#include "failure.h"
#include "main_window.h"
#include "opensearch_offer.h"

#include <wx/combobox.h>
#include <wx/msgdlg.h>

#include <algorithm>
#include <iostream>

void MainWindow::ReadAddedEngines() {
    addedEngines = LoadAddedEngines(EngineFolders(m_programFolder));
    wxArrayString names;
    for (const OpenSearchEngine& engine : addedEngines.Engines())
        names.Add(wxString(engine.name));
    for (wxComboBox* chooser : engineChoosers)
        chooser->Append(names);
}

void MainWindow::OfferAddingEngines() {
    for (const auto& view : paneViews)
        OfferAdvertisedEngines(view->View(), MaxDescriptionBytes, [this](const FetchedDescription& fetched) {
            IgnoreFailure([&] { AddSearchEngine(fetched); });
        });
}

// Nothing is written unless the engine can join the list, and then only a new
// file: an engine of the same name, or a file of the same name, stays as it is.
void MainWindow::AddSearchEngine(const FetchedDescription& fetched) {
    try {
        if (!fetched.failure.empty())
            throw ScoutwellError(fetched.failure);
        OpenSearchEngine engine = ReadOpenSearchDescription(fetched.document);
        if (const auto reason = addedEngines.WhyRefused(engine))
            throw ScoutwellError(*reason);
        SaveNewDescription(UserEngineFolder(), fetched.document, engine.name);
        const wxString name(engine.name);
        addedEngines.Add(std::move(engine));
        const auto& engines = addedEngines.Engines();
        const auto at = std::find_if(engines.begin(), engines.end(),
                                     [&](const OpenSearchEngine& added) { return name == added.name; }) -
                        engines.begin();
        for (wxComboBox* chooser : engineChoosers)
            chooser->Insert(name, static_cast<unsigned int>(EngineCount + static_cast<std::size_t>(at)));
    } catch (const ScoutwellError& refusal) {
        std::cerr << "scoutwell: search engine not added: " << refusal.what() << '\n';
        wxMessageBox(L"The search engine \u201c" + wxString(fetched.title) + L"\u201d was not added: " +
                         wxString::FromUTF8(refusal.what()) + L".",
                     L"Scoutwell", wxOK | wxICON_ERROR, this);
    }
}
