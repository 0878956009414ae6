#include "desktop_launch.h"

#include "compositing_choice.h"
#include "failure.h"

#include <gio/gio.h>
#include <wx/msgdlg.h>

#include <cstdio>
#include <memory>

void LaunchDefaultHandler(const std::string& address) {
    const std::unique_ptr<GAppLaunchContext, decltype(&g_object_unref)> context(g_app_launch_context_new(),
                                                                                &g_object_unref);
    for (const std::string& name : OwnWebKitVariables())
        g_app_launch_context_unsetenv(context.get(), name.c_str());
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(address.c_str(), context.get(), &error))
        return;
    std::string reason = error != nullptr ? error->message : "no reason given";
    // GIO's word for "no handler" is terse: say what it means.
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_SUPPORTED)) {
        const std::string scheme = address.substr(0, address.find(':'));
        reason = "No program is set up to open " + scheme + ": addresses (" + reason + ").";
    }
    g_clear_error(&error);
    throw ScoutwellError(reason);
}

void OpenWithDesktop(wxWindow* owner, const std::wstring& address) {
    const wxString shown(address);
    try {
        LaunchDefaultHandler(shown.utf8_string());
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "scoutwell: could not open %s: %s\n", shown.utf8_str().data(), failure.what());
        wxMessageBox(
            wxString::Format(L"%s could not be opened.\n\n%s", shown, wxString::FromUTF8(failure.what())),
            L"Scoutwell", wxOK | wxICON_ERROR, owner);
    }
}
