#include "rambench/ram_workers.h"

#include "rambench/ram_buffers.h"
#include "rambench/throughput_kernels.h"

std::atomic<int32_t> measureFlag{0};
std::atomic<int32_t> stopFlag{0};

const char* const ramModeNames[4] = {"Read", "Write", "Mixed", "End"};
const double ramModeByteFactors[4] = {1.0, 1.0, 2.0, -1.0};

uint64_t RamSliceLength(int32_t threads) {
  return kRamBufferBytes / static_cast<uint64_t>(threads);
}

uint64_t RamSliceOffset(int32_t index, int32_t threads) {
  return static_cast<uint64_t>(index) * kRamBufferBytes / static_cast<uint64_t>(threads);
}

void RunRamPass(const BenchThreadRecord& record) {
  size_t offset = static_cast<size_t>(RamSliceOffset(record.index, record.threads));
  size_t length = static_cast<size_t>(RamSliceLength(record.threads));
  switch (record.mode) {
    case kRamRead:
      ReadBlocksSse2(ramBufferA + offset, length);
      break;
    case kRamWrite:
      WriteBlocksSse2(ramBufferA + offset, length);
      break;
    case kRamMixed:
      CopyBlocksSse2(ramBufferA + offset, ramBufferB + offset, length);
      break;
    default:
      break;
  }
}

void RunRamWorker(BenchThreadRecord& record) {
  RunCountedUnits(record.count, [&record] { RunRamPass(record); });
}

double RamWorkAmount(const BenchThreadRecord& record) {
  uint64_t bytes = RamSliceLength(record.threads) * static_cast<uint64_t>(record.count);
  return static_cast<double>(bytes) * ramModeByteFactors[record.mode];
}

double CollectThreadResult(BenchThreadRecord& record) {
  return CollectThreadResult(record, RamWorkAmount);
}
