#pragma once

#include <string>

class wxWindow;

// Hands an address to the desktop's default handler for its scheme (the web
// browser for http and https, the mail program for mailto:) through GIO, which
// reads the user's mimeapps.list and, inside a sandbox, asks the desktop portal.
// Returns once the handler has been started. The WebKit settings the program
// chose for itself are not passed on to the handler.
//
// Throws ScoutwellError with the reason when no handler is registered or it
// cannot be started.
void LaunchDefaultHandler(const std::string& address);

// The same, but a failure is told to the user in a message box that names the
// address and the reason, and written to standard error.
void OpenWithDesktop(wxWindow* owner, const std::wstring& address);
