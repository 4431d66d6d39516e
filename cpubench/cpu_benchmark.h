#pragma once
// The CPU benchmark driver: Int, Float and Mixed on 1 to 64 workers, scored per thread count.
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "common/bench_workers.h"

// Amount of work per millisecond of window, in thousands, to one decimal.
double CpuScore(double amount, uint32_t windowMs);

// "<n>Core" on the console; in the result keys 64 workers are reported as 32Core.
std::string CpuConsoleLabel(int threads);
std::string CpuKeyLabel(int threads);

// Mean processor performance over the rounds with more than one worker; zero samples (the
// counter could not measure) are left out.
struct PerformanceSamples {
  bool on = false;
  double sum = 0.0;
  int number = 0;

  void Add(double sample) {
    if (sample != 0) {
      sum += sample;
      number += 1;
    }
  }
};

// Runs every thread count and mode, appends the scores to "benchmarks" and the mean performance
// to "componentInfo"; message lines go to out. Returns 0 when all were measured, 1 otherwise.
// samplePerformance is the processor-performance sampler (0 when it cannot measure); startThread
// starts the workers.
int RunCpuBenchmarks(nlohmann::json& result, bool fast, bool jsondebug, std::ostream& out,
                     const std::function<double()>& samplePerformance,
                     ThreadStarter startThread = StartWaitableThread);
