#pragma once

#include "gui_test.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

// Stands in for the desktop's opener (xdg-open) for the life of the object: a
// recording script first on PATH, and the desktop's own handler lists hidden
// (XDG folders pointed at an empty one), so no real browser or mail program
// can start. Each call is recorded as its working folder and its arguments.
class FakeDesktopOpener {
public:
    struct Call {
        std::string workingFolder;
        std::vector<std::string> arguments;
    };

    FakeDesktopOpener()
        : m_folder(std::filesystem::temp_directory_path() /
                   ("scoutwell-opener-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(m_folder / "bin");
        const auto script = m_folder / "bin" / "xdg-open";
        // The end marker is written last, so a half-written call is never read.
        std::ofstream(script)
            << "#!/bin/sh\n{ printf 'CWD %s\\n' \"$PWD\"; for a in \"$@\"; do printf 'ARG %s\\n' "
               "\"$a\"; done; printf 'END\\n'; } >> '"
            << (m_folder / "calls.log").string() << "'\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        for (const char* name : {"PATH", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME",
                                 "XDG_CONFIG_DIRS", "BROWSER", "DESKTOP_SESSION", "XDG_CURRENT_DESKTOP"}) {
            const char* value = std::getenv(name);
            m_saved.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
            if (std::string(name).starts_with("XDG_DATA") || std::string(name).starts_with("XDG_CONFIG"))
                setenv(name, (m_folder / "bin").c_str(), 1);
            else if (std::string(name) != "PATH")
                unsetenv(name);
        }
        setenv("PATH",
               ((m_folder / "bin").string() + ":" + m_saved[0].second.value_or("/usr/bin:/bin")).c_str(), 1);
    }

    ~FakeDesktopOpener() {
        for (const auto& [name, value] : m_saved)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        std::filesystem::remove_all(m_folder);
    }

    std::vector<Call> Calls() const {
        std::vector<Call> calls;
        std::ifstream log(m_folder / "calls.log");
        Call call;
        for (std::string line; std::getline(log, line);) {
            if (line.starts_with("CWD "))
                call = Call{line.substr(4), {}};
            else if (line.starts_with("ARG "))
                call.arguments.push_back(line.substr(4));
            else if (line == "END")
                calls.push_back(call);
        }
        return calls;
    }

    bool WaitForCalls(std::size_t count) const {
        return WaitFor([&] { return Calls().size() >= count; });
    }

private:
    std::filesystem::path m_folder;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
