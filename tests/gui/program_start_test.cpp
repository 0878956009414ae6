// The real program, started as a user starts it, watched from outside
// through the X server.

#include "compositing_choice.h"
#include "gl_renderer.h"
#include "recording_proxy.h"

#include <gtest/gtest.h>
// Xlib's macros (None, Status, ...) must come after the test framework.
#include "x_stacking.h"
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace std::chrono_literals;

namespace {

// Windows of the program come and go while the test looks at them.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

// Polls until predicate holds or timeout passes; returns whether it held.
template <typename Predicate> bool Eventually(Predicate predicate, std::chrono::milliseconds timeout = 30s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

class ProgramStartTest : public testing::Test {
protected:
    void SetUp() override {
        XSetErrorHandler(IgnoreXErrors);
        m_display = XOpenDisplay(nullptr);
        ASSERT_NE(m_display, nullptr) << "these tests need a display; ./test.sh gives them one";
        std::string pattern = (std::filesystem::temp_directory_path() / "scoutwell-start-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        // A program folder of its own, so its engines.lst is the test's.
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

    std::optional<TopWindow> FindWindow(const std::string& name) {
        for (const TopWindow& window : ProcessWindows(m_display, m_pid)) {
            if (window.name == name)
                return window;
        }
        return std::nullopt;
    }

    // What a window manager sends when the user clicks a window's close button.
    void AskToClose(unsigned long window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
        XSendEvent(m_display, window, False, NoEventMask, &event);
        XSync(m_display, False);
    }

    // The environment of the program's first WebKit web process; empty while there is none.
    std::map<std::string, std::string> WebProcessEnvironment() const {
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            std::ifstream stat(entry.path() / "stat");
            std::string pid, name, state;
            long parent = 0;
            if (!(stat >> pid >> name >> state >> parent) || parent != m_pid || name != "(WebKitWebProces)")
                continue;
            std::ifstream environment(entry.path() / "environ", std::ios::binary);
            std::map<std::string, std::string> variables;
            for (std::string line; std::getline(environment, line, '\0');) {
                if (const auto equals = line.find('='); equals != std::string::npos)
                    variables[line.substr(0, equals)] = line.substr(equals + 1);
            }
            return variables;
        }
        return {};
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
    std::this_thread::sleep_for(500ms); // nothing loads before the first search
    EXPECT_TRUE(m_proxy.Requests().empty());
}

TEST_F(ProgramStartTest, AnOpenHelpWindowKeepsTheProgramRunningUntilItCloses) {
    Start();
    ASSERT_TRUE(Eventually([&] { return FindWindow("Scoutwell").has_value(); }));
    const unsigned long mainWindow = FindWindow("Scoutwell")->id;
    // The Help button, 6240 + 2520 twips from the left and 120 from the top of the main window.
    XTestFakeMotionEvent(m_display, -1, (2520 + 6240 + 300) / 15, 240 / 15, CurrentTime);
    XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
    XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
    XSync(m_display, False);
    ASSERT_TRUE(Eventually([&] { return FindWindow("Help").has_value(); }, 10s));

    AskToClose(mainWindow);
    ASSERT_TRUE(Eventually([&] { return !FindWindow("Scoutwell").has_value(); }, 10s));
    std::this_thread::sleep_for(1s); // the program lives on with its help window
    EXPECT_EQ(waitpid(m_pid, nullptr, WNOHANG), 0);
    ASSERT_TRUE(FindWindow("Help").has_value());

    AskToClose(FindWindow("Help")->id);
    int status = -1;
    ASSERT_TRUE(Eventually([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, 20s));
    m_pid = 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// With only software OpenGL WebKit's compositing costs much memory and time:
// the program turns it off before its first web view exists, unless the user
// has decided through WebKit's own variable.
TEST_F(ProgramStartTest, CompositingIsDecidedBeforeTheFirstWebViewAndTheUserWins) {
    unsetenv("WEBKIT_FORCE_COMPOSITING_MODE");
    const bool software = ShouldDisableCompositing(std::nullopt, std::nullopt, QueryGlRenderer);
    for (const char* users : {static_cast<const char*>(nullptr), "0"}) {
        SCOPED_TRACE(users ? users : "(not set)");
        users ? setenv("WEBKIT_DISABLE_COMPOSITING_MODE", users, 1)
              : unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
        Start();
        unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
        std::map<std::string, std::string> environment;
        ASSERT_TRUE(Eventually([&] { return !(environment = WebProcessEnvironment()).empty(); }));
        const auto found = environment.find("WEBKIT_DISABLE_COMPOSITING_MODE");
        const char* expected = users ? users : software ? "1" : nullptr;
        EXPECT_EQ(found == environment.end() ? std::string("(not set)") : found->second,
                  expected ? expected : "(not set)");
        Stop();
    }
}
