// The real program, started as a user starts it, watched through the X server.

#include "poll.h"
#include "recording_proxy.h"

#include <gtest/gtest.h>
// Xlib's macros (None, Status, ...) must come after the test framework.
#include "x_stacking.h"
#include <X11/Xlib.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace std::chrono_literals;

namespace {

int IgnoreXErrors(Display*, XErrorEvent*) { // windows come and go while the test looks
    return 0;
}

class ProgramStartTest : public testing::Test {
protected:
    void SetUp() override {
        XSetErrorHandler(IgnoreXErrors);
        // A busy X server may turn a connection away for a moment.
        ASSERT_TRUE(Eventually([&] { return (m_display = XOpenDisplay(nullptr)) != nullptr; }, 10s))
            << "these tests need a display; ./test.sh gives them one";
        std::string pattern = (std::filesystem::temp_directory_path() / "scoutwell-start-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        std::filesystem::copy_file(SCOUTWELL_PROGRAM, m_folder / "scoutwell");
    }

    void TearDown() override {
        Stop();
        if (m_display != nullptr)
            XCloseDisplay(m_display);
        std::filesystem::remove_all(m_folder);
    }

    void Start() {
        setenv("http_proxy", m_proxy.Address().c_str(), 1);
        const std::string program = (m_folder / "scoutwell").string();
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        ASSERT_EQ(posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
    }

    void Stop() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
            m_pid = 0;
        }
    }

    Display* m_display = nullptr;
    std::filesystem::path m_folder;
    pid_t m_pid = 0;
    RecordingProxy m_proxy;
};

} // namespace

TEST_F(ProgramStartTest, TheSplashComesFirstAloneThenTheMainWindowFittedToTheScreen) {
    Start();
    bool splashSeen = false, bothAtOnce = false;
    std::optional<TopWindow> main;
    ASSERT_TRUE(Eventually([&] {
        std::optional<TopWindow> splash;
        main.reset();
        for (const TopWindow& window : ProcessWindows(m_display, m_pid))
            (window.name == "Scoutwell" ? main : splash) = window;
        bothAtOnce = bothAtOnce || (splash && main);
        if (splash && !splashSeen) {
            splashSeen = true;
            EXPECT_EQ(splash->width, 492); // 7380 x 4245 twips
            EXPECT_EQ(splash->height, 283);
        }
        return main.has_value();
    }));
    EXPECT_TRUE(splashSeen);
    EXPECT_FALSE(bothAtOnce);
    // With no window manager the work area is the whole screen.
    const Screen* screen = DefaultScreenOfDisplay(m_display);
    EXPECT_EQ((std::array{main->x, main->y, main->width, main->height}),
              (std::array{0, 0, screen->width, screen->height}));
    EXPECT_FALSE(Eventually([&] { return !m_proxy.Requests().empty(); }, 500ms)); // no load before a search
}
