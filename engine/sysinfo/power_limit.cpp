#include "engine/sysinfo/power_limit.h"

#include <powrprof.h>

#include <cstdint>
#include <vector>

#include "common/run_log.h"
#include "common/text_helpers.h"

std::string PowerLimitFromRecords(long status, const ProcessorPowerRecord* records,
                                  unsigned count) {
  if (status != 0) {
    WriteLogLine(kLogS, __LINE__,
                 "ERROR: CallNtPowerInformation status: " + ToString(static_cast<int>(status)));
    return std::string();
  }

  // Signed 32-bit sums, added with wrap-around so no overflow is undefined.
  uint32_t maxSum = 0;
  uint32_t currentSum = 0;
  uint32_t limitSum = 0;
  for (unsigned i = 0; i < count; ++i) {
    maxSum += records[i].MaxMhz;
    currentSum += records[i].CurrentMhz;
    limitSum += records[i].MhzLimit;
  }
  const int32_t maxMhz = static_cast<int32_t>(maxSum);
  const int32_t currentMhz = static_cast<int32_t>(currentSum);
  const int32_t mhzLimit = static_cast<int32_t>(limitSum);
  if (count == 0 || maxMhz == 0 || mhzLimit == 0) {
    WriteLogLine(kLogS, __LINE__, "ERROR: CallNtPowerInformation returned zero cores");
    return std::string();
  }

  const int32_t n = static_cast<int32_t>(count);
  WriteLogLine(kLogS, __LINE__,
               "S: DEBUG: CPU power status: CORES(" + ToString(count) + ") MAX(" +
                   ToString(maxMhz / n) + ") CUR(" + ToString(currentMhz / n) + ") LIM(" +
                   ToString(mhzLimit / n) + ")");
  const double percent = RoundDecimals(0, mhzLimit * 100.0 / maxMhz);
  if (percent >= 0 && percent <= 100) return DoubleToString(percent);
  return std::string();
}

std::string GetCpuPowerLimit() {
  WriteLogLine(kLogB, __LINE__, "INFO: Checking CPU power status");
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const unsigned count = system.dwNumberOfProcessors;
  std::vector<ProcessorPowerRecord> records(count);
  const LONG status =
      CallNtPowerInformation(ProcessorInformation, nullptr, 0, records.data(),
                             static_cast<ULONG>(count * sizeof(ProcessorPowerRecord)));
  return PowerLimitFromRecords(status, records.data(), count);
}
