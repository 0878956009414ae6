#include "compositing_choice.h"
#include "desktop_handlers.h"
#include "desktop_launch.h"
#include "poll.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// GLib reads the XDG folders once per process: each launch runs in a child. Returns "ok" or the reason.
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

const auto SoftwareRenderer = [] {
    ChooseCompositingMode([] { return std::optional<std::string>("llvmpipe"); });
};
const auto UsersOwnChoice = [] { setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 1); };

} // namespace

// The address reaches the default handler unchanged through GIO alone; WebKit settings the program
// made stay behind, the user's own go along. No handler, or one not installed or gone: a reason.
TEST(DesktopLaunch, TheDefaultHandlerGetsTheAddressOrTheFailureItsReason) {
    RecordingDesktopHandlers desktop;
    unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
    unsetenv("WEBKIT_FORCE_COMPOSITING_MODE");
    const std::function<void()> nothing = [] {};
    const struct {
        std::string address;
        std::function<void()> prepare; // in the launching child, before the launch
        bool launched;
        std::vector<std::string> webkitVariables;
    } cases[] = {
        {"http://www.example.com/a?b=1&c=%20d#e", nothing, true, {}},
        {"https://example.org/", SoftwareRenderer, true, {}},
        {"mailto:support@scoutwell.example", UsersOwnChoice, true, {"WEBKIT_DISABLE_COMPOSITING_MODE=1"}},
        {"gopher://example.com/", nothing, false, {}},
        {"https://example.com/", [&] { desktop.RemoveHandlerCommand(); }, false, {}},
        {"http://example.com/",
         [&] { desktop.WriteMimeApps("[Default Applications]\nx-scheme-handler/http=x.desktop\n"); },
         false,
         {}},
    };
    for (const auto& c : cases) {
        desktop.ForgetCalls();
        const std::string result = LaunchInChild(c.address, c.prepare);
        if (!c.launched) {
            EXPECT_TRUE(result != "ok" && !result.empty()) << c.address;
            EXPECT_TRUE(desktop.Calls().empty()) << c.address;
            continue;
        }
        EXPECT_EQ(result, "ok");
        ASSERT_TRUE(Eventually([&] { return !desktop.Calls().empty(); })) << c.address;
        EXPECT_EQ(desktop.Calls()[0].argument, c.address);
        EXPECT_EQ(desktop.Calls()[0].webkitVariables, c.webkitVariables);
    }
}
