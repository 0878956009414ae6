// The engine's own floor: a program that holds nothing but five wxWebViews,
// placed as the program's five panes on a full-screen window and following
// its size, and loads the addresses it is given when told to. What the
// benchmark weighs the program against.
//     bare_webviews URL1 ... URL5
// Reads commands from its standard input: "load" loads the five addresses at
// once, "load I" view I's alone. Writes "shown" when its window is up,
// "started NANOSECONDS" as it starts loads, and "loaded I NANOSECONDS" when
// view I reports its page loaded (the monotonic clock, as the benchmark's).

#include <wx/app.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/webview.h>

#include <glib-unix.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

long long Now() {
    return static_cast<long long>(
        std::chrono::nanoseconds(std::chrono::steady_clock::now().time_since_epoch()).count());
}

class BareApp : public wxApp {
public:
    bool OnInit() override {
        if (argc != 6) {
            std::fprintf(stderr, "usage: bare_webviews URL1 URL2 URL3 URL4 URL5\n");
            return false;
        }
        const wxRect screen = wxDisplay(0u).GetGeometry();
        m_frame = new wxFrame(nullptr, wxID_ANY, "bare", screen.GetPosition(), screen.GetSize());
        for (int i = 0; i < 5; ++i) {
            m_urls[i] = argv[i + 1];
            m_views[i] = wxWebView::New(m_frame, wxID_ANY, wxString());
            m_views[i]->Bind(wxEVT_WEBVIEW_LOADED, [i](wxWebViewEvent& event) {
                const long long now = Now();
                if (event.GetURL().StartsWith("http"))
                    std::printf("loaded %d %lld\n", i, now);
                std::fflush(stdout);
            });
        }
        Layout();
        // Laid out again at every size, as the program lays out its panes.
        m_frame->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
            Layout();
            event.Skip();
        });
        m_frame->Show();
        std::printf("shown\n");
        std::fflush(stdout);
        // Commands are read as they come, from the event loop itself.
        g_unix_fd_add(0, G_IO_IN, &BareApp::OnInput, this);
        return true;
    }

private:
    static gboolean OnInput(gint, GIOCondition, gpointer self) {
        char buffer[256];
        const ssize_t n = read(0, buffer, sizeof buffer - 1);
        if (n <= 0) {
            static_cast<BareApp*>(self)->ExitMainLoop();
            return G_SOURCE_REMOVE;
        }
        buffer[n] = '\0';
        int view = -1;
        if (std::sscanf(buffer, "load %d", &view) == 1 || std::strncmp(buffer, "load", 4) == 0)
            static_cast<BareApp*>(self)->Load(view);
        return G_SOURCE_CONTINUE;
    }

    // The program's rows: below a 105-pixel strip, 49 pixels in from each
    // side, five rows sharing 5/5.5 of the height below the strip.
    void Layout() {
        const wxSize size = m_frame->GetSize();
        const int strip = 105, column = 49;
        const int height = static_cast<int>((size.y - strip) / 5.5);
        if (height <= 0 || size.x <= 2 * column)
            return;
        for (int i = 0; i < 5; ++i)
            m_views[i]->SetSize(column, strip + i * height, size.x - 2 * column, height);
    }

    void Load(int only) {
        std::printf("started %lld\n", Now());
        std::fflush(stdout);
        for (int i = 0; i < 5; ++i)
            if (only < 0 || only == i)
                m_views[i]->LoadURL(m_urls[i]);
    }

    wxFrame* m_frame = nullptr;
    std::array<wxWebView*, 5> m_views{};
    std::array<wxString, 5> m_urls;
};

} // namespace

wxIMPLEMENT_APP(BareApp);
