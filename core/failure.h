#pragma once

#include <stdexcept>
#include <string>

// The one exception type of the program: a control or a platform call refused
// what it was asked to do. Each caller decides what a refusal means to it.
class ScoutwellError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where in the source a failure was swallowed.
struct SourcePlace {
    const char* file;
    unsigned line;
    const char* function;
};

// Writes one line to standard error saying what failed and where, so that a
// failure the program carries on from still leaves a trail for a bug report.
void ReportSwallowedFailure(const SourcePlace& where, const char* what) noexcept;

// Runs one step and swallows any failure of it, after reporting it. Used for
// event handlers, which must never let a failure reach the event loop, and
// for procedures whose steps are each allowed to fail on their own while the
// next one still runs.
// The place defaults to the caller's.
template <typename Step>
void IgnoreFailure(Step&& step, const char* file = __builtin_FILE(), unsigned line = __builtin_LINE(),
                   const char* function = __builtin_FUNCTION()) noexcept {
    const SourcePlace where{file, line, function};
    try {
        step();
    } catch (const std::exception& failure) {
        ReportSwallowedFailure(where, failure.what());
    } catch (...) {
        ReportSwallowedFailure(where, "unknown failure");
    }
}
