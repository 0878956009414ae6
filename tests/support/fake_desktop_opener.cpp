#include "fake_desktop_opener.h"

#include "gui_test.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

const char* const IsolatedVariables[] = {
    "PATH",    "XDG_DATA_HOME",   "XDG_DATA_DIRS",      "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS",
    "BROWSER", "DESKTOP_SESSION", "XDG_CURRENT_DESKTOP"};

} // namespace

FakeDesktopOpener::FakeDesktopOpener() {
    std::string pattern = (std::filesystem::temp_directory_path() / "scoutwell-opener-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a folder for the fake opener");
    m_folder = pattern;
    std::filesystem::create_directories(m_folder / "bin");
    std::filesystem::create_directories(m_folder / "xdg");

    // One record per call: the working folder, the arguments, each on a line
    // of its own, and an end marker written last so a half-written record is
    // never read.
    const auto script = m_folder / "bin" / "xdg-open";
    std::ofstream(script)
        << "#!/bin/sh\n"
           "log='"
        << (m_folder / "calls.log").string()
        << "'\n"
           "{ printf 'CWD %s\\n' \"$PWD\"; for a in \"$@\"; do printf 'ARG %s\\n' \"$a\"; done; "
           "printf 'END\\n'; } >> \"$log\"\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);

    for (const char* name : IsolatedVariables) {
        const char* value = std::getenv(name);
        m_savedEnvironment.emplace_back(name, value ? value : "\x01");
    }
    const char* path = std::getenv("PATH");
    setenv("PATH", ((m_folder / "bin").string() + ":" + (path ? path : "/usr/bin:/bin")).c_str(), 1);
    const std::string xdg = (m_folder / "xdg").string();
    for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"})
        setenv(name, xdg.c_str(), 1);
    for (const char* name : {"BROWSER", "DESKTOP_SESSION", "XDG_CURRENT_DESKTOP"})
        unsetenv(name);
}

FakeDesktopOpener::~FakeDesktopOpener() {
    for (const auto& [name, value] : m_savedEnvironment) {
        if (value == "\x01")
            unsetenv(name.c_str());
        else
            setenv(name.c_str(), value.c_str(), 1);
    }
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::vector<FakeDesktopOpener::Call> FakeDesktopOpener::Calls() const {
    std::vector<Call> calls;
    std::ifstream log(m_folder / "calls.log");
    Call call;
    for (std::string line; std::getline(log, line);) {
        if (line.rfind("CWD ", 0) == 0)
            call = Call{line.substr(4), {}};
        else if (line.rfind("ARG ", 0) == 0)
            call.arguments.push_back(line.substr(4));
        else if (line == "END")
            calls.push_back(call);
    }
    return calls;
}

bool FakeDesktopOpener::WaitForCalls(std::size_t count, std::chrono::milliseconds timeout) const {
    return WaitFor([&] { return Calls().size() >= count; }, timeout);
}
