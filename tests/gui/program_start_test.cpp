// The real program, started as a user starts it: watched from outside through
// the X server, its windows must appear in the documented order.

#include "compositing_choice.h"
#include "gl_renderer.h"
#include "recording_proxy.h"

#include <gtest/gtest.h>
// Xlib's macros (None, Status, ...) must come after the test framework.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

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

struct TopWindow {
    Window id;
    std::string name;
    XWindowAttributes attributes;
};

class ProgramStartTest : public testing::Test {
protected:
    void SetUp() override {
        m_display = XOpenDisplay(nullptr);
        ASSERT_NE(m_display, nullptr) << "these tests need a display; ./test.sh gives them one";
        // A window may vanish between being listed and being looked at (the
        // splash closing): Xlib's default handler would end the whole test
        // process on that BadWindow. The calls report failure instead.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
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
    std::vector<TopWindow> VisibleWindows() {
        std::vector<TopWindow> found;
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count);
        const Atom pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(m_display, children[i], &attributes) || attributes.map_state != IsViewable)
                continue;
            Atom type;
            int format;
            unsigned long items, after;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(m_display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                                   &after, &data) != Success || data == nullptr)
                continue;
            const long pid = *reinterpret_cast<long*>(data);
            XFree(data);
            if (pid != m_pid)
                continue;
            char* name = nullptr;
            XFetchName(m_display, children[i], &name);
            found.push_back({children[i], name ? name : "", attributes});
            if (name)
                XFree(name);
        }
        if (children)
            XFree(children);
        return found;
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
    XWindowAttributes mainWindow{};
    XWindowAttributes splash{};
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (!mainShown && Clock::now() < deadline) {
        bool splashNow = false, mainNow = false;
        for (const TopWindow& window : VisibleWindows()) {
            if (window.name == "Scoutwell") {
                mainNow = true;
                mainWindow = window.attributes;
            } else {
                splashNow = true;
                splash = window.attributes;
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
    EXPECT_EQ(splash.width, 492);  // 7380 twips
    EXPECT_EQ(splash.height, 283); // 4245 twips

    // With no window manager the work area is the whole screen.
    const Screen* screen = DefaultScreenOfDisplay(m_display);
    EXPECT_EQ(mainWindow.x, 0);
    EXPECT_EQ(mainWindow.y, 0);
    EXPECT_EQ(mainWindow.width, screen->width);
    EXPECT_EQ(mainWindow.height, screen->height);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(m_proxy.Requests().empty()); // nothing loads before the first search
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
