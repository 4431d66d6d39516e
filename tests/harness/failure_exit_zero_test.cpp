// A run with a failed test whose main ends with exit code 0 all the same: GoogleTest's report
// names the failure, so the entry fails.
#include <gtest/gtest.h>

TEST(FailureExitZero, Passes) { SUCCEED(); }

TEST(FailureExitZero, Fails) { ADD_FAILURE() << "a failed expectation"; }

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  RUN_ALL_TESTS();
  return 0;
}
