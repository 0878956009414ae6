#include "compact_style.h"
#include "compositing_choice.h"
#include "failure.h"
#include "gl_renderer.h"
#include "main_window.h"
#include "program_folder.h"

#include <wx/app.h>

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
    try {
        return std::async(std::launch::async, QueryGlRenderer);
    } catch (const std::exception& failure) {
        // No thread to be had: ask on the main thread when the answer is needed.
        ReportSwallowedFailure({__FILE__, __LINE__, __func__}, failure.what());
        return std::async(std::launch::deferred, QueryGlRenderer);
    }
}

class ScoutwellApp : public wxApp {
public:
    ScoutwellApp() : m_renderer(StartRendererQuery()) {}

    // wxApp::OnInit is not called: the program takes no command line.
    bool OnInit() override {
        ApplyCompactStyle();
        // Before the first web view, which is when WebKit settles how it draws:
        // with software OpenGL, compositing costs much memory and time for nothing.
        IgnoreFailure([this] {
            ChooseCompositingMode([this] { return m_renderer.valid() ? m_renderer.get() : std::nullopt; });
        });
        // The main window is created hidden and stays hidden while it loads,
        // which includes the splash: it appears fitted and laid out.
        std::filesystem::path folder; // without it, files are looked for in the current folder
        IgnoreFailure([&] { folder = ProgramFolder(); });
        auto* mainWindow = new MainWindow(folder);
        mainWindow->PrepareFirstShow();
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

} // namespace

wxIMPLEMENT_APP(ScoutwellApp);
