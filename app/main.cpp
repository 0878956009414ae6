#include "background_job.h"
#include "command_line.h"
#include "compact_style.h"
#include "compositing_choice.h"
#include "failure.h"
#include "gl_renderer.h"
#include "main_window.h"
#include "product_info.h"
#include "program_folder.h"
#include "run_mode.h"
#include "splash_window.h"
#include "wx_desktop.h"

#include <wx/app.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cstdio>
#include <future>
#include <optional>
#include <string>
#include <vector>

namespace {

// Keywords given on the command line, searched once the main window is up.
std::optional<wxString> g_startKeywords;
// The exit status when the command line ended the program.
std::optional<int> g_refused;

bool ReadOwnArguments(const wxArrayString& arguments);

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

    // wxApp::OnInit is not called: the toolkit has taken its own options
    // (--display, --class, ...) by now, and the rest are the program's.
    bool OnInit() override {
        if (!ReadOwnArguments(argv.GetArguments()))
            return false;
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
        if (g_startKeywords) {
            mainWindow->keywordsBox->ChangeValue(*g_startKeywords);
            IgnoreFailure([&] { mainWindow->OnSearch(); });
        }
        return true;
    }

private:
    std::future<std::optional<std::string>> m_renderer;
};

constexpr char Usage[] = "Usage: scoutwell [--private] [--] [KEYWORDS...]\n"
                         "       scoutwell --help | --version\n";

constexpr char Help[] =
    "Searches several web search engines at once: type keywords once, choose an engine for each of the\n"
    "five browser panes, and the five result pages load one below the other. Keywords given on the\n"
    "command line are searched at once, as if typed and Enter pressed.\n"
    "\n"
    "  --private  keep no traces: pages store nothing on disk (no cookies, cache or local storage),\n"
    "             no recent searches are kept and no suggestions are asked for\n"
    "  --         what follows is keywords, even when it begins with -\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "The toolkit's own options (--display, --class, --name, --gtk-module, ...) work as in every GTK\n"
    "program.\n"
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
    "               engines/ beside the program\n"
    "  history      the recent searches, newest first: $XDG_STATE_HOME/scoutwell/history\n"
    "               (~/.local/state/scoutwell/)\n";

// --help and --version are answered before the toolkit starts, so that they
// work without a display. Returns the exit status when the program is to end
// here.
std::optional<int> AnswerAtOnce(int argc, char** argv) {
    const CommandLine line =
        ParseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    if (line.action == CommandLine::Action::Help) {
        std::fputs(Usage, stdout);
        std::fputs(Help, stdout);
        return 0;
    }
    if (line.action == CommandLine::Action::Version) {
        std::printf("Scoutwell %s\n%ls\n", SCOUTWELL_VERSION, CopyrightLine);
        return 0;
    }
    // Before the OpenGL driver is first asked, by the application object.
    SetPrivateRun(line.privateRun);
    return std::nullopt;
}

// The arguments the toolkit left: false when they are refused.
bool ReadOwnArguments(const wxArrayString& arguments) {
    std::vector<std::string> own;
    for (std::size_t i = 1; i < arguments.size(); ++i)
        own.push_back(arguments[i].utf8_string());
    const CommandLine line = ParseCommandLine(own);
    if (line.action != CommandLine::Action::Run) {
        std::fprintf(stderr,
                     "scoutwell: unknown option '%s'\n%sTry 'scoutwell --help' for more information.\n",
                     line.refused.c_str(), Usage);
        g_refused = 2;
        return false;
    }
    SetPrivateRun(line.privateRun);
    if (line.keywords)
        g_startKeywords = wxString::FromUTF8(*line.keywords);
    return true;
}

} // namespace

wxIMPLEMENT_APP_NO_MAIN(ScoutwellApp);

int main(int argc, char** argv) {
    if (const auto status = AnswerAtOnce(argc, argv))
        return *status;
    const int status = wxEntry(argc, argv);
    return g_refused.value_or(status);
}
