#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

// Where a user's settings and data live on a freedesktop system (the XDG base
// directories). Every folder here is absolute: a relative or empty value of a
// variable counts as unset, as the XDG rules say.
struct XdgFolders {
    // HOME, else the user's entry in the password database; none when neither
    // names an absolute folder.
    std::optional<std::filesystem::path> home;
    // $XDG_CONFIG_HOME, or ~/.config; none when there is no home folder at all.
    std::optional<std::filesystem::path> configHome;
    // $XDG_DATA_HOME, or ~/.local/share; none when there is no home folder.
    std::optional<std::filesystem::path> dataHome;
    // $XDG_STATE_HOME, or ~/.local/state; none when there is no home folder.
    std::optional<std::filesystem::path> stateHome;
    // $XDG_CONFIG_DIRS in order, or /etc/xdg.
    std::vector<std::filesystem::path> configDirs;
    // $XDG_DATA_DIRS in order, or /usr/local/share and /usr/share.
    std::vector<std::filesystem::path> dataDirs;
};

// Reads a variable of the environment; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

XdgFolders FindXdgFolders(const EnvironmentLookup& environment);
XdgFolders FindXdgFolders();

// The program's folder under the user's data folder, under each system data
// folder, and in share/ of the prefix the program is installed in (for a
// prefix not on XDG_DATA_DIRS), in that order.
std::vector<std::filesystem::path> ProgramDataFolders(const std::filesystem::path& programFolder,
                                                      const XdgFolders& xdg);

// The folders in order, less each one that is the same folder as an earlier
// one by another route (a link, "..", an XDG_DATA_DIRS entry that is also
// the install prefix's share folder), so that none is read twice.
std::vector<std::filesystem::path> DistinctFolders(const std::vector<std::filesystem::path>& folders);

// Creates the folder of the file Save is about to write, private to the user
// as the XDG rules ask. Throws ScoutwellError naming the folder and the
// reason when it cannot (a file in the way, no permission).
void PrepareFolderFor(const std::filesystem::path& file);

// The places help.rtf is looked for, in order: beside the program, then each
// of ProgramDataFolders.
std::vector<std::filesystem::path> HelpDocumentCandidates(const std::filesystem::path& programFolder,
                                                          const XdgFolders& xdg);

// The first candidate that is a readable regular file; none when there is none.
std::optional<std::filesystem::path> FindHelpDocument(const std::filesystem::path& programFolder,
                                                      const XdgFolders& xdg);
