#pragma once

#include <source_location>
#include <stdexcept>
#include <string>

// The one exception type of the program: a control or a platform call refused
// what it was asked to do. Each caller decides what a refusal means to it.
class ScoutwellError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes one line to standard error saying what failed and where, so that a
// failure the program carries on from still leaves a trail for a bug report.
void ReportSwallowedFailure(const std::source_location& where, const char* what) noexcept;

// Runs one step and swallows any failure of it, after reporting it. Used for
// event handlers, which must never let a failure reach the event loop, and
// for procedures whose steps are each allowed to fail on their own while the
// next one still runs.
template <typename Step>
void IgnoreFailure(Step&& step,
                   const std::source_location& where = std::source_location::current()) noexcept {
    try {
        step();
    } catch (const std::exception& failure) {
        ReportSwallowedFailure(where, failure.what());
    } catch (...) {
        ReportSwallowedFailure(where, "unknown failure");
    }
}
