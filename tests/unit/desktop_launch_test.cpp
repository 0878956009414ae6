#include "compositing_choice.h"
#include "desktop_handlers.h"
#include "desktop_launch.h"
#include "failure.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// GLib reads the XDG folders once a process: each launch runs in a child; 0 launched, 1 refused, saying why.
int LaunchInChild(const std::string& address, const std::function<void()>& prepare) {
    const pid_t child = fork();
    if (child == 0) {
        try {
            prepare();
            LaunchDefaultHandler(address);
            _exit(0);
        } catch (const ScoutwellError& error) {
            _exit(std::string(error.what()).empty() ? 2 : 1);
        }
    }
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Eventually(const std::function<bool()>& predicate) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!predicate() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return predicate();
}

const auto SoftwareRenderer = [] {
    ChooseCompositingMode([] { return std::optional<std::string>("llvmpipe"); });
};
const auto UsersOwnChoice = [] { setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 1); };

} // namespace

// The address reaches the handler unchanged through GIO; the program's WebKit settings stay, the user's go.
TEST(DesktopLaunch, TheDefaultHandlerGetsTheAddressOrTheFailureItsReason) {
    RecordingDesktopHandlers desktop;
    unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
    unsetenv("WEBKIT_FORCE_COMPOSITING_MODE");
    const struct {
        std::string address;
        std::function<void()> prepare; // in the launching child, before the launch
        bool launched;
        std::vector<std::string> webkitVariables;
    } cases[] = {
        {"http://www.example.com/a?b=1&c=%20d#e", SoftwareRenderer, true, {}},
        {"mailto:support@scoutwell.example", UsersOwnChoice, true, {"WEBKIT_DISABLE_COMPOSITING_MODE=1"}},
        {"gopher://example.com/", [] {}, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        desktop.ForgetCalls();
        ASSERT_EQ(LaunchInChild(c.address, c.prepare), c.launched ? 0 : 1);
        if (c.launched) {
            ASSERT_TRUE(Eventually([&] { return !desktop.Calls().empty(); }));
            EXPECT_EQ(desktop.Calls()[0].argument, c.address);
            EXPECT_EQ(desktop.Calls()[0].webkitVariables, c.webkitVariables);
        }
    }
}
