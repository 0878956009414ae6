#include "xdg_folders.h"

#include "failure.h"
#include "file_io.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view ProgramName = "scoutwell";
constexpr std::string_view HelpDocumentName = "help.rtf";

std::optional<fs::path> AbsoluteValue(const EnvironmentLookup& environment, const char* name) {
    const char* value = environment(name);
    if (value == nullptr || value[0] != '/')
        return std::nullopt;
    return fs::path(value);
}

std::optional<fs::path> HomeFolder(const EnvironmentLookup& environment) {
    if (auto home = AbsoluteValue(environment, "HOME"))
        return home;
    // The password database, as the C library and GLib fall back to it.
    std::string buffer(16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/')
        return fs::path(found->pw_dir);
    return std::nullopt;
}

std::optional<fs::path> UserFolder(const EnvironmentLookup& environment, const char* name,
                                   const std::optional<fs::path>& home, const char* underHome) {
    if (auto folder = AbsoluteValue(environment, name))
        return folder;
    if (home)
        return *home / underHome;
    return std::nullopt;
}

// The absolute entries of a colon-separated list, or of the fallback when the
// variable is unset or empty.
std::vector<fs::path> FolderList(const EnvironmentLookup& environment, const char* name,
                                 std::string_view fallback) {
    const char* value = environment(name);
    std::string_view list = value != nullptr && value[0] != '\0' ? value : fallback;
    std::vector<fs::path> folders;
    while (!list.empty()) {
        const auto colon = list.find(':');
        const auto entry = list.substr(0, colon);
        if (!entry.empty() && entry.front() == '/')
            folders.emplace_back(entry);
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return folders;
}

} // namespace

XdgFolders FindXdgFolders(const EnvironmentLookup& environment) {
    XdgFolders folders;
    folders.home = HomeFolder(environment);
    folders.configHome = UserFolder(environment, "XDG_CONFIG_HOME", folders.home, ".config");
    folders.dataHome = UserFolder(environment, "XDG_DATA_HOME", folders.home, ".local/share");
    folders.stateHome = UserFolder(environment, "XDG_STATE_HOME", folders.home, ".local/state");
    folders.configDirs = FolderList(environment, "XDG_CONFIG_DIRS", "/etc/xdg");
    folders.dataDirs = FolderList(environment, "XDG_DATA_DIRS", "/usr/local/share/:/usr/share/");
    return folders;
}

XdgFolders FindXdgFolders() {
    return FindXdgFolders([](const char* name) { return static_cast<const char*>(std::getenv(name)); });
}

std::vector<fs::path> ProgramDataFolders(const fs::path& programFolder, const XdgFolders& xdg) {
    std::vector<fs::path> folders;
    if (xdg.dataHome)
        folders.push_back(*xdg.dataHome / ProgramName);
    for (const auto& folder : xdg.dataDirs)
        folders.push_back(folder / ProgramName);
    if (programFolder.has_parent_path())
        folders.push_back(programFolder.parent_path() / "share" / ProgramName);
    return folders;
}

std::vector<fs::path> DistinctFolders(const std::vector<fs::path>& folders) {
    std::vector<fs::path> distinct;
    std::vector<fs::path> seen;
    for (const fs::path& folder : folders) {
        std::error_code error;
        fs::path real = fs::weakly_canonical(folder, error);
        if (error)
            real = folder.lexically_normal();
        if (std::find(seen.begin(), seen.end(), real) != seen.end())
            continue;
        seen.push_back(std::move(real));
        distinct.push_back(folder);
    }
    return distinct;
}

void PrepareFolderFor(const fs::path& file) {
    const fs::path folder = file.parent_path();
    std::error_code error;
    if (fs::is_directory(folder, error))
        return;
    fs::create_directories(folder, error);
    if (!error)
        fs::permissions(folder, fs::perms::owner_all, error);
    if (error || !fs::is_directory(folder))
        throw ScoutwellError("The folder " + folder.string() + " could not be created: " +
                             (error ? error.message() : std::string("a file is in the way")));
}

std::vector<fs::path> HelpDocumentCandidates(const fs::path& programFolder, const XdgFolders& xdg) {
    std::vector<fs::path> candidates{programFolder / HelpDocumentName};
    for (const fs::path& folder : ProgramDataFolders(programFolder, xdg))
        candidates.push_back(folder / HelpDocumentName);
    return candidates;
}

std::optional<fs::path> FindHelpDocument(const fs::path& programFolder, const XdgFolders& xdg) {
    for (const auto& candidate : HelpDocumentCandidates(programFolder, xdg))
        if (IsReadableRegularFile(candidate))
            return candidate;
    return std::nullopt;
}
