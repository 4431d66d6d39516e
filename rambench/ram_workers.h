#pragma once
// The RAM benchmark's worker record, its worker loop and its amount of work per round.
#include <cstdint>
#include <sstream>

#include "common/bench_workers.h"

constexpr uint64_t kRamBufferBytes = 268435456;  // 256 MiB, each of ramBufferA and ramBufferB

enum RamMode : int32_t { kRamRead = 0, kRamWrite = 1, kRamMixed = 2, kRamModeCount = 3 };

// Mode names with the "End" marker and the bytes moved per byte of slice (Mixed reads and writes).
extern const char* const ramModeNames[4];
extern const double ramModeByteFactors[4];

struct BenchThreadRecord {
  int32_t mode = kRamRead;
  int32_t count = 0;
  int32_t index = 0;
  int32_t threads = 0;
  std::stringstream threadLog;
};

// The slice of worker index of threads; both are multiples of 128 for 1, 2 and 16 workers.
uint64_t RamSliceLength(int32_t threads);
uint64_t RamSliceOffset(int32_t index, int32_t threads);

// One pass of the record's mode over its slice of the process-wide buffers.
void RunRamPass(const BenchThreadRecord& record);
// The worker loop: passes until stopFlag, counted while measureFlag is 1.
void RunRamWorker(BenchThreadRecord& record);
// (256 MiB / threads) x count x the mode's byte factor.
double RamWorkAmount(const BenchThreadRecord& record);
// CollectThreadResult with the RAM amount.
double CollectThreadResult(BenchThreadRecord& record);
