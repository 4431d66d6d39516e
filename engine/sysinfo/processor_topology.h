#pragma once
// Processor packages, cores and logical processors from GetLogicalProcessorInformation.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <map>
#include <string>

// The records walked here are read at these places; the mask is pointer-sized.
#ifdef _WIN64
static_assert(sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION) == 32, "logical-processor record");
static_assert(offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION, Relationship) == 8, "relationship");
#else
static_assert(sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION) == 24, "logical-processor record");
static_assert(offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION, Relationship) == 4, "relationship");
#endif
static_assert(offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION, ProcessorMask) == 0, "mask");

// The system call's shape: fills buffer, or fails with ERROR_INSUFFICIENT_BUFFER and the length.
using LogicalProcessorQuery =
    std::function<BOOL(SYSTEM_LOGICAL_PROCESSOR_INFORMATION* buffer, DWORD* length)>;

struct ProcessorCounts {
  unsigned packages = 0;
  unsigned cores = 0;
  unsigned threads = 0;
};

// Number of set bits of mask, all of its 32 or 64 bits.
int CountMaskBits(ULONG_PTR mask);

// Counts the whole records of buffer; records of an unknown kind are logged and skipped.
ProcessorCounts CountProcessorRecords(const unsigned char* buffer, size_t length);

// Sets "cpuCount", "cpuCores" and "cpuThreads"; 0 on success, 1 (no keys) on failure.
int CountLogicalProcessors(std::map<std::string, std::string>& componentInfo);
// The same with the system call given; a null query means the system lacks it.
int CountLogicalProcessors(std::map<std::string, std::string>& componentInfo,
                           const LogicalProcessorQuery& query);
