// A whole run in which every test is disabled: GoogleTest ran none, yet its report lists them as
// disabled, so the entry passes.
#include <gtest/gtest.h>

TEST(AllDisabled, DISABLED_First) { FAIL() << "a disabled test ran"; }

TEST(AllDisabled, DISABLED_Second) { FAIL() << "a disabled test ran"; }
