#pragma once

#include <chrono>
#include <thread>

// Polls, without an event loop, until predicate holds or timeout passes; returns whether it held.
template <typename Predicate>
bool Eventually(Predicate predicate, std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
