// Near-half cases, where a product kept at more than double precision rounds the other way: the
// figures must be the same in both flavors, on the main thread and on the programs' threads.
#include <float.h>
#include <windows.h>

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "common/bench_workers.h"
#include "common/floating_point.h"
#include "common/run_log.h"
#include "common/text_helpers.h"

namespace {
struct RoundCase {
  int decimals;
  double value;
  double expected;
  const char* shows;
};
const RoundCase roundCases[] = {
    {2, 2.675, 2.68, "x*p is 267.5 in double, just below it at 64 bits"},
    {1, 0.35, 0.4, "x*p is 3.5 in double, just below it at 64 bits"},
    {1, -2.25, -2.2, "an exact negative half goes towards positive infinity"},
    {2, 0.015, 0.02, "the log's seconds of 15 ms"},
};

// The table's failures as text, empty when every case holds, so that a thread can report them.
std::string RoundingFailures() {
  std::ostringstream failures;
  for (const RoundCase& c : roundCases) {
    double got = RoundDecimals(c.decimals, c.value);
    if (got != c.expected) {
      failures << "RoundDecimals(" << c.decimals << ", " << c.value << ") gave " << got
               << ", expected " << c.expected << " (" << c.shows << ")\n";
    }
  }
  std::ostringstream line;
  FormatLogLine(line, kLogS, 7, 0.015, "m");
  if (line.str() != "S 7     0.02 m\n") failures << "log line for 0.015 s: " << line.str();
  return failures.str();
}

struct RoundingRecord {
  int32_t count = 0;
  std::stringstream threadLog;
  std::string failures = "not run";
};

void CheckRoundingOnThread(RoundingRecord& record) { record.failures = RoundingFailures(); }
}  // namespace

TEST(Rounding, NearHalvesOnTheMainThread) { EXPECT_EQ(RoundingFailures(), ""); }

TEST(Rounding, NearHalvesOnAWorkerThread) {
  RoundingRecord record;
  HANDLE thread =
      StartWaitableThread(&BenchThreadProc<RoundingRecord, CheckRoundingOnThread>, &record);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(record.failures, "");
}

#if defined(__i386__)
// A thread that starts at 64-bit precision (as a bare fninit leaves it) is set right again.
TEST(Rounding, StartUpPrecisionReplacesExtendedPrecision) {
  unsigned before = _control87(0, 0);
  _control87(_PC_64, _MCW_PC);
  // At 64 bits the half is lost and the value rounds down (to 2.67, give or take the last bit of
  // the division, which is then rounded twice).
  EXPECT_LT(RoundDecimals(2, 2.675), 2.675) << "the table's first case must fail at 64 bits";
  UseStartUpFloatingPoint();
  EXPECT_EQ(RoundingFailures(), "");
  _control87(before, _MCW_PC);
}
#endif
