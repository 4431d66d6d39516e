#pragma once
// Memory throughput with 1, 2 and 16 workers (1 in fast mode): Read, Write and Mixed in GB/s.
#include <cstdint>
#include <ostream>

#include <nlohmann/json.hpp>

struct ThroughputSettings {
  const int* threadCounts;
  int threadCountCount;
  uint32_t warmUpMs;
  uint32_t windowMs;
};

ThroughputSettings ChooseThroughputSettings(bool fast);

// GB/s (2^30 bytes) of bytes moved in windowMs, rounded to one decimal.
double ThroughputGBps(double bytes, uint32_t windowMs);

// IsProcessorFeaturePresent for SSE2, which the kernels need.
bool ProcessorHasSse2();

// Measures every thread count and mode on ramBufferA/ramBufferB and appends the figures to
// result's "benchmarks"; message lines go to out. 0 when all were measured, 1 otherwise.
int RunThroughputBenchmarks(nlohmann::json& result, bool fast, bool jsondebug, std::ostream& out,
                            bool (*hasSse2)() = ProcessorHasSse2);
