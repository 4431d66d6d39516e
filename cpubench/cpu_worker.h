#pragma once
// The CPU benchmark's per-worker record and worker loop on the shared worker framework.
#include <cstdint>
#include <sstream>

#include "common/bench_workers.h"

struct BenchThreadRecord {
  int32_t kb = 4;              // size of the random input in KiB
  uint32_t* buffer = nullptr;  // kb * 256 random words, owned
  int32_t mode = 0;            // CpuMode
  int32_t count = 0;           // units finished while the window was open
  int32_t index = 0;           // worker index in this round
  std::stringstream threadLog;

  BenchThreadRecord() = default;
  BenchThreadRecord(const BenchThreadRecord&) = delete;
  BenchThreadRecord& operator=(const BenchThreadRecord&) = delete;
  ~BenchThreadRecord() { delete[] buffer; }
};

// Mode names and the weights that turn unit counts into amounts of work; "End" closes the table.
extern const char* const cpuModeNames[4];
extern const double cpuModeWeights[4];

// Worker loop: the record's mode unit on its buffer until stopFlag.
void RunWorkload(BenchThreadRecord& record);

// count * the mode's weight.
double CpuAmount(const BenchThreadRecord& record);
