#include "shell_open.h"

#include <wx/log.h>
#include <wx/utils.h>

#include <vector>

// On Linux desktops xdg-open is the one entry point to the user's chosen
// handlers; it is started directly, with no shell, so nothing in the address
// is ever interpreted as a command.
void ShellOpen(wxWindow* /*owner*/, const std::wstring& /*operation*/, const std::wstring& file,
               const std::wstring& parameters, const std::filesystem::path& directory, int /*showCommand*/) {
    std::vector<const wchar_t*> argv{L"xdg-open", file.c_str()};
    if (!parameters.empty())
        argv.push_back(parameters.c_str());
    argv.push_back(nullptr);

    wxExecuteEnv environment;
    environment.cwd = wxString(directory.wstring());
    // A failure to start the opener is not the user's business: no log box.
    wxLogNull noMessages;
    wxExecute(argv.data(), wxEXEC_ASYNC | wxEXEC_HIDE_CONSOLE, nullptr, &environment);
}
