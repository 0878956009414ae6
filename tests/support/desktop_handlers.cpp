#include "desktop_handlers.h"

#include <cstdlib>
#include <fstream>
#include <ranges>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Folders(const char* variable, const char* fallback) {
    const char* list = std::getenv(variable);
    std::vector<std::string> folders;
    for (const auto folder :
         std::views::split(std::string_view(list != nullptr && *list ? list : fallback), ':'))
        if (!folder.empty())
            folders.emplace_back(folder.begin(), folder.end());
    return folders;
}

// Points variable at stand-ins linking to all its folders hold but handlers, defaults and an installed copy's
// files: GTK, GIO and WebKit find schemas, themes and modules, GIO none of the machine's handlers.
void HideHandlers(const fs::path& root, const char* variable, const char* fallback) {
    std::string standIns;
    int count = 0;
    for (const auto& folder : Folders(variable, fallback)) {
        const fs::path standIn = root / variable / std::to_string(count++);
        fs::create_directories(standIn);
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(folder, ignored)) {
            const std::string name = entry.path().filename().string();
            if (name != "applications" && name != "scoutwell" && !name.ends_with("mimeapps.list"))
                fs::create_symlink(entry.path(), standIn / name, ignored);
        }
        standIns += (standIns.empty() ? "" : ":") + standIn.string();
    }
    setenv(variable, standIns.c_str(), 1);
}

} // namespace

// The variables stay pointed at the folder after it is removed: the object lives as long as the process.
RecordingDesktopHandlers::RecordingDesktopHandlers() {
    fs::create_directories(m_folder / "data/applications");
    fs::create_directories(m_folder / "config");

    WriteHandlerCommand();
    std::ofstream(m_folder / "data/applications/scoutwell-test-handler.desktop")
        << "[Desktop Entry]\nType=Application\nName=Recording handler\nExec="
        << (m_folder / "record-handler").string()
        << " %u\nMimeType=x-scheme-handler/http;x-scheme-handler/https;x-scheme-handler/"
           "mailto;\nNoDisplay=true\n";
    std::ofstream(m_folder / "config/mimeapps.list")
        << "[Default Applications]\nx-scheme-handler/http=scoutwell-test-handler.desktop\n"
           "x-scheme-handler/https=scoutwell-test-handler.desktop\n"
           "x-scheme-handler/mailto=scoutwell-test-handler.desktop\n";

    // Only GIO's own route may reach the handler: no folder with an xdg-open on PATH.
    std::string path;
    for (const auto& folder : Folders("PATH", "/usr/bin:/bin"))
        if (access((folder + "/xdg-open").c_str(), X_OK) != 0)
            path += (path.empty() ? "" : ":") + folder;
    setenv("PATH", path.c_str(), 1);
    setenv("XDG_DATA_HOME", (m_folder / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_folder / "config").c_str(), 1);
    HideHandlers(m_folder, "XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    HideHandlers(m_folder, "XDG_CONFIG_DIRS", "/etc/xdg");
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "BROWSER"})
        unsetenv(name);
}

std::vector<RecordingDesktopHandlers::Call> RecordingDesktopHandlers::Calls() const {
    std::vector<Call> calls;
    std::ifstream log(m_folder / "calls.log");
    Call call;
    for (std::string line; std::getline(log, line);) {
        if (line.rfind("ARG ", 0) == 0)
            call = Call{line.substr(4), {}};
        else if (line.rfind("ENV ", 0) == 0)
            call.webkitVariables.push_back(line.substr(4));
        else if (line == "END")
            calls.push_back(call);
    }
    return calls;
}

void RecordingDesktopHandlers::ForgetCalls() const {
    std::error_code ignored;
    fs::remove(m_folder / "calls.log", ignored);
}

void RecordingDesktopHandlers::WriteHandlerCommand() const {
    // The end marker last: a half-written record is never read. PATH of its own: the tests' has no /usr/bin.
    const fs::path command = m_folder / "record-handler";
    std::ofstream(command) << "#!/bin/sh\nPATH=/usr/bin:/bin\n{ printf 'ARG %s\\n' \"$1\"; env | grep "
                              "'^WEBKIT_' | sed 's/^/ENV /'; "
                              "printf 'END\\n'; } >> '"
                           << (m_folder / "calls.log").string() << "'\n";
    fs::permissions(command, fs::perms::owner_all);
}

void RecordingDesktopHandlers::RemoveHandlerCommand() const {
    std::error_code ignored;
    fs::remove(m_folder / "record-handler", ignored);
}
