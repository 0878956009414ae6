#pragma once

#include "temp_folder.h"

#include <filesystem>
#include <string>
#include <vector>

// Fresh XDG folders whose one handler, for http, https and mailto, records its argument; the machine's and
// any xdg-open on PATH out of sight. GLib reads them once: make this before the first GIO or GTK call.
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
