#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

// Stands in for the desktop's opener (xdg-open) for the life of the object: a
// recording script first on PATH, and the desktop's own handler lists hidden
// (XDG folders pointed at empty ones), so no real browser or mail program can
// start. Each call is recorded as its working folder and its arguments.
class FakeDesktopOpener {
public:
    struct Call {
        std::string workingFolder;
        std::vector<std::string> arguments;
    };

    FakeDesktopOpener();
    ~FakeDesktopOpener();
    FakeDesktopOpener(const FakeDesktopOpener&) = delete;
    FakeDesktopOpener& operator=(const FakeDesktopOpener&) = delete;

    std::vector<Call> Calls() const;
    // Waits (running the event loop) until at least count calls were recorded.
    bool WaitForCalls(std::size_t count,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) const;

private:
    std::filesystem::path m_folder;
    std::vector<std::pair<std::string, std::string>> m_savedEnvironment;
};
