#pragma once

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
    ~RecordingDesktopHandlers();
    RecordingDesktopHandlers(const RecordingDesktopHandlers&) = delete;
    RecordingDesktopHandlers& operator=(const RecordingDesktopHandlers&) = delete;

    std::vector<Call> Calls() const;
    void ForgetCalls() const;
    void WriteMimeApps(const std::string& contents) const;
    void RemoveHandlerCommand() const;
    void WriteHandlerCommand() const;

private:
    std::filesystem::path m_folder;
};
