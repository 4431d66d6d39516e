#include "cpubench/processor_performance.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "cpubench/pdh_query.h"
#include "tests/support/output_watch.h"

TEST(PerformanceCounterVersion, FromWindows62On) {
  struct Case {
    unsigned long major, minor;
    bool available;
  } const cases[] = {{5, 2, false}, {6, 1, false}, {6, 2, true}, {6, 3, true}, {10, 0, true}};
  for (const Case& c : cases)
    EXPECT_EQ(HasProcessorPerformanceCounter(c.major, c.minor), c.available) << c.major << "." << c.minor;
}

TEST(AverageFiveSamples, DropsTheFirstAndAlwaysDividesByFive) {
  // A negative value stands for a failed collection.
  struct Case {
    std::vector<double> samples;
    double mean;
    const char* shows;
  } const cases[] = {
      {{7, 100, 100, 100, 100, 100}, 100.0, "five good samples"},
      {{7, 100, 100, 100, -1}, 60.0, "a failure after three samples"},
      {{-1}, 0.0, "the first collection fails"},
  };
  for (const Case& c : cases) {
    size_t next = 0;
    int pauses = 0;
    OutputWatch log;
    const double mean = AverageFiveSamples(
        [&] {
          const double value = c.samples.at(next++);
          if (value < 0) throw CPdhQuery::CException("\\Fake\\Counter collection failed");
          return value;
        },
        [&] { ++pauses; });
    EXPECT_DOUBLE_EQ(mean, c.mean) << c.shows;
    const bool failed = c.samples.back() < 0;
    EXPECT_EQ(log.Count("\\Fake\\Counter collection failed"), failed ? 1 : 0) << c.shows;
    EXPECT_EQ(next, c.samples.size()) << c.shows;
    EXPECT_LE(pauses, 5) << c.shows;
  }
}

TEST(CollectUntilRead, BoundsACounterThatNeverBecomesValid) {
  struct Case {
    int collectFailsAt;  // 0: never
    int readSucceedsAt;  // 0: never
    int expiresAfter;    // failed reads until the time is spent
    PDH_STATUS status;
    bool collectFailed;
    int collections;
    const char* shows;
  } const cases[] = {
      {0, 1, 100, 0, false, 1, "a value at once"},
      {0, 2, 100, 0, false, 2, "a rate counter: the first read after one collection fails"},
      {0, 500, 1000, 0, false, 500, "a counter that is valid only from the next clock tick"},
      {3, 0, 100, 5, true, 3, "a failed collection ends at once"},
      {0, 0, 100, 7, false, 100, "never valid: ends when the time is spent"},
  };
  for (const Case& c : cases) {
    int collections = 0;
    int reads = 0;
    int expiryChecks = 0;
    SampleAttempts result = CollectUntilRead(
        [&]() -> PDH_STATUS { return ++collections == c.collectFailsAt ? 5 : 0; },
        [&]() -> PDH_STATUS { return ++reads == c.readSucceedsAt ? 0 : 7; },
        [&] { return ++expiryChecks >= c.expiresAfter; });
    EXPECT_EQ(result.status, c.status) << c.shows;
    EXPECT_EQ(result.collectFailed, c.collectFailed) << c.shows;
    EXPECT_EQ(collections, c.collections) << c.shows;
    EXPECT_EQ(result.collections, c.collections) << c.shows;
  }
}

TEST(PdhQuery, MissingCounterThrowsWithPathAndSystemMessage) {
  const std::string path = "\\No Such Object(_Total)\\No Such Counter";
  try {
    CPdhQuery query(path);
    FAIL() << "the counter opened";
  } catch (const CPdhQuery::CException& e) {
    const std::string text = e.GetErrorMessage();
    EXPECT_EQ(text.rfind(path + " ", 0), 0u) << text;
    EXPECT_GT(text.size(), path.size() + 1) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << text;
  }
}

TEST(PdhQuery, SampleValueEndsOnARealCounter) {
  // Under Wine this counter opens but may never deliver a valid value; either way it must return.
  try {
    CPdhQuery query("\\Processor(_Total)\\% Processor Time");
    for (int i = 0; i < 3; ++i) {
      const double value = query.SampleValue();
      EXPECT_TRUE(std::isfinite(value));
    }
  } catch (const CPdhQuery::CException& e) {
    EXPECT_FALSE(e.GetErrorMessage().empty());
  }
}

TEST(ProcessorPerformance, RealSamplerLogsItsPathOnceAndNeverFails) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ASSERT_TRUE(GetVersionExA(&info));
#pragma GCC diagnostic pop
  OutputWatch log;
  const double first = GetProcessorPerformancePercent();
  const double second = GetProcessorPerformancePercent();
  EXPECT_GE(first, 0.0);
  EXPECT_GE(second, 0.0);
  const bool gated = HasProcessorPerformanceCounter(info.dwMajorVersion, info.dwMinorVersion);
  EXPECT_EQ(log.Count("DEBUG: feqPercPath-> \\Processor Information(_Total)\\% Processor Performance"),
            gated ? 1 : 0)
      << log.LogText();
}
