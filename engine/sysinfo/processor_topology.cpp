#include "engine/sysinfo/processor_topology.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/platform/memory_blocks.h"
#include "common/platform/module_symbol.h"
#include "common/run_log.h"
#include "common/text_helpers.h"

namespace {
using GetLogicalProcessorInformationFn = BOOL(WINAPI*)(PSYSTEM_LOGICAL_PROCESSOR_INFORMATION,
                                                       PDWORD);

// Older systems lack the function, so it is looked up rather than imported.
LogicalProcessorQuery LookUpLogicalProcessorInformation() {
  const auto function = LookUpLoadedSymbol<GetLogicalProcessorInformationFn>(
      "kernel32", "GetLogicalProcessorInformation");
  if (function == nullptr) return nullptr;
  return [function](SYSTEM_LOGICAL_PROCESSOR_INFORMATION* buffer, DWORD* length) {
    return function(buffer, length);
  };
}
}  // namespace

int CountMaskBits(ULONG_PTR mask) {
  int count = 0;
  for (int bit = int(sizeof mask * 8) - 1; bit >= 0; --bit) {
    if (mask & (ULONG_PTR{1} << bit)) ++count;
  }
  return count;
}

ProcessorCounts CountProcessorRecords(const unsigned char* buffer, size_t length) {
  ProcessorCounts counts;
  const size_t recordSize = sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION);
  for (size_t offset = 0; offset + recordSize <= length; offset += recordSize) {
    SYSTEM_LOGICAL_PROCESSOR_INFORMATION record;
    std::memcpy(&record, buffer + offset, recordSize);
    switch (static_cast<int>(record.Relationship)) {
      case 0:  // processor core
        ++counts.cores;
        counts.threads += static_cast<unsigned>(CountMaskBits(record.ProcessorMask));
        break;
      case 3:  // processor package
        ++counts.packages;
        break;
      case 1:  // NUMA node
      case 2:  // cache
        break;
      default:
        WriteLogLine(kLogS, __LINE__, "ERROR: Unsupported LOGICAL_PROCESSOR_RELATIONSHIP value.");
        break;
    }
  }
  return counts;
}

int CountLogicalProcessors(std::map<std::string, std::string>& componentInfo) {
  return CountLogicalProcessors(componentInfo, LookUpLogicalProcessorInformation());
}

int CountLogicalProcessors(std::map<std::string, std::string>& componentInfo,
                           const LogicalProcessorQuery& query) {
  if (!query) {
    WriteLogLine(kLogS, __LINE__, "ERROR: GetLogicalProcessorInformation is not supported.");
    return 1;
  }

  std::unique_ptr<void, FreeDeleter> buffer;
  DWORD length = 0;
  while (!query(static_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION*>(buffer.get()), &length)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      WriteLogLine(kLogS, __LINE__, "ERROR: " + LastErrorText());
      return 1;
    }
    buffer.reset();
    buffer.reset(std::malloc(length));
    if (!buffer) {
      WriteLogLine(kLogS, __LINE__, "ERROR: Allocation failure");
      return 1;
    }
  }

  const ProcessorCounts counts =
      CountProcessorRecords(static_cast<const unsigned char*>(buffer.get()), length);
  buffer.reset();
  componentInfo["cpuCount"] = ToString(counts.packages);
  componentInfo["cpuCores"] = ToString(counts.cores);
  componentInfo["cpuThreads"] = ToString(counts.threads);
  return 0;
}
