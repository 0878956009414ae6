#pragma once

#include "temp_folder.h"

#include <filesystem>
#include <string>
#include <vector>

// A desktop of the test's own: fresh XDG folders whose one handler, the default for http, https and
// mailto, records its argument; the machine's handlers and any xdg-open on PATH are out of sight.
// GLib reads the XDG variables once, so this must exist before the first GIO or GTK call.
class RecordingDesktopHandlers {
public:
    struct Call {
        std::string argument;
        std::vector<std::string> webkitVariables; // NAME=value
    };

    RecordingDesktopHandlers();

    std::vector<Call> Calls() const;
    void ForgetCalls() const;
    void RemoveHandlerCommand() const;
    void WriteHandlerCommand() const;

private:
    TempFolder m_temp{"scoutwell-desktop"};
    const std::filesystem::path& m_folder = m_temp.path;
};
