#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/sysinfo/collector_rules.h"
#include "tests/support/output_watch.h"

namespace {
WmiRow Processor(const std::string& name, const std::string& maxClock, const std::string& load) {
  return {{"Name", name},
          {"SocketDesignation", "CPU 1"},
          {"MaxClockSpeed", maxClock},
          {"ProcessorId", "BFEBFBFF000906EA"},
          {"LoadPercentage", load}};
}

TEST(ApplyProcessorRows, TakesTheFactsOfTheFirstProcessor) {
  struct Case {
    const char* name;
    std::vector<WmiRow> rows;
    std::string phyModel;
    std::string clock;
    std::string load;
  };
  const Case cases[] = {
      {"clock 3401 MHz", {Processor("  Core i7  \t", "3401", "7")}, "  Core i7", "3.401", "7"},
      {"clock 3400 MHz", {Processor("Core i7", "3400", "0")}, "Core i7", "3.4", "0"},
      {"a null load reads as 0", {Processor("Core i7", "3400", "")}, "Core i7", "3.4", "0"},
      {"a load above 100 is dropped",
       {Processor("Core i7", "3400", "101")},
       "Core i7",
       "3.4",
       "-1"},
      {"two packages",
       {Processor("Xeon ", "2000", "5"), Processor("Other", "1", "1")},
       "1st CPU: Xeon",
       "2",
       "5"},
  };
  for (const Case& c : cases) {
    TextMap componentInfo;
    TextMap systemInfo;
    ApplyProcessorRows(0, c.rows, componentInfo, systemInfo);
    EXPECT_EQ(componentInfo, (TextMap{{"familyGroup", "Processor"},
                                      {"phyModel", c.phyModel},
                                      {"socket", "CPU 1"},
                                      {"actualClockFreq", c.clock},
                                      {"cpuID", "BFEBFBFF000906EA"}}))
        << c.name;
    EXPECT_EQ(systemInfo, (TextMap{{"ambCPULoad", c.load}})) << c.name;
  }
}

TEST(ApplyProcessorRows, LogsAnOutOfRangeLoad) {
  OutputWatch log;
  TextMap componentInfo;
  TextMap systemInfo;
  ApplyProcessorRows(0, {Processor("Core i7", "3400", "101")}, componentInfo, systemInfo);
  EXPECT_EQ(log.Messages(),
            (std::vector<std::string>{"INFO: Processing CPU", "ERROR: Got WMI CPU Load of 101"}));
}

TEST(ApplyProcessorRows, AFailedQueryLeavesTheDefaults) {
  OutputWatch log;
  TextMap componentInfo;
  TextMap systemInfo;
  ApplyProcessorRows(1, {}, componentInfo, systemInfo);
  EXPECT_EQ(componentInfo, (TextMap{{"familyGroup", "Processor"},
                                    {"phyModel", ""},
                                    {"socket", ""},
                                    {"actualClockFreq", "0"},
                                    {"cpuID", ""}}));
  EXPECT_EQ(systemInfo, (TextMap{{"ambCPULoad", "-1"}}));
  EXPECT_EQ(log.Messages(), std::vector<std::string>{"ERROR during query Win32_Processor"});
}

TEST(ApplyMemoryRows, SumsTheModulesAndTakesTheFirstSpeed) {
  struct Case {
    const char* name;
    std::vector<WmiRow> rows;
    std::string total;
    std::string frequency;
  };
  const Case cases[] = {
      {"two 8 GiB modules at 2666 MHz",
       {{{"Capacity", "8589934592"}, {"Speed", "2666"}},
        {{"Capacity", "8589934592"}, {"Speed", "1"}}},
       "16",
       "2.7"},
      {"5200 MHz gives an empty frequency",
       {{{"Capacity", "4294967296"}, {"Speed", "5200"}}},
       "4",
       ""},
      {"a missing speed", {{{"Capacity", "1073741824"}, {"Speed", ""}}}, "1", "0"},
      {"no modules", {}, "0", "0"},
  };
  for (const Case& c : cases) {
    TextMap systemInfo;
    ApplyMemoryRows(c.rows.empty() ? 1 : 0, c.rows, systemInfo);
    EXPECT_EQ(systemInfo, (TextMap{{"totalRamGB", c.total}, {"ramFrequency", c.frequency}}))
        << c.name;
  }
}

TEST(ApplyMemoryRows, LogsEachModuleAndAFailedQuery) {
  {
    OutputWatch log;
    TextMap systemInfo;
    ApplyMemoryRows(0, {{{"Capacity", "1"}, {"Speed", "1"}}, {{"Capacity", "1"}, {"Speed", "1"}}},
                    systemInfo);
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"INFO: Processing Ram Stick 0",
                                                        "INFO: Processing Ram Stick 1"}));
  }
  OutputWatch log;
  TextMap systemInfo;
  ApplyMemoryRows(1, {}, systemInfo);
  EXPECT_EQ(log.Messages(), std::vector<std::string>{"ERROR during query Win32_PhysicalMemory"});
}

TEST(CollectorConversions, DaysAndGigabytesToOneDecimal) {
  EXPECT_EQ(UpTimeDaysText(36.0 * 60 * 60 * 1000), "1.5");
  EXPECT_EQ(UpTimeDaysText(0), "0");
  EXPECT_EQ(FreeRamText(0), "0");
  EXPECT_EQ(FreeRamText(uint64_t{3} << 29), "1.5");
  EXPECT_EQ(FreeRamText(uint64_t{5} << 40), "5120");  // above 4 GiB the count stays exact
}
}  // namespace
