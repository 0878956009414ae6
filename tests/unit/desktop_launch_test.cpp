#include "compositing_choice.h"
#include "desktop_handlers.h"
#include "desktop_launch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// GLib reads the XDG folders once per process: each launch runs in a child
// started after the test desktop is in place. Returns "ok" or the reason.
std::string LaunchInChild(const std::string& address, const std::function<void()>& prepare) {
    int ends[2];
    if (pipe(ends) != 0)
        return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        std::string result = "ok";
        try {
            prepare();
            LaunchDefaultHandler(address);
        } catch (const std::exception& error) {
            result = error.what();
        }
        _exit(write(ends[1], result.data(), result.size()) < 0);
    }
    close(ends[1]);
    std::string result;
    char buffer[1024];
    for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, std::size_t(n));
    close(ends[0]);
    waitpid(child, nullptr, 0);
    return result;
}

bool PollFor(const std::function<bool()>& predicate) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

const auto Nothing = [] {};
const auto SoftwareRenderer = [] {
    ChooseCompositingMode([] { return std::optional<std::string>("llvmpipe"); });
};
const auto UsersOwnChoice = [] { setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 1); };

} // namespace

// The address reaches the user's default handler unchanged, through GIO and
// mimeapps.list alone (there is no xdg-open to fall back on); WebKit settings
// the program made for itself stay behind, the user's own go along.
TEST(DesktopLaunch, TheDefaultHandlerGetsTheAddressAndOnlyTheUsersWebKitSettings) {
    RecordingDesktopHandlers desktop;
    unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
    unsetenv("WEBKIT_FORCE_COMPOSITING_MODE");
    const struct {
        std::string address;
        std::function<void()> prepare;
        std::vector<std::string> webkitVariables;
    } cases[] = {
        {"http://www.example.com/a?b=1&c=%20d#e", Nothing, {}},
        {"https://example.org/", SoftwareRenderer, {}},
        {"mailto:support@scoutwell.example", UsersOwnChoice, {"WEBKIT_DISABLE_COMPOSITING_MODE=1"}},
    };
    for (const auto& c : cases) {
        desktop.ForgetCalls();
        EXPECT_EQ(LaunchInChild(c.address, c.prepare), "ok");
        ASSERT_TRUE(PollFor([&] { return !desktop.Calls().empty(); })) << c.address;
        EXPECT_EQ(desktop.Calls()[0].argument, c.address);
        EXPECT_EQ(desktop.Calls()[0].webkitVariables, c.webkitVariables);
    }
}

// No handler for the scheme, a default naming a handler that is not installed,
// a handler whose command is gone: a reason to show, and nothing started.
TEST(DesktopLaunch, ABrokenDesktopGivesAReason) {
    RecordingDesktopHandlers desktop;
    const std::string missingDefault =
        "[Default Applications]\nx-scheme-handler/http=not-installed.desktop\n";
    const struct {
        std::string address, mimeApps;
        bool removeCommand;
    } cases[] = {
        {"gopher://example.com/", "", false},
        {"http://example.com/", missingDefault, false},
        {"https://example.com/", "", true},
    };
    for (const auto& c : cases) {
        if (!c.mimeApps.empty())
            desktop.WriteMimeApps(c.mimeApps);
        if (c.removeCommand)
            desktop.RemoveHandlerCommand();
        const std::string reason = LaunchInChild(c.address, Nothing);
        EXPECT_NE(reason, "ok") << c.address;
        EXPECT_FALSE(reason.empty()) << c.address;
    }
    EXPECT_TRUE(desktop.Calls().empty());
}
