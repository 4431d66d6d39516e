// A program whose tests pass and which fails once GoogleTest has written its whole report: its
// main aborts, its main returns 1, or a static object's destructor aborts. HARNESS_ENDING, set per
// program, chooses the ending; each entry fails on the exit code alone.
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

enum Ending { MainAborts, MainReturnsOne, StaticDestructorAborts };
constexpr Ending ending = HARNESS_ENDING;

struct AbortsAtExit {
  ~AbortsAtExit() {
    if (ending == StaticDestructorAborts) std::abort();
  }
} abortsAtExit;

}  // namespace

TEST(AfterReport, Passes) { SUCCEED(); }

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (ending == MainAborts) std::abort();
  if (ending == MainReturnsOne) return 1;
  return result;
}
