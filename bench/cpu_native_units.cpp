// The CPU benchmark's Int and Float units compiled for the host, timed on one thread the way
// CVNCPUBench times them (350 ms warm-up, 650 ms window, score = units x 27000 / ms / 1000).
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "common/base64url.h"
#include "cpubench/cpu_workloads.h"

// In the Windows programs the alphabet lives with the run log's process-wide objects.
const std::string base64UrlAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

namespace {
using Clock = std::chrono::steady_clock;

double Score(int mode, const uint32_t* buffer) {
  const Clock::time_point warmUpEnd = Clock::now() + std::chrono::milliseconds(350);
  while (Clock::now() < warmUpEnd) RunCpuUnit(mode, buffer, 4);
  const Clock::time_point start = Clock::now();
  const Clock::time_point windowEnd = start + std::chrono::milliseconds(650);
  long units = 0;
  do {
    RunCpuUnit(mode, buffer, 4);
    ++units;
  } while (Clock::now() < windowEnd);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  return units * 27000.0 / ms / 1000.0;
}
}  // namespace

int main() {
  std::unique_ptr<uint32_t[]> buffer(MakeRandomBuffer(4));
  std::printf("Int %.1f\n", Score(kCpuInt, buffer.get()));
  std::printf("Float %.1f\n", Score(kCpuFloat, buffer.get()));
  return 0;
}
