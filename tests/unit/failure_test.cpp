#include "failure.h"

#include <gtest/gtest.h>

#include <algorithm>

// A failure the program carries on from still leaves one line saying what failed and where.
TEST(IgnoreFailureTest, ASwallowedFailureIsReportedOnOneLineWithItsPlace) {
    testing::internal::CaptureStderr();
    IgnoreFailure([] { throw ScoutwellError("the view refused a negative height"); });
    IgnoreFailure([] { throw 42; });
    IgnoreFailure([] {}); // nothing failed: nothing said
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    for (const char* part : {"the view refused a negative height", "failure_test.cpp:", "unknown failure"})
        EXPECT_NE(said.find(part), std::string::npos) << said;
}
