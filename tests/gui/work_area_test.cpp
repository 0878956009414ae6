// The main window fitted for real: a stand-in window manager announces a
// work area on the virtual screen before the toolkit first asks for it.

#include "main_window_fixture.h"
#include "splash_window.h"
#include "wx_placement.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/testing.h>

namespace {

// Starts fake_work_area (built beside this test) and waits for its "ready".
class FakeWorkArea {
public:
    FakeWorkArea(int left, int top, int width, int height) {
        const std::string command = std::string(FAKE_WORK_AREA_PROGRAM) + " " + std::to_string(left) + " " +
                                    std::to_string(top) + " " + std::to_string(width) + " " +
                                    std::to_string(height);
        // The shell prints the helper's process id, then execs it.
        m_pipe = popen(("echo $$; exec " + command).c_str(), "r");
        char line[32] = {};
        if (m_pipe == nullptr || std::fgets(line, sizeof line, m_pipe) == nullptr)
            return;
        m_pid = std::atoi(line);
        m_ready = std::fgets(line, sizeof line, m_pipe) != nullptr && std::string(line) == "ready\n";
    }
    ~FakeWorkArea() {
        if (m_pipe != nullptr) {
            kill(m_pid, SIGTERM);
            pclose(m_pipe);
        }
    }
    bool Ready() const { return m_ready; }

private:
    FILE* m_pipe = nullptr;
    pid_t m_pid = 0;
    bool m_ready = false;
};

using WorkAreaTest = MainWindowTest;

} // namespace

TEST_F(WorkAreaTest, LoadingFitsTheWindowToTheDesktopsWorkArea) {
    // A panel 40 pixels high along the top and one 100 wide on the left of
    // the 1600 x 1200 screen.
    FakeWorkArea workArea(100, 40, 1500, 1160);
    ASSERT_TRUE(workArea.Ready());

    wxTEST_DIALOG(form->PrepareFirstShow(), wxExpectDismissableModal<SplashWindow>(wxID_OK));
    WxPlacement window(form);
    EXPECT_FLOAT_EQ(window.Left(), 1500);
    EXPECT_FLOAT_EQ(window.Top(), 600);
    EXPECT_FLOAT_EQ(window.Width(), 22500);
    EXPECT_FLOAT_EQ(window.Height(), 17400);
    // The panes were laid out for that size before the window appears.
    EXPECT_FLOAT_EQ(WxPlacement(form->paneViews[1]->View()).Top(), 1575 + 2880);
    EXPECT_FLOAT_EQ(WxPlacement(form->paneViews[4]->View()).Width(), 22500 - 1470);

    form->Show();
    ASSERT_TRUE(WaitFor([&] { return form->IsShownOnScreen(); }));
    RunEventLoopFor(std::chrono::milliseconds(300));
    // With no real window manager the outer size is the client size.
    EXPECT_EQ(form->GetScreenRect(), wxRect(100, 40, 1500, 1160));
    EXPECT_FALSE(form->IsMaximized());
}
