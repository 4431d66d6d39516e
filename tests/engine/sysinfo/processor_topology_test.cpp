#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/sysinfo/processor_topology.h"
#include "tests/support/output_watch.h"

namespace {
SYSTEM_LOGICAL_PROCESSOR_INFORMATION Record(int relationship, ULONG_PTR mask) {
  SYSTEM_LOGICAL_PROCESSOR_INFORMATION record;
  std::memset(&record, 0, sizeof record);
  record.Relationship = static_cast<LOGICAL_PROCESSOR_RELATIONSHIP>(relationship);
  record.ProcessorMask = mask;
  return record;
}

// One package, four cores of two threads, their caches and one NUMA node.
std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> FourCoresEightThreads() {
  std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> records;
  records.push_back(Record(3, 0xFF));
  for (int core = 0; core < 4; ++core) {
    records.push_back(Record(0, ULONG_PTR{3} << (2 * core)));
    records.push_back(Record(2, ULONG_PTR{3} << (2 * core)));
  }
  records.push_back(Record(1, 0xFF));
  return records;
}

const unsigned char* Bytes(const std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION>& records) {
  return reinterpret_cast<const unsigned char*>(records.data());
}

TEST(CountMaskBits, CountsEverySetBit) {
  struct Case {
    ULONG_PTR mask;
    int bits;
  };
  const Case cases[] = {
    {0, 0}, {0xFF, 8}, {0xFFFFFFFFu, 32}, {0x80000001u, 2}, {0x00F0F000u, 8},
#ifdef _WIN64
    // A 64-bit program's mask covers logical processors 32-63 of the group too.
    {ULONG_PTR{1} << 63, 1}, {~ULONG_PTR{0}, 64}, {0xF0000000'0000000Fu, 8},
#endif
  };
  for (const Case& c : cases) EXPECT_EQ(CountMaskBits(c.mask), c.bits) << std::hex << c.mask;
}

TEST(CountProcessorRecords, CountsPackagesCoresAndThreads) {
  const auto records = FourCoresEightThreads();
  const ProcessorCounts counts =
      CountProcessorRecords(Bytes(records), records.size() * sizeof records[0]);
  EXPECT_EQ(counts.packages, 1u);
  EXPECT_EQ(counts.cores, 4u);
  EXPECT_EQ(counts.threads, 8u);
}

TEST(CountProcessorRecords, CountsEveryBitOfACoreMask) {
  const std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> records = {Record(0, ~ULONG_PTR{0})};
  const ProcessorCounts counts = CountProcessorRecords(Bytes(records), sizeof records[0]);
  EXPECT_EQ(counts.threads, sizeof(ULONG_PTR) * 8);
}

TEST(CountProcessorRecords, LogsEachRecordOfAnotherKindAndCountsTheRest) {
  auto records = FourCoresEightThreads();
  records.insert(records.begin() + 2, Record(4, 0xFF));
  records.push_back(Record(4, 0xFF));
  OutputWatch log;
  const ProcessorCounts counts =
      CountProcessorRecords(Bytes(records), records.size() * sizeof records[0]);
  EXPECT_EQ(log.Count("ERROR: Unsupported LOGICAL_PROCESSOR_RELATIONSHIP value."), 2);
  EXPECT_EQ(counts.cores, 4u);
  EXPECT_EQ(counts.threads, 8u);
}

TEST(CountProcessorRecords, IgnoresATrailingPartialRecord) {
  const auto records = FourCoresEightThreads();
  const ProcessorCounts counts =
      CountProcessorRecords(Bytes(records), records.size() * sizeof records[0] - 1);
  EXPECT_EQ(counts.cores, 4u);
  EXPECT_EQ(counts.packages, 1u);
  EXPECT_EQ(counts.threads, 8u);  // the last record is the NUMA node, which is not counted anyway
}

TEST(CountLogicalProcessors, AsksAgainWithTheReportedLength) {
  const auto records = FourCoresEightThreads();
  const DWORD needed = static_cast<DWORD>(records.size() * sizeof records[0]);
  int calls = 0;
  auto query = [&](SYSTEM_LOGICAL_PROCESSOR_INFORMATION* buffer, DWORD* length) -> BOOL {
    ++calls;
    if (buffer == nullptr || *length < needed) {
      *length = needed;
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    std::memcpy(buffer, records.data(), needed);
    *length = needed;
    return TRUE;
  };
  std::map<std::string, std::string> info;
  EXPECT_EQ(CountLogicalProcessors(info, query), 0);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(info, (std::map<std::string, std::string>{
                      {"cpuCount", "1"}, {"cpuCores", "4"}, {"cpuThreads", "8"}}));
}

TEST(CountLogicalProcessors, FailuresAddNoKey) {
  std::map<std::string, std::string> info;
  {
    OutputWatch log;
    EXPECT_EQ(CountLogicalProcessors(info, nullptr), 1);
    EXPECT_EQ(log.Count("ERROR: GetLogicalProcessorInformation is not supported."), 1);
  }
  {
    OutputWatch log;
    auto denied = [](SYSTEM_LOGICAL_PROCESSOR_INFORMATION*, DWORD*) -> BOOL {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    };
    EXPECT_EQ(CountLogicalProcessors(info, denied), 1);
    const auto messages = log.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("ERROR: ", 0), 0u);
    EXPECT_NE(messages[0].find(" (5)"), std::string::npos) << messages[0];
  }
  EXPECT_TRUE(info.empty());
}

TEST(CountLogicalProcessors, ReadsThePlatformsTopology) {
  std::map<std::string, std::string> info;
  ASSERT_EQ(CountLogicalProcessors(info), 0);
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  EXPECT_EQ(info.at("cpuThreads"), std::to_string(system.dwNumberOfProcessors));
  EXPECT_GE(std::stoi(info.at("cpuCount")), 1);
  EXPECT_GE(std::stoi(info.at("cpuCores")), 1);
}
}  // namespace
