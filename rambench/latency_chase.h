#pragma once
// The timed loops and the chains of the latency test. The loops live in their own file so that
// the calls around them (the clock reads) stay where they are.
#include <cstdint>
#include <random>

// The chain's fixed generator: never seeded, so every run builds the same cycles.
using LatencyGenerator = std::mt19937;

// One random cycle through all n (>= 2) elements that starts at 0: a[0] = s[0],
// a[s[k]] = s[k+1], a[s[n-2]] = 0 for a uniform shuffle s of 1 .. n-1.
void BuildRandomCycle(int32_t* a, uint32_t n, LatencyGenerator& generator);

// Lays the 1 MB cycle (262,144 indices) over a larger array: a[i*stride] = saved[i]*stride.
void SpreadSavedCycle(int32_t* a, const int32_t* saved, uint32_t savedCount, uint32_t stride);

// Reads every element once, in order, so the whole array is resident.
uint32_t TouchArray(const int32_t* a, uint32_t n);

// index = a[0], then limit + 1 dependent loads index = a[index]; returns the last index.
int32_t ChaseChain(const int32_t* a, uint32_t limit);

// Counts from 1 until the count exceeds limit: the chase's loop without its load.
void CountEmptyLoop(uint32_t limit);
