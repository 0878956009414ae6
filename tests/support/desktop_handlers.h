#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A desktop of the test's own for the life of the object: the XDG folders point
// at fresh ones in which one handler, a .desktop file whose command records
// its argument, is the user's default for http, https and mailto in
// mimeapps.list; the machine's own handlers and defaults are out of sight
// (the rest of its XDG data and configuration stays) and no folder holding an
// xdg-open is left on PATH. GLib reads the XDG variables once per
// process, so the object must exist before the first GIO or GTK call.
class RecordingDesktopHandlers {
public:
    struct Call {
        std::string argument;
        // The handler's WEBKIT_* variables, as NAME=value.
        std::vector<std::string> webkitVariables;
    };

    RecordingDesktopHandlers();
    ~RecordingDesktopHandlers();
    RecordingDesktopHandlers(const RecordingDesktopHandlers&) = delete;
    RecordingDesktopHandlers& operator=(const RecordingDesktopHandlers&) = delete;

    // The calls recorded so far, oldest first.
    std::vector<Call> Calls() const;
    void ForgetCalls() const;
    // Replaces the defaults list, for tests of a broken desktop.
    void WriteMimeApps(const std::string& contents) const;
    // Removes the handler's command, so that starting it fails, and puts it back.
    void RemoveHandlerCommand() const;
    void WriteHandlerCommand() const;

private:
    std::filesystem::path m_folder;
    std::vector<std::pair<std::string, std::string>> m_savedEnvironment;
};
