#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "engine/sysinfo/power_limit.h"
#include "tests/support/output_watch.h"

namespace {
std::vector<ProcessorPowerRecord> Records(unsigned count, ULONG maxMhz, ULONG currentMhz,
                                          ULONG mhzLimit) {
  std::vector<ProcessorPowerRecord> records(count);
  for (unsigned i = 0; i < count; ++i) records[i] = {i, maxMhz, currentMhz, mhzLimit, 0, 0};
  return records;
}

TEST(PowerLimitFromRecords, GivesTheLimitInPercentOfTheMaximum) {
  struct Case {
    const char* name;
    std::vector<ProcessorPowerRecord> records;
    std::string percent;
  };
  const Case cases[] = {
      {"limit equal to the maximum", Records(8, 3401, 2000, 3401), "100"},
      {"limit half the maximum", Records(4, 3000, 1000, 1500), "50"},
      {"a half rounds up", Records(1, 200, 0, 111), "56"},
      {"limit above the maximum", Records(2, 3000, 3000, 3100), ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PowerLimitFromRecords(0, c.records.data(), static_cast<unsigned>(c.records.size())),
              c.percent)
        << c.name;
  }
}

TEST(PowerLimitFromRecords, LogsTheAveragesWithTheirOwnPrefix) {
  const auto records = Records(8, 3401, 2000, 3401);
  OutputWatch log;
  PowerLimitFromRecords(0, records.data(), 8);
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(std::regex_match(
      lines[0],
      std::regex("S [0-9]+ +[0-9.]+ +S: DEBUG: CPU power status: CORES\\(8\\) MAX\\(3401\\) "
                 "CUR\\(2000\\) LIM\\(3401\\)")))
      << lines[0];
}

TEST(PowerLimitFromRecords, AveragesAreTruncated) {
  std::vector<ProcessorPowerRecord> records = {{0, 3000, 1000, 3000, 0, 0},
                                               {1, 3001, 1001, 3001, 0, 0}};
  OutputWatch log;
  EXPECT_EQ(PowerLimitFromRecords(0, records.data(), 2), "100");
  EXPECT_EQ(log.Count("S: DEBUG: CPU power status: CORES(2) MAX(3000) CUR(1000) LIM(3000)"), 1);
}

TEST(PowerLimitFromRecords, FailuresGiveEmptyText) {
  const auto zeroLimit = Records(4, 3000, 1000, 0);
  const auto zeroMax = Records(4, 0, 0, 1000);
  struct Case {
    const char* name;
    long status;
    const std::vector<ProcessorPowerRecord>* records;
    std::string message;
  };
  const Case cases[] = {
      {"the query failed", static_cast<long>(0xC0000023), &zeroLimit,
       "ERROR: CallNtPowerInformation status: -1073741789"},
      {"a zero limit sum", 0, &zeroLimit, "ERROR: CallNtPowerInformation returned zero cores"},
      {"a zero maximum sum", 0, &zeroMax, "ERROR: CallNtPowerInformation returned zero cores"},
  };
  for (const Case& c : cases) {
    OutputWatch log;
    EXPECT_EQ(PowerLimitFromRecords(c.status, c.records->data(), 4), "") << c.name;
    EXPECT_EQ(log.Messages(), std::vector<std::string>{c.message}) << c.name;
  }
  OutputWatch log;
  EXPECT_EQ(PowerLimitFromRecords(0, nullptr, 0), "");
  EXPECT_EQ(log.Count("ERROR: CallNtPowerInformation returned zero cores"), 1);
}

TEST(GetCpuPowerLimit, AnnouncesItselfOnTheConsoleAndAnswersFromThePlatform) {
  OutputWatch log;
  testing::internal::CaptureStdout();
  const std::string percent = GetCpuPowerLimit();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "INFO: Checking CPU power status\n");
  EXPECT_EQ(log.Messages().at(0), "INFO: Checking CPU power status");
  EXPECT_EQ(log.Lines().at(0).rfind("B ", 0), 0u);
  if (!percent.empty()) {
    EXPECT_TRUE(std::regex_match(percent, std::regex("[0-9]{1,3}"))) << percent;
  }
}
}  // namespace
