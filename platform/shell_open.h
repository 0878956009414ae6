#pragma once

#include <filesystem>
#include <string>

class wxWindow;

// The show command that asks for a normal, activated window.
constexpr int ShowNormal = 1;

// Asks the desktop to open file with its default handler for that kind of
// address (the web browser for http, the mail program for mailto:), the way
// the desktop's own "open" does. Returns without waiting; whether a handler
// was found is not reported. The owner window, operation and show command are
// what the desktop needs on other systems; parameters are appended as one
// further argument when not empty.
void ShellOpen(wxWindow* owner, const std::wstring& operation, const std::wstring& file,
               const std::wstring& parameters, const std::filesystem::path& directory, int showCommand);
