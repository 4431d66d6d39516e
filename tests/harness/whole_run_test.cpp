// A whole run that passes with a skipped and a disabled test: GoogleTest's closing line still
// reports it passed, so its CTest entry passes.
#include <gtest/gtest.h>

TEST(WholeRun, Passes) { SUCCEED(); }

TEST(WholeRun, IsSkipped) { GTEST_SKIP() << "a test may skip itself where it cannot run"; }

TEST(WholeRun, DISABLED_RunsOnlyWhenAskedFor) { FAIL() << "a disabled test ran"; }
