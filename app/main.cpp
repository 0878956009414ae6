#include "background_job.h"
#include "compact_style.h"
#include "compositing_choice.h"
#include "failure.h"
#include "gl_renderer.h"
#include "main_window.h"
#include "product_info.h"
#include "program_folder.h"
#include "splash_window.h"
#include "wx_desktop.h"

#include <wx/app.h>

#include <cstdio>
#include <cstring>
#include <future>
#include <optional>
#include <string>

namespace {

// Asking OpenGL for its renderer loads the driver, tens of milliseconds: on a
// thread of its own it runs while the toolkit starts. Not asked at all when
// the user has decided.
std::future<std::optional<std::string>> StartRendererQuery() {
    if (UserChoseCompositing())
        return {};
    return StartBackgroundJob(QueryGlRenderer);
}

class ScoutwellApp : public wxApp {
public:
    ScoutwellApp() : m_renderer(StartRendererQuery()) {}

    // wxApp::OnInit is not called: main has read the command line already.
    bool OnInit() override {
        ApplyCompactStyle();
        FollowDesktopTextSize();
        std::filesystem::path folder; // without it, files are looked for in the current folder
        IgnoreFailure([&] { folder = ProgramFolder(); });
        // The splash comes first. Making the five web views starts WebKit's
        // processes, the slow part of a start: it runs while the splash is
        // up, as does everything else the main window does before it is
        // shown. The main window stays hidden until the splash has gone and
        // then appears fitted and laid out.
        MainWindow* mainWindow = nullptr;
        ShowSplashModal([&] {
            // Before the first web view, which is when WebKit settles how it draws:
            // with software OpenGL, compositing costs much memory and time for nothing.
            IgnoreFailure([this] {
                ChooseCompositingMode(
                    [this] { return m_renderer.valid() ? m_renderer.get() : std::nullopt; });
            });
            IgnoreFailure([&] { mainWindow = new MainWindow(folder); });
            if (mainWindow != nullptr)
                mainWindow->PrepareBehindSplash();
        });
        if (mainWindow == nullptr) {
            std::fputs("scoutwell: the main window could not be made\n", stderr);
            return false;
        }
        // A window manager may place a new window where it likes and learns
        // the size of its own decorations only once the window is up: ask
        // again for the place the window was fitted to.
        const wxRect fitted = mainWindow->GetRect();
        mainWindow->Show();
        mainWindow->SetSize(fitted);
        return true;
    }

private:
    std::future<std::optional<std::string>> m_renderer;
};

constexpr char Usage[] = "Usage: scoutwell [--help | --version]\n";

constexpr char Help[] =
    "Searches several web search engines at once: type keywords once, choose an engine for each of the\n"
    "five browser panes, and the five result pages load one below the other.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Files:\n"
    "  engines.lst  the engine choices kept by Save: beside the program when that folder can be\n"
    "               written, otherwise $XDG_CONFIG_HOME/scoutwell/engines.lst (~/.config/scoutwell/)\n"
    "  help.rtf     the help document: beside the program, in $XDG_DATA_HOME/scoutwell/, in each\n"
    "               $XDG_DATA_DIRS folder's scoutwell/, in share/scoutwell/ of the install prefix,\n"
    "               or the copy built into the program\n"
    "  *.xml        search engines described in OpenSearch files, listed after the program's own: in\n"
    "               $XDG_CONFIG_HOME/scoutwell/engines/ (where \"Add search engine\" keeps them), in\n"
    "               $XDG_DATA_HOME/scoutwell/engines/, in each $XDG_DATA_DIRS folder's\n"
    "               scoutwell/engines/, in share/scoutwell/engines/ of the install prefix, and in\n"
    "               engines/ beside the program\n";

// The command line is read before the toolkit starts, so that --help and
// --version work without a display. Returns the exit status when the program
// is to end here.
std::optional<int> ReadCommandLine(int argc, char** argv) {
    if (argc < 2)
        return std::nullopt;
    const char* argument = argv[1];
    if (argc == 2 && (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0)) {
        std::fputs(Usage, stdout);
        std::fputs(Help, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argument, "--version") == 0) {
        std::printf("Scoutwell %s\n%ls\n", SCOUTWELL_VERSION, CopyrightLine);
        return 0;
    }
    const bool known = std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0 ||
                       std::strcmp(argument, "--version") == 0;
    if (known)
        argument = argv[2]; // one of them, with more after it
    std::fprintf(stderr, "scoutwell: %s '%s'\n%sTry 'scoutwell --help' for more information.\n",
                 argument[0] == '-' ? "unknown option" : "unexpected argument", argument, Usage);
    return 2;
}

} // namespace

wxIMPLEMENT_APP_NO_MAIN(ScoutwellApp);

int main(int argc, char** argv) {
    if (const auto status = ReadCommandLine(argc, argv))
        return *status;
    return wxEntry(argc, argv);
}
