#pragma once

#include "opensearch_description.h"
#include "xdg_folders.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The engines added beside the catalogue, each under a name of its own.
class AddedEngines {
public:
    // Why the engine cannot join: its name is taken, by an added engine or by
    // a catalogue row, as FoldLookAlikes compares names. Nothing when it can.
    std::optional<std::string> WhyRefused(const OpenSearchEngine& engine) const;
    // Adds the engine; throws ScoutwellError with WhyRefused's reason.
    void Add(OpenSearchEngine engine);

    // The engine whose name equals the chooser text as FoldLookAlikes
    // compares them.
    const OpenSearchEngine* Find(std::wstring_view chooserText) const;

    // Sorted by name, ignoring case.
    const std::vector<OpenSearchEngine>& Engines() const { return m_engines; }

private:
    std::vector<OpenSearchEngine> m_engines;
    std::vector<std::wstring> m_keys; // the names as compared, in the same order
};

// Where descriptions are looked for, first first: the user's folder
// ($XDG_CONFIG_HOME, else ~/.config, then scoutwell/engines), engines/ in each
// of ProgramDataFolders (the user's data folder, each $XDG_DATA_DIRS entry,
// the install prefix's share folder), and engines/ beside the program. The
// user's folder is where a new description is saved; there is none without a
// home folder or $XDG_CONFIG_HOME.
std::optional<std::filesystem::path> UserEngineFolder(const XdgFolders& xdg);
std::vector<std::filesystem::path> EngineFolders(const std::filesystem::path& programFolder,
                                                 const XdgFolders& xdg);

// Reads every "*.xml" of the folders, each folder in file-name order and only
// once, however many routes lead to it. The first engine with a name wins: one
// of an earlier folder quietly hides those of the same name in later ones. A
// file that is skipped for any other reason (not a regular file, unreadable,
// refused, or its name taken by the program's own engines or in its own
// folder) writes one line to standard error naming it and why, in one write;
// a folder that is missing is no failure. No more than mostFiles files are
// read, so that a folder of thousands cannot hold up the start: those beyond
// are left out with one line on standard error saying how many. Safe to run
// on a thread of its own.
inline constexpr std::size_t MostEngineDescriptions = 1000;
AddedEngines LoadAddedEngines(const std::vector<std::filesystem::path>& folders,
                              std::size_t mostFiles = MostEngineDescriptions);

// Writes the description into the folder (made if missing) as a new file
// named after the engine, never replacing a file that is there, and returns
// its path. Throws ScoutwellError naming the system's reason; a file begun is
// removed again.
std::filesystem::path SaveNewDescription(const std::filesystem::path& folder, std::string_view document,
                                         std::wstring_view name);
