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
    EXPECT_NE(said.find("the view refused a negative height"), std::string::npos) << said;
    EXPECT_NE(said.find("failure_test.cpp:"), std::string::npos) << said;
    EXPECT_NE(said.find("unknown failure"), std::string::npos) << said;
}
