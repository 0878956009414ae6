#include "user_folders.h"

#include "failure.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view ProgramName = "scoutwell";
constexpr std::string_view EngineSelectionName = "engines.lst";
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

// Asked with the effective user's rights, the ones opening a file is checked against.
bool Allowed(const fs::path& path, int mode) {
    return faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

bool CanWriteFolder(const fs::path& folder) {
    return !folder.empty() && Allowed(folder, W_OK);
}

bool IsReadableFile(const fs::path& file) {
    std::error_code error;
    return fs::is_regular_file(file, error) && Allowed(file, R_OK);
}

} // namespace

XdgFolders FindXdgFolders(const EnvironmentLookup& environment) {
    XdgFolders folders;
    const auto home = HomeFolder(environment);
    folders.configHome = AbsoluteValue(environment, "XDG_CONFIG_HOME");
    if (!folders.configHome && home)
        folders.configHome = *home / ".config";
    folders.dataHome = AbsoluteValue(environment, "XDG_DATA_HOME");
    if (!folders.dataHome && home)
        folders.dataHome = *home / ".local" / "share";

    const char* dirs = environment("XDG_DATA_DIRS");
    std::string_view list = dirs != nullptr && dirs[0] != '\0' ? dirs : "/usr/local/share/:/usr/share/";
    while (!list.empty()) {
        const auto colon = list.find(':');
        const auto entry = list.substr(0, colon);
        if (!entry.empty() && entry.front() == '/')
            folders.dataDirs.emplace_back(entry);
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return folders;
}

XdgFolders FindXdgFolders() {
    return FindXdgFolders([](const char* name) { return static_cast<const char*>(std::getenv(name)); });
}

fs::path EngineSelectionSaveFile(const fs::path& programFolder, const XdgFolders& xdg) {
    if (CanWriteFolder(programFolder) || !xdg.configHome)
        return programFolder / EngineSelectionName;
    return *xdg.configHome / ProgramName / EngineSelectionName;
}

fs::path EngineSelectionLoadFile(const fs::path& programFolder, const XdgFolders& xdg) {
    const fs::path saved = EngineSelectionSaveFile(programFolder, xdg);
    if (IsReadableFile(saved))
        return saved;
    const fs::path besideProgram = programFolder / EngineSelectionName;
    if (saved != besideProgram && IsReadableFile(besideProgram))
        return besideProgram;
    if (xdg.configHome && IsReadableFile(*xdg.configHome / ProgramName / EngineSelectionName))
        return *xdg.configHome / ProgramName / EngineSelectionName;
    return saved;
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
    if (xdg.dataHome)
        candidates.push_back(*xdg.dataHome / ProgramName / HelpDocumentName);
    for (const auto& folder : xdg.dataDirs)
        candidates.push_back(folder / ProgramName / HelpDocumentName);
    if (programFolder.has_parent_path())
        candidates.push_back(programFolder.parent_path() / "share" / ProgramName / HelpDocumentName);
    return candidates;
}

std::optional<fs::path> FindHelpDocument(const fs::path& programFolder, const XdgFolders& xdg) {
    for (const auto& candidate : HelpDocumentCandidates(programFolder, xdg))
        if (IsReadableFile(candidate))
            return candidate;
    return std::nullopt;
}
