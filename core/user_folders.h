#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

// Where a user's settings and data live on a freedesktop system (the XDG base
// directories), and where Scoutwell looks for engines.lst and help.rtf.

struct XdgFolders {
    // $XDG_CONFIG_HOME, or ~/.config; none when there is no home folder at all.
    std::optional<std::filesystem::path> configHome;
    // $XDG_DATA_HOME, or ~/.local/share; none when there is no home folder.
    std::optional<std::filesystem::path> dataHome;
    // $XDG_DATA_DIRS in order, or /usr/local/share and /usr/share.
    std::vector<std::filesystem::path> dataDirs;
};

// Reads a variable of the environment; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// The folders as the environment gives them. A relative or empty value counts
// as unset, as the XDG rules say. Without HOME the home folder is the user's
// entry in the password database.
XdgFolders FindXdgFolders(const EnvironmentLookup& environment);
XdgFolders FindXdgFolders();

// engines.lst is kept beside the program when that folder can be written (a
// portable copy, a build folder); otherwise, as in a system-wide install, in
// the user's own configuration folder, scoutwell/engines.lst.
std::filesystem::path EngineSelectionSaveFile(const std::filesystem::path& programFolder,
                                              const XdgFolders& xdg);

// The file read at start: the one Save writes when it exists, else the one in
// the other place, so that a file beside a read-only program is still read
// until the user saves a choice of their own.
std::filesystem::path EngineSelectionLoadFile(const std::filesystem::path& programFolder,
                                              const XdgFolders& xdg);

// Creates the folder of the file Save is about to write, private to the user
// as the XDG rules ask. Throws ScoutwellError naming the folder and the
// reason when it cannot (a file in the way, no permission).
void PrepareFolderFor(const std::filesystem::path& file);

// The places help.rtf is looked for, in order: beside the program, the
// user's data folder, each system data folder, and the share folder of the
// prefix the program is installed in (for a prefix not on XDG_DATA_DIRS).
std::vector<std::filesystem::path> HelpDocumentCandidates(const std::filesystem::path& programFolder,
                                                          const XdgFolders& xdg);

// The first candidate that is a readable regular file; none when there is none.
std::optional<std::filesystem::path> FindHelpDocument(const std::filesystem::path& programFolder,
                                                      const XdgFolders& xdg);
