// The latency test's arithmetic fed with figures, and the chains it chases.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/text_helpers.h"
#include "rambench/latency_chase.h"
#include "rambench/latency_test.h"

namespace {

TEST(LatencyCurve, CacheAdjustmentAroundTheTransition) {
  struct Case { uint32_t sizeKb; double measured; double reported; bool transition; };
  const Case cases[] = {
      {512, 4.0, 4.0, false},     // up to 1 MB as measured, even when it jumps
      {1024, 10.0, 10.0, false},  // the last-level cache figure
      {2048, 12.0, 12.0, false},  // not above 10 x 1.65
      {4096, 25.0, 17.5, true},   // above 12 x 1.65: loses 0.75 x L3
      {8192, 80.0, 66.5, false},  // after the transition: (80 - 10) x 0.95
      {16384, 20.0, 9.5, false},  // stays in the after-transition rule even when faster
  };
  LatencyCurve curve;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sizeKb);
    bool transitionedHere = true;
    EXPECT_DOUBLE_EQ(AdvanceLatencyCurve(curve, c.sizeKb, c.measured, transitionedHere), c.reported);
    EXPECT_EQ(transitionedHere, c.transition);
  }
  EXPECT_DOUBLE_EQ(curve.l3, 10.0);
  EXPECT_TRUE(curve.transitioned);
}

TEST(LatencyCurve, NoTransitionWhenNoSizeJumps) {
  LatencyCurve curve;
  bool transitionedHere = false;
  AdvanceLatencyCurve(curve, 1024, 10.0, transitionedHere);
  for (uint32_t kb = 2048; kb <= 262144; kb *= 2) {
    EXPECT_DOUBLE_EQ(AdvanceLatencyCurve(curve, kb, 16.0, transitionedHere), 16.0);
    EXPECT_FALSE(transitionedHere);
  }
  EXPECT_FALSE(curve.transitioned);
}

TEST(LatencyFigures, RoundingAndText) {
  double rounded = RoundDecimals(2, 85.666);
  EXPECT_DOUBLE_EQ(rounded, 85.67);
  EXPECT_EQ(DoubleToString(rounded), "85.67");
  EXPECT_EQ(DoubleToString(RoundDecimals(2, 12.0)), "12");
  EXPECT_EQ(DoubleToString(RoundDecimals(2, 150.834)), "150.83");
}

TEST(LatencyFigures, NanosecondsStepsAndCruft) {
  // 104,857,601 steps in 200 ms with an empty loop of 50 ms (cruft 20): 180 ms of loads.
  EXPECT_EQ(CruftMs(50), 20);
  EXPECT_EQ(CruftMs(4), 1);  // truncated
  EXPECT_DOUBLE_EQ(LatencyNanoseconds(200, 20, 104857601.0), 180.0 * 1e6 / 104857601.0);
  EXPECT_EQ(ChaseLimit(kInitialChaseSteps) + 1, 104857601u);
  EXPECT_EQ(ChaseLimit(1234.9), 1234u);
  EXPECT_EQ(ChaseLimit(1e12), 4294967294u);  // a count the 32-bit loop can still pass
  // The next size is aimed at 100 ms at this size's speed.
  EXPECT_DOUBLE_EQ(NextChaseSteps(1000.0, 200), 500.0);
  EXPECT_DOUBLE_EQ(NextChaseSteps(1000.0, 50), 2000.0);
  // A chase too short to measure keeps the step count instead of dividing by zero.
  EXPECT_DOUBLE_EQ(NextChaseSteps(1000.0, 0), 1000.0);
}

TEST(LatencyFigures, SizeLabels) {
  EXPECT_EQ(LatencySizeLabel(1), "1KB");
  EXPECT_EQ(LatencySizeLabel(512), "512KB");
  EXPECT_EQ(LatencySizeLabel(1024), "1MB");
  EXPECT_EQ(LatencySizeLabel(131072), "128MB");
  EXPECT_EQ(LatencySizeLabel(262144), "256MB");
}

// Follows the chain from element 0 and counts the elements seen before it returns to 0.
size_t CycleLength(const int32_t* a, size_t n, std::vector<bool>& seen) {
  seen.assign(n, false);
  size_t length = 0;
  int32_t index = 0;
  do {
    if (index < 0 || static_cast<size_t>(index) >= n || seen[index]) return 0;
    seen[index] = true;
    ++length;
    index = a[index];
  } while (index != 0);
  return length;
}

TEST(LatencyChains, RandomCycleVisitsEveryElementOnce) {
  LatencyGenerator generator;
  std::vector<bool> seen;
  for (uint32_t n : {256u, 2048u, 262144u}) {
    std::vector<int32_t> a(n, -1);
    BuildRandomCycle(a.data(), n, generator);
    EXPECT_EQ(CycleLength(a.data(), n, seen), n) << n;
  }
}

TEST(LatencyChains, GeneratorIsUnseededAndMovesOn) {
  LatencyGenerator first, second;
  std::vector<int32_t> a(256), b(256), c(256);
  BuildRandomCycle(a.data(), 256, first);
  BuildRandomCycle(b.data(), 256, second);
  BuildRandomCycle(c.data(), 256, second);
  EXPECT_EQ(a, b);  // every run builds the same cycles
  EXPECT_NE(b, c);  // each size continues the sequence
}

TEST(LatencyChains, SpreadCycleKeepsTheOrderAtTheStride) {
  LatencyGenerator generator;
  const uint32_t savedCount = 262144;
  std::vector<int32_t> saved(savedCount);
  BuildRandomCycle(saved.data(), savedCount, generator);
  const uint32_t stride = 4;
  std::vector<int32_t> a(savedCount * stride, -1);
  SpreadSavedCycle(a.data(), saved.data(), savedCount, stride);
  std::vector<bool> seen;
  EXPECT_EQ(CycleLength(a.data(), a.size(), seen), savedCount);
  for (uint32_t i = 0; i < savedCount; i += 1000) EXPECT_EQ(a[i * stride], saved[i] * 4);
  EXPECT_EQ(a[1], -1);  // elements off the stride are left alone
}

TEST(LatencyChains, ChaseFollowsTheChainLimitPlusOneSteps) {
  // 0 -> 2 -> 1 -> 3 -> 0: a[0] is the start, then limit + 1 loads.
  const int32_t a[] = {2, 3, 1, 0};
  EXPECT_EQ(ChaseChain(a, 0), 1);  // a[0] = 2, one load: a[2] = 1
  EXPECT_EQ(ChaseChain(a, 1), 3);
  EXPECT_EQ(ChaseChain(a, 3), 2);
  EXPECT_EQ(TouchArray(a, 4), 6u);
}
}  // namespace
