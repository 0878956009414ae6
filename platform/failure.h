#pragma once

#include <stdexcept>
#include <string>

// The one exception type of the program: a control or a platform call refused
// what it was asked to do. Each caller decides what a refusal means to it.
class ScoutwellError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs one step and swallows any failure of it. Used for event handlers, which
// must never let a failure reach the event loop, and for procedures whose steps
// are each allowed to fail on their own while the next one still runs.
template <typename Step>
void IgnoreFailure(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}
