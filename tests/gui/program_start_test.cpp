// The real program, started as a user starts it: watched from outside through
// the X server, its windows must appear in the documented order.

#include "compositing_choice.h"
#include "gl_renderer.h"
#include "recording_proxy.h"

#include <gtest/gtest.h>
// Xlib's macros (None, Status, ...) must come after the test framework.
#include "x_stacking.h"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Windows of the program come and go while the test looks at them: a window
// that vanished between two requests is an answer, not a reason to abort.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
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
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_display != nullptr)
            XCloseDisplay(m_display);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    void Start() {
        setenv("http_proxy", m_proxy.Address().c_str(), 1);
        // The environment the program is started with is the one it finds.
        const std::string program = (m_folder / "scoutwell").string();
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        ASSERT_EQ(posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
    }

    // The mapped top-level windows of the program.
    std::vector<TopWindow> VisibleWindows() { return ProcessWindows(m_display, m_pid); }

    std::optional<TopWindow> FindWindow(const std::string& name) {
        for (const TopWindow& window : VisibleWindows()) {
            if (window.name == name)
                return window;
        }
        return std::nullopt;
    }

    // Polls until predicate holds or timeout passes; returns whether it held.
    template <typename Predicate> bool WaitFor(Predicate predicate, std::chrono::milliseconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (!predicate()) {
            if (Clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    // A click of the first button at a point of the screen, as the X server
    // would get it from the mouse.
    void ClickAt(int x, int y) {
        XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
        XSync(m_display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
        XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
        XSync(m_display, False);
    }

    // What a window manager sends when the user clicks a window's close button.
    void AskToClose(Window window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, window, False, NoEventMask, &event);
        XSync(m_display, False);
    }

    // The 32-bit items of a window property; empty when it is not set.
    std::vector<long> Property(Window window, const char* name, Atom type) {
        Atom actualType;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        std::vector<long> values;
        if (XGetWindowProperty(m_display, window, XInternAtom(m_display, name, False), 0, 64, False, type,
                               &actualType, &format, &items, &after, &data) == Success &&
            data != nullptr) {
            if (format == 32)
                values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + items);
            XFree(data);
        }
        return values;
    }

    // Whether the program has ended; reaps it when it has.
    bool Ended(int* status = nullptr) {
        int waited = 0;
        if (m_pid <= 0 || waitpid(m_pid, &waited, WNOHANG) != m_pid)
            return m_pid <= 0;
        m_pid = 0;
        if (status != nullptr)
            *status = waited;
        return true;
    }

    // The environment of the first of the program's WebKit web processes, as
    // the system holds it: what WebKit was really started with. Empty while
    // there is none yet.
    std::map<std::string, std::string> WebProcessEnvironment() const {
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            std::ifstream stat(entry.path() / "stat");
            std::string pid, name, state;
            long parent = 0;
            if (!(stat >> pid >> name >> state >> parent) || parent != m_pid || name != "(WebKitWebProces)")
                continue;
            std::ifstream environ(entry.path() / "environ", std::ios::binary);
            std::map<std::string, std::string> variables;
            for (std::string line; std::getline(environ, line, '\0');) {
                const auto equals = line.find('=');
                if (equals != std::string::npos)
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

TEST_F(ProgramStartTest, TheSplashComesFirstThenTheFittedMainWindow) {
    Start();
    std::optional<Clock::time_point> splashShown, splashGone, mainShown;
    bool bothAtOnce = false;
    TopWindow mainWindow{};
    TopWindow splash{};
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (!mainShown && Clock::now() < deadline) {
        bool splashNow = false, mainNow = false;
        for (const TopWindow& window : VisibleWindows()) {
            if (window.name == "Scoutwell") {
                mainNow = true;
                mainWindow = window;
            } else {
                splashNow = true;
                splash = window;
            }
        }
        const auto now = Clock::now();
        bothAtOnce = bothAtOnce || (splashNow && mainNow);
        if (splashNow && !splashShown)
            splashShown = now;
        if (!splashNow && splashShown && !splashGone)
            splashGone = now;
        if (mainNow && !mainShown)
            mainShown = now;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(splashShown) << "no splash appeared";
    ASSERT_TRUE(mainShown) << "the main window never appeared";
    EXPECT_FALSE(bothAtOnce);
    EXPECT_TRUE(splashGone && *splashGone <= *mainShown);
    EXPECT_GE(*splashGone - *splashShown, std::chrono::milliseconds(2800)); // it closed by its own timer
    EXPECT_EQ(splash.width, 492);                                           // 7380 twips
    EXPECT_EQ(splash.height, 283);                                          // 4245 twips

    // With no window manager the work area is the whole screen.
    const Screen* screen = DefaultScreenOfDisplay(m_display);
    EXPECT_EQ(mainWindow.x, 0);
    EXPECT_EQ(mainWindow.y, 0);
    EXPECT_EQ(mainWindow.width, screen->width);
    EXPECT_EQ(mainWindow.height, screen->height);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(m_proxy.Requests().empty()); // nothing loads before the first search
}

TEST_F(ProgramStartTest, HelpIsAFixedWindowOfItsOwnThatKeepsTheProgramRunningUntilItCloses) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return FindWindow("Scoutwell").has_value(); }, std::chrono::seconds(30)));
    const Window mainWindow = FindWindow("Scoutwell")->id;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    // The Help button, 6240 + 2520 twips from the left and 120 from the top
    // of the main window, which fills the screen from its top left corner.
    ClickAt((2520 + 6240 + 300) / 15, (120 + 120) / 15);
    ASSERT_TRUE(WaitFor([&] { return FindWindow("Help").has_value(); }, std::chrono::seconds(10)));
    const Window helpWindow = FindWindow("Help")->id;

    // What the desktop is told about it: a fixed size of 6870 x 6315 twips,
    // no owner, no taskbar entry, and of the title-bar buttons only Close.
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(m_display, helpWindow, &hints, &supplied));
    EXPECT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
    EXPECT_EQ(hints.min_width, 458);
    EXPECT_EQ(hints.min_height, 421);
    EXPECT_EQ(hints.max_width, 458);
    EXPECT_EQ(hints.max_height, 421);
    Window owner = 0;
    EXPECT_FALSE(XGetTransientForHint(m_display, helpWindow, &owner));
    const auto states = Property(helpWindow, "_NET_WM_STATE", XA_ATOM);
    EXPECT_NE(std::find(states.begin(), states.end(),
                        static_cast<long>(XInternAtom(m_display, "_NET_WM_STATE_SKIP_TASKBAR", False))),
              states.end());
    const auto motif = Property(helpWindow, "_MOTIF_WM_HINTS", AnyPropertyType);
    ASSERT_GE(motif.size(), 2u);
    const long resize = 2, minimize = 8, maximize = 16, close = 32;
    EXPECT_EQ(motif[1] & (resize | minimize | maximize), 0) << motif[1];
    EXPECT_EQ(motif[1] & close, close) << motif[1];

    AskToClose(mainWindow);
    ASSERT_TRUE(WaitFor([&] { return !FindWindow("Scoutwell").has_value(); }, std::chrono::seconds(10)));
    // For a while nothing more happens: the program lives on with its help window.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_FALSE(Ended());
    EXPECT_TRUE(FindWindow("Help").has_value());

    AskToClose(helpWindow);
    int status = -1;
    ASSERT_TRUE(WaitFor([&] { return Ended(&status); }, std::chrono::seconds(20)))
        << "the program did not end";
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// With only software OpenGL WebKit's compositing costs much memory and time:
// the program turns it off before its first web view exists, unless the user
// has decided through WebKit's own variables.
TEST_F(ProgramStartTest, CompositingIsDecidedBeforeTheFirstWebViewAndTheUserWins) {
    unsetenv("WEBKIT_FORCE_COMPOSITING_MODE");
    const bool software = ShouldDisableCompositing(std::nullopt, std::nullopt, QueryGlRenderer);
    for (const char* users : {static_cast<const char*>(nullptr), "0"}) {
        SCOPED_TRACE(users ? users : "(not set)");
        if (users)
            setenv("WEBKIT_DISABLE_COMPOSITING_MODE", users, 1);
        else
            unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
        Start();
        unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
        std::map<std::string, std::string> environment;
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while ((environment = WebProcessEnvironment()).empty() && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(environment.empty()) << "no web process appeared";
        const auto found = environment.find("WEBKIT_DISABLE_COMPOSITING_MODE");
        if (users)
            EXPECT_TRUE(found != environment.end() && found->second == users);
        else if (software)
            EXPECT_TRUE(found != environment.end() && found->second == "1");
        else
            EXPECT_TRUE(found == environment.end());
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }
}
