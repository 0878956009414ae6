// Engines described by OpenSearch files: read at start, added from a page's
// context menu, and listed in every chooser after the catalogue's rows.

#include "added_engines.h"
#include "background_job.h"
#include "engine_catalogue.h"
#include "failure.h"
#include "main_window.h"
#include "opensearch_offer.h"

#include <wx/combobox.h>
#include <wx/msgdlg.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <iostream>

namespace {

// Whether asking for the engines returns at once: they have been read, or
// there was no thread to read them on and asking reads them.
bool Answered(const std::future<AddedEngines>& reading) {
    return !reading.valid() || reading.wait_for(std::chrono::seconds(0)) != std::future_status::timeout;
}

} // namespace

// The folders are read beside the start, and the event loop never waits for
// them: the timer looks every few milliseconds whether they are read, and
// only a search or a new engine before then waits.
void MainWindow::ReadAddedEngines() {
    // Started first: should the reading fail to start, the choosers are still marked.
    m_listedEngines = 0;
    m_engineReadTimer.Start(20);
    m_readingEngines = StartBackgroundJob(
        [folders = EngineFolders(m_programFolder, FindXdgFolders())] { return LoadAddedEngines(folders); });
}

AddedEngines& MainWindow::AddedEngineList() {
    if (m_readingEngines.valid()) {
        try {
            m_addedEngines = m_readingEngines.get();
        } catch (const std::exception& failure) {
            std::cerr << "scoutwell: the engine folders could not be read: " << failure.what() << '\n';
        }
    }
    return m_addedEngines;
}

// A toolkit list grows slowly, about a fifth of a millisecond a row in each
// chooser, so a thousand engines would hold the start up for a second: they
// join the lists a few at a time from the event loop instead, while the
// splash is up. The lists' added part always holds the first m_listedEngines
// engines in order.
void MainWindow::ListMoreEngines() {
    if (!Answered(m_readingEngines))
        return;
    m_engineReadTimer.Stop();
    const auto& engines = AddedEngineList().Engines();
    wxArrayString names;
    for (std::size_t i = m_listedEngines; i < engines.size() && names.size() < 20; ++i)
        names.Add(wxString(engines[i].name));
    if (!names.empty())
        for (wxComboBox* chooser : engineChoosers)
            chooser->Insert(names, static_cast<unsigned int>(EngineCount + m_listedEngines));
    m_listedEngines += names.size();
    if (!AllEnginesListed()) {
        CallAfter([this] { IgnoreFailure([this] { ListMoreEngines(); }); });
        return;
    }
    // A chooser's list opens at its engine, which may be one just listed.
    for (PaneIndex i = 0; i < PaneCount; ++i)
        IgnoreFailure([&] { OnChooserText(i); });
}

bool MainWindow::AllEnginesListed() {
    return m_listedEngines == AddedEngineList().Engines().size();
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
        AddedEngines& addedEngines = AddedEngineList();
        if (const auto reason = addedEngines.WhyRefused(engine))
            throw ScoutwellError(*reason);
        const auto folder = UserEngineFolder(FindXdgFolders());
        if (!folder)
            throw ScoutwellError("there is no home folder to keep it in");
        SaveNewDescription(*folder, fetched.document, engine.name);
        const wxString name(engine.name);
        addedEngines.Add(std::move(engine));
        const auto& engines = addedEngines.Engines();
        const auto at = static_cast<std::size_t>(
            std::find_if(engines.begin(), engines.end(),
                         [&](const OpenSearchEngine& added) { return name == added.name; }) -
            engines.begin());
        if (at <= m_listedEngines) { // else the lists reach it in their turn
            for (wxComboBox* chooser : engineChoosers)
                chooser->Insert(name, static_cast<unsigned int>(EngineCount + at));
            ++m_listedEngines;
        }
        // A chooser that already names the new engine is no longer marked as naming none.
        for (PaneIndex i = 0; i < PaneCount; ++i)
            OnChooserText(i);
    } catch (const ScoutwellError& refusal) {
        std::cerr << "scoutwell: search engine not added: " << refusal.what() << '\n';
        wxMessageBox(L"The search engine \u201c" + wxString(fetched.title) + L"\u201d was not added: " +
                         wxString::FromUTF8(refusal.what()) + L".",
                     L"Scoutwell", wxOK | wxICON_ERROR, this);
    }
}
