// The throughput benchmark's amounts, GB/s and kernels.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <sstream>
#include <vector>

#include "common/bench_workers.h"
#include "rambench/ram_buffers.h"
#include "rambench/ram_workers.h"
#include "rambench/throughput_benchmark.h"
#include "rambench/throughput_kernels.h"

namespace {

TEST(ThroughputAmount, SliceTimesCountTimesByteFactor) {
  struct Case { int32_t mode; int32_t threads; int32_t count; double amount; };
  const Case cases[] = {
      {kRamMixed, 16, 10, 335544320.0},  // 16,777,216 x 10 x 2
      {kRamRead, 1, 10, 2684354560.0},   // does not overflow 32 bits
      {kRamWrite, 2, 3, 402653184.0},
      {kRamRead, 16, 0, 0.0},
  };
  for (const Case& c : cases) {
    BenchThreadRecord record;
    record.mode = c.mode;
    record.threads = c.threads;
    record.count = c.count;
    EXPECT_DOUBLE_EQ(RamWorkAmount(record), c.amount) << c.mode << " " << c.threads;
  }
}

TEST(ThroughputAmount, SlicesAreAlignedAndDisjoint) {
  for (int32_t n : {1, 2, 16}) {
    EXPECT_EQ(RamSliceLength(n) % 128, 0u);
    for (int32_t k = 0; k < n; ++k) {
      EXPECT_EQ(RamSliceOffset(k, n), static_cast<uint64_t>(k) * RamSliceLength(n));
    }
    EXPECT_EQ(RamSliceOffset(n - 1, n) + RamSliceLength(n), kRamBufferBytes);
  }
}

TEST(ThroughputGBps, TenPassesInHalfASecond) {
  EXPECT_DOUBLE_EQ(ThroughputGBps(268435456.0 * 10, 450), 5.6);
  EXPECT_DOUBLE_EQ(ThroughputGBps(1073741824.0, 1000), 1.0);
  EXPECT_DOUBLE_EQ(ThroughputGBps(1073741824.0 * 3 + 0.9, 1000), 3.0);
}

TEST(ThroughputSettings, NormalAndFast) {
  ThroughputSettings normal = ChooseThroughputSettings(false);
  ASSERT_EQ(normal.threadCountCount, 3);
  EXPECT_EQ(normal.threadCounts[0], 1);
  EXPECT_EQ(normal.threadCounts[1], 2);
  EXPECT_EQ(normal.threadCounts[2], 16);
  EXPECT_EQ(normal.warmUpMs, 450u);
  EXPECT_EQ(normal.windowMs, 450u);
  ThroughputSettings fast = ChooseThroughputSettings(true);
  ASSERT_EQ(fast.threadCountCount, 1);
  EXPECT_EQ(fast.threadCounts[0], 1);
  EXPECT_EQ(fast.warmUpMs, 100u);
  EXPECT_EQ(fast.windowMs, 100u);
}

// 16-byte aligned bytes for the kernels, with a guard block after the used part.
struct AlignedBytes {
  explicit AlignedBytes(size_t n)
      : bytes(static_cast<unsigned char*>(::operator new(n, std::align_val_t(16)))), size(n) {}
  ~AlignedBytes() { ::operator delete(bytes, std::align_val_t(16)); }
  unsigned char* bytes;
  size_t size;
};

TEST(ThroughputKernels, CopyMovesWholeBlocksOnly) {
  struct Case { size_t length; size_t copied; };
  const Case cases[] = {{1024, 1024}, {1000, 896}, {128, 128}, {100, 128}};  // at least one block
  for (const Case& c : cases) {
    AlignedBytes source(2048), destination(2048);
    for (size_t i = 0; i < 2048; ++i) {
      source.bytes[i] = static_cast<unsigned char>(i * 7 + 1);
      destination.bytes[i] = 0;
    }
    CopyBlocksSse2(destination.bytes, source.bytes, c.length);
    size_t copied = 0;
    while (copied < 2048 && destination.bytes[copied] == source.bytes[copied]) ++copied;
    EXPECT_EQ(copied, c.copied) << c.length;
    ReadBlocksSse2(source.bytes, c.length);
    WriteBlocksSse2(destination.bytes, c.length);
    EXPECT_EQ(destination.bytes[c.copied], 0) << "nothing written past the blocks";
  }
}
}  // namespace

namespace {
bool AllBytesAre(const unsigned char* bytes, size_t length, unsigned char value) {
  for (size_t i = 0; i < length; ++i) {
    if (bytes[i] != value) return false;
  }
  return true;
}

// One short round of mode on n workers over the real buffers: each worker passes its slice at
// least once.
void RunShortRound(int32_t mode, int n) {
  std::unique_ptr<HANDLE[]> handles(new HANDLE[n]);
  std::unique_ptr<BenchThreadRecord[]> records(new BenchThreadRecord[n]);
  for (int k = 0; k < n; ++k) {
    records[k].mode = mode;
    records[k].count = 0;
    records[k].index = k;
    records[k].threads = n;
  }
  const WorkerRoundResult round =
      RunWorkerRound<BenchThreadRecord, RunRamWorker>(records.get(), handles.get(), n, 1, 1);
  ASSERT_TRUE(round.started);
}

// The figures are only honest when real data moves: zero lines are a shortcut for some memory
// systems, so neither the prepared buffers nor the Write kernel may hold them.
TEST(ThroughputRounds, WriteStoresItsLinesAndMixedCopiesTheSource) {
  RamBuffers buffers;
  const size_t length = static_cast<size_t>(kRamBufferBytes);
  EXPECT_TRUE(AllBytesAre(ramBufferA, length, kRamFillByte));
  EXPECT_TRUE(AllBytesAre(ramBufferB, length, kRamFillByte));

  std::memset(ramBufferA, 0, length);
  RunShortRound(kRamWrite, 16);
  EXPECT_TRUE(AllBytesAre(ramBufferA, length, kRamWriteByte));
  EXPECT_NE(kRamWriteByte, 0);

  for (size_t i = 0; i < length; ++i) ramBufferB[i] = static_cast<unsigned char>(i * 7 + i / 4093);
  std::memset(ramBufferA, 0, length);
  RunShortRound(kRamMixed, 16);
  EXPECT_EQ(std::memcmp(ramBufferA, ramBufferB, length), 0);
}

bool NoSse2() { return false; }

TEST(ThroughputBenchmark, WithoutSse2NothingIsMeasured) {
  nlohmann::json result;
  std::ostringstream out;
  EXPECT_EQ(RunThroughputBenchmarks(result, false, false, out, NoSse2), 1);
  EXPECT_EQ(out.str(), "B: WARN: Aborting RAM bnechmarks, SSE2 instructions required.\n");
  EXPECT_TRUE(result.is_null());
}
}  // namespace
