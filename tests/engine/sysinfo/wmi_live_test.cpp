// The WMI layer against the platform's own WMI service.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "engine/sysinfo/wmi_provider.h"
#include "engine/sysinfo/wmi_query.h"
#include "tests/support/output_watch.h"

namespace {
TEST(WmiLive, TwoQueriesShareOneConnection) {
  testing::internal::CaptureStdout();
  std::vector<WmiRow> first;
  std::vector<WmiRow> second;
  EXPECT_EQ(QueryRows(first, "select Name from Win32_Processor", "Name"), 0);
  WMIProvider* provider = GetWmiProvider();
  EXPECT_EQ(QueryRows(second, "select Caption from Win32_OperatingSystem", "Caption"), 0);
  const std::string printed = testing::internal::GetCapturedStdout();

  EXPECT_EQ(GetWmiProvider(), provider);
  EXPECT_EQ(wmiProviderRegistry.size(), 1u);
  EXPECT_EQ(wmiProviderRegistry.count(L"ROOT\\CIMV2"), 1u);
  EXPECT_EQ(comInitCount, 1);  // COM was initialised once, for the one connection
  EXPECT_EQ(printed, "");
  ASSERT_FALSE(first.empty());
  EXPECT_FALSE(first[0].at("Name").empty());
  ASSERT_EQ(second.size(), 1u);
  EXPECT_FALSE(second[0].at("Caption").empty());
}

TEST(WmiLive, AQueryMatchingNothingFailsSilently) {
  std::vector<WmiRow> rows;
  testing::internal::CaptureStdout();
  const int result =
      QueryRows(rows, "select Name from Win32_Processor where Name = 'no such cpu'", "Name");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(rows.empty());
}

TEST(WmiLive, AMalformedQueryPrintsItsCode) {
  std::vector<WmiRow> rows;
  testing::internal::CaptureStdout();
  const int result = QueryRows(rows, "selec Name frm Win32_Processor", "Name");
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(rows.empty());
  EXPECT_TRUE(std::regex_match(printed, std::regex("Querying selec Name frm Win32_Processor Serial "
                                                   "Key failed: 0x[0-9a-f]{8}\n")))
      << printed;
}

TEST(WmiLive, AnAbsentPropertyGivesEmptyTextAndTheWarning) {
  // The platform's Win32_Processor has no LoadPercentage: both reads fail.
  std::vector<WmiRow> rows;
  OutputWatch log;
  testing::internal::CaptureStdout();
  ASSERT_EQ(
      QueryRows(rows, "select Name,LoadPercentage from Win32_Processor", "Name,LoadPercentage"), 0);
  const std::string printed = testing::internal::GetCapturedStdout();
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0].count("LoadPercentage"), 1u);
  EXPECT_EQ(rows[0].at("LoadPercentage"), "");
  EXPECT_EQ(log.Count("WARN: failed to get string or INT for field-> LoadPercentage"),
            static_cast<int>(rows.size()));
  EXPECT_NE(printed.find("pclsObj->Get (LoadPercentage) failed: 0x80041002\n"), std::string::npos)
      << printed;
}

TEST(WmiLive, ANullPropertyGivesEmptyTextAndTheWarning) {
  // Win32_OperatingSystem's CSDVersion is null on a system without a service pack.
  std::vector<WmiRow> rows;
  OutputWatch log;
  testing::internal::CaptureStdout();
  ASSERT_EQ(
      QueryRows(rows, "select CSDVersion from Win32_OperatingSystem", "CSDVersion,CSDVersion"), 0);
  const std::string printed = testing::internal::GetCapturedStdout();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (WmiRow{{"CSDVersion", ""}}));
  EXPECT_EQ(log.Count("WARN: failed to get string or INT for field-> CSDVersion"), 2);
  EXPECT_EQ(printed, "");
}

TEST(WmiLive, ThirtyTwoBitIntegersArriveAsDecimalText) {
  std::vector<WmiRow> rows;
  ASSERT_EQ(QueryRows(rows, "select MaxClockSpeed from Win32_Processor", "MaxClockSpeed"), 0);
  ASSERT_FALSE(rows.empty());
  EXPECT_TRUE(std::regex_match(rows[0].at("MaxClockSpeed"), std::regex("[0-9]+")))
      << rows[0].at("MaxClockSpeed");
}
}  // namespace
