// Measures the help viewer on the files named on the command line: how long
// each takes until all of it is in the view, and the longest time meanwhile
// that the event loop could take no input (a 10 ms timer's longest gap).
// Run by bench/help_load.sh; not part of the tests.
#include "rich_text_viewer.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

class HelpLoadApp : public wxApp {
public:
    bool OnInit() override {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "help load", wxPoint(0, 0), wxSize(460, 350));
        m_viewer = new RichTextViewer(frame, wxID_ANY, wxPoint(8, 8), wxSize(441, 329)); // as in Help
        frame->Show();
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnTick(); });
        m_timer.Start(10);
        CallAfter([this] { LoadNext(); });
        return true;
    }

private:
    void LoadNext() {
        if (m_next >= argc) {
            ExitMainLoop();
            return;
        }
        m_start = m_lastTick = Clock::now();
        m_longestStall = {};
        m_loading = m_viewer->ShowFile(argv[m_next]);
    }
    void OnTick() {
        const auto now = Clock::now();
        m_longestStall = std::max(m_longestStall, now - m_lastTick);
        m_lastTick = now;
        if (!m_loading || m_viewer->IsFilling())
            return;
        m_loading = false;
        std::printf("%-40s shown in %6.2f s, longest stall %5.0f ms\n", argv[m_next].utf8_str().data(),
                    std::chrono::duration<double>(now - m_start).count(),
                    std::chrono::duration<double, std::milli>(m_longestStall).count());
        ++m_next;
        CallAfter([this] { LoadNext(); });
    }

    RichTextViewer* m_viewer = nullptr;
    wxTimer m_timer;
    int m_next = 1;
    bool m_loading = false;
    Clock::time_point m_start;
    Clock::time_point m_lastTick;
    Clock::duration m_longestStall{};
};

} // namespace

wxIMPLEMENT_APP(HelpLoadApp);
