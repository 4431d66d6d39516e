// The system-information phase in a real run of the engine, read back from its result file.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include "tests/support/engine_run.h"

namespace {
using Tree = boost::property_tree::ptree;

TEST(SystemInfoPhase, AStartRunCarriesEveryFactInTheDocument) {
  // The engine alone: no child starts, so the run is the collection and the document.
  const EngineRun run = RunEngine(EngineRunSetup());
  const ProcessResult& result = run.process;
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_EQ(result.output.rfind("INFO: Checking OS support\r\n", 0), 0u) << result.output;
  EXPECT_NE(result.output.find("INFO: Gathering Device Info\r\n"), std::string::npos);

  const std::string& document = run.resultDocument;
  ASSERT_FALSE(document.empty());
  Tree tree;
  std::istringstream in(document);
  boost::property_tree::read_json(in, tree);

  const Tree& systemInfo = tree.get_child("systemInfo");
  for (const char* key :
       {"ambCPULoad",   "bioName",       "bioRelDate",   "bioVersion",     "compSysManu",
        "compSysModel", "cvnVersion",    "freeRamGB",    "gfxDesc",        "gfxManu",
        "gfxModel",     "mbManu",        "mbModel",      "mbSerial",       "osName",
        "osVersion",    "osspName",      "ramFrequency", "smbiosFirmware", "smbiosVersion",
        "sys32Or64Bit", "sysUpTimeDays", "totalRamGB",   "userRunTime"}) {
    EXPECT_EQ(systemInfo.count(key), 1u) << key;
  }
  EXPECT_EQ(systemInfo.get<std::string>("cvnVersion"), "2.97");
  EXPECT_EQ(systemInfo.get<std::string>("sys32Or64Bit"), "64Bit");
  EXPECT_FALSE(systemInfo.get<std::string>("osName").empty());
  EXPECT_FALSE(systemInfo.get<std::string>("userRunTime").empty());

  // The collected facts come first, in key order, before the run's own members.
  std::vector<std::string> keys;
  for (const auto& member : systemInfo) keys.push_back(member.first);
  const auto facts = std::find(keys.begin(), keys.end(), "userRunDurationSecs");
  EXPECT_TRUE(std::is_sorted(keys.begin(), facts));

  const Tree& cpu = tree.get_child("components").front().second.get_child("componentInfo");
  for (const char* key : {"familyGroup", "phyModel", "socket", "actualClockFreq", "cpuID",
                          "cpuCount", "cpuCores", "cpuThreads"}) {
    EXPECT_EQ(cpu.count(key), 1u) << key;
  }
  EXPECT_EQ(cpu.get<std::string>("familyGroup"), "Processor");
}
}  // namespace
