#include "rambench/latency_chase.h"

#include <algorithm>
#include <numeric>
#include <vector>

void BuildRandomCycle(int32_t* a, uint32_t n, LatencyGenerator& generator) {
  std::vector<int32_t> sequence(n - 1);
  std::iota(sequence.begin(), sequence.end(), 1);
  std::shuffle(sequence.begin(), sequence.end(), generator);
  a[0] = sequence[0];
  for (uint32_t k = 0; k + 1 < n - 1; ++k) a[sequence[k]] = sequence[k + 1];
  a[sequence[n - 2]] = 0;
}

void SpreadSavedCycle(int32_t* a, const int32_t* saved, uint32_t savedCount, uint32_t stride) {
  for (uint32_t i = 0; i < savedCount; ++i) {
    a[i * stride] = saved[i] * static_cast<int32_t>(stride);
  }
}

uint32_t TouchArray(const int32_t* a, uint32_t n) {
  // Unsigned: the sum of a large array overflows, which must wrap rather than be undefined.
  uint32_t sum = 0;
  for (uint32_t i = 0; i < n; ++i) sum += static_cast<uint32_t>(a[i]);
  return sum;
}

int32_t ChaseChain(const int32_t* a, uint32_t limit) {
  int32_t index = a[0];
  uint32_t count = 0;
  do {
    index = a[index];
    ++count;
  } while (count <= limit);
  return index;
}

void CountEmptyLoop(uint32_t limit) {
  for (uint32_t count = 1; count <= limit; ++count) {
    // Keeps the loop: without it the compiler would remove a loop that computes nothing.
    asm volatile("" : "+r"(count));
  }
}
