#pragma once
// Memory latency by pointer chasing over 19 working sets, 1 KB to 256 MB.
#include <cstdint>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

constexpr int kLatencySizeCount = 19;       // 1, 2, 4 ... 262,144 KiB
constexpr uint32_t kSavedCycleKb = 1024;    // the 1 MB cycle stands for the last-level cache
constexpr double kInitialChaseSteps = 104857600.0;

// "1KB" ... "512KB", then "1MB" ... "256MB".
std::string LatencySizeLabel(uint32_t sizeKb);

// What carries over from one size to the next.
struct LatencyCurve {
  double steps = kInitialChaseSteps;  // chase steps of the next measurement
  double l3 = 0.0;                    // the 1 MB figure
  double previous = 0.0;              // the previous size's adjusted figure
  bool transitioned = false;          // main memory reached
};

// The loop limit for a step count: the chase runs limit + 1 loads, the empty loop limit counts.
uint32_t ChaseLimit(double steps);
// The next size's step count, aimed at 100 ms at this size's speed; a chase too short to
// measure (0 ms) keeps the step count.
double NextChaseSteps(double steps, int chaseMs);
// The share of the empty loop's time that is the loop's own cost.
int CruftMs(int emptyLoopMs);
// Nanoseconds per chase step.
double LatencyNanoseconds(int chaseMs, int cruftMs, double iterations);

// Adjusts the figure of a size for the time the cache part takes, moves the curve on (L3 at 1 MB,
// previous) and returns the adjusted, unrounded figure; transitionedHere tells whether this size
// is the first one in main memory.
double AdvanceLatencyCurve(LatencyCurve& curve, uint32_t sizeKb, double figure,
                           bool& transitionedHere);

// Runs all sizes, appends "stateData" entries and "Latency128MB" to result; lines go to out.
// 0 after all sizes, 1 when an array could not be allocated.
int RunLatencyTests(nlohmann::json& result, bool jsondebug, std::ostream& out);
