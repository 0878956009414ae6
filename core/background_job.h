#pragma once

#include "failure.h"

#include <future>
#include <system_error>
#include <type_traits>
#include <utility>

// Starts the job on a thread of its own, so that it runs while the caller
// goes on. When the system has no thread to give, that is said in one line on
// standard error and the job runs later instead, on the thread that first
// asks the future for its result: slower, but the result is the same.
// The place reported defaults to the caller's.
template <typename Job>
std::future<std::invoke_result_t<Job>> StartBackgroundJob(Job job, const char* file = __builtin_FILE(),
                                                          unsigned line = __builtin_LINE(),
                                                          const char* function = __builtin_FUNCTION()) {
    try {
        return std::async(std::launch::async, job);
    } catch (const std::system_error& failure) {
        ReportSwallowedFailure({file, line, function}, failure.what());
        return std::async(std::launch::deferred, std::move(job));
    }
}
