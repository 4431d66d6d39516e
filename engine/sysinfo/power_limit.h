#pragma once
// The processor speed limit that power management currently imposes, in percent.
#include <windows.h>

#include <cstddef>
#include <string>

// One record of CallNtPowerInformation(ProcessorInformation).
struct ProcessorPowerRecord {
  ULONG Number;
  ULONG MaxMhz;
  ULONG CurrentMhz;
  ULONG MhzLimit;
  ULONG MaxIdleState;
  ULONG CurrentIdleState;
};
static_assert(sizeof(ProcessorPowerRecord) == 24, "processor power record");
static_assert(offsetof(ProcessorPowerRecord, MaxMhz) == 4, "MaxMhz");
static_assert(offsetof(ProcessorPowerRecord, CurrentMhz) == 8, "CurrentMhz");
static_assert(offsetof(ProcessorPowerRecord, MhzLimit) == 12, "MhzLimit");

// "0" to "100", or empty when it cannot be determined or lies outside that range.
std::string GetCpuPowerLimit();

// The percentage from the power query's status and its count records, with the log lines.
std::string PowerLimitFromRecords(long status, const ProcessorPowerRecord* records, unsigned count);
