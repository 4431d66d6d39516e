#include "rambench/latency_test.h"

#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <locale>
#include <memory>
#include <new>

#include "common/platform/timer_period.h"
#include "common/child_answer.h"
#include "common/child_lines.h"
#include "common/text_helpers.h"
#include "rambench/latency_chase.h"

namespace {
constexpr uint32_t kLatency128MbKb = 131072;
constexpr uint32_t kSavedCycleCount = kSavedCycleKb * 256;
constexpr double kTargetMs = 100.0;
constexpr double kCruftDivisor = 2.5;
constexpr double kTransitionFactor = 1.65;
constexpr double kTransitionShare = 0.75;
constexpr double kMainMemoryFactor = 0.95;
constexpr double kBytesToKb = 0.0009765625;

// Volatile sinks keep the touch sum and the chase's last index, so neither loop can be dropped.
volatile uint32_t touchSink;
volatile int32_t chaseSink;

// The user's default locale for the debug table; a runtime that cannot build it keeps its own.
void UseUserLocale(std::ostream& out) {
  try {
    out.imbue(std::locale(""));
  } catch (const std::runtime_error&) {
  }
}

struct ChaseTiming {
  int chaseMs;
  int emptyMs;
  uint32_t iterations;
};

ChaseTiming TimeChase(const int32_t* a, double steps) {
  uint32_t limit = ChaseLimit(steps);
  DWORD t0 = timeGetTime();
  chaseSink = ChaseChain(a, limit);
  DWORD t1 = timeGetTime();
  DWORD t2 = timeGetTime();
  CountEmptyLoop(limit);
  DWORD t3 = timeGetTime();
  return {static_cast<int>(t1 - t0), static_cast<int>(t3 - t2), limit + 1};
}
}  // namespace

std::string LatencySizeLabel(uint32_t sizeKb) {
  if (sizeKb < 1024) return ToString(sizeKb) + "KB";
  return ToString(sizeKb / 1024) + "MB";
}

uint32_t ChaseLimit(double steps) {
  // The counter is 32 bits wide; the last value must still be one it can pass.
  constexpr double kMaxLimit = 4294967294.0;
  double whole = std::floor(steps);
  if (!(whole >= 0.0)) return 0;
  return whole > kMaxLimit ? static_cast<uint32_t>(kMaxLimit) : static_cast<uint32_t>(whole);
}

double NextChaseSteps(double steps, int chaseMs) {
  if (chaseMs <= 0) return steps;
  return steps / (chaseMs / kTargetMs);
}

int CruftMs(int emptyLoopMs) { return static_cast<int>(emptyLoopMs / kCruftDivisor); }

double LatencyNanoseconds(int chaseMs, int cruftMs, double iterations) {
  return (chaseMs - cruftMs) / 1000.0 * 1000000000.0 / iterations;
}

double AdvanceLatencyCurve(LatencyCurve& curve, uint32_t sizeKb, double figure,
                           bool& transitionedHere) {
  transitionedHere = false;
  if (sizeKb > kSavedCycleKb) {
    if (curve.transitioned) {
      figure = (figure - curve.l3) * kMainMemoryFactor;
    } else if (figure > curve.previous * kTransitionFactor) {
      curve.transitioned = true;
      transitionedHere = true;
      figure = figure - curve.l3 * kTransitionShare;
    }
  }
  if (sizeKb == kSavedCycleKb) curve.l3 = figure;
  curve.previous = figure;
  return figure;
}

int RunLatencyTests(nlohmann::json& result, bool jsondebug, std::ostream& out) {
  if (jsondebug) {
    UseUserLocale(out);
    out << "Latency\tKBytes\tMillis\tCruftms\tIterations\tL3ADJ\tARRAY_LEN" << std::endl;
  } else {
    PrintBothLine(out, "INFO: Running system latency tests ...");
  }
  TimerPeriod timerPeriod;
  LatencyGenerator generator;
  LatencyCurve curve;
  std::unique_ptr<int32_t[]> saved;

  for (int s = 0; s < kLatencySizeCount; ++s) {
    uint32_t c = 1u << s;
    uint32_t n = c * 256;
    std::string label = LatencySizeLabel(c);
    std::unique_ptr<int32_t[]> a;
    try {
      a.reset(new int32_t[n]);
      if (c == kSavedCycleKb) saved.reset(new int32_t[kSavedCycleCount]);
    } catch (const std::bad_alloc& e) {
      PrintBothLine(out, "ERROR: Insufficient available memory, falied to allocate ", c,
                    "KB. Aborting Latency tests: ", e.what());
      return 1;
    }
    if (c <= kSavedCycleKb) {
      BuildRandomCycle(a.get(), n, generator);
    } else {
      SpreadSavedCycle(a.get(), saved.get(), kSavedCycleCount, c / kSavedCycleKb);
    }
    if (c == kSavedCycleKb) std::copy(a.get(), a.get() + n, saved.get());
    touchSink = TouchArray(a.get(), n);

    ChaseTiming timing = TimeChase(a.get(), curve.steps);
    curve.steps = NextChaseSteps(curve.steps, timing.chaseMs);
    int cruft = CruftMs(timing.emptyMs);
    double measured = LatencyNanoseconds(timing.chaseMs, cruft, timing.iterations);
    bool transitionedHere = false;
    double figure = AdvanceLatencyCurve(curve, c, measured, transitionedHere);
    if (transitionedHere && !jsondebug) {
      PrintLogLine(out, "INFO: Transitioned into physical ram at ", label,
                   ", L3 Cache adjustment: ", RoundDecimals(2, curve.l3), " ns");
    }
    double rounded = RoundDecimals(2, figure);
    std::string text = DoubleToString(rounded);
    if (jsondebug) {
      out << label << '\t' << c * 1024.0 * kBytesToKb << '\t' << timing.chaseMs << '\t' << cruft
          << '\t' << timing.iterations << '\t'
          << (curve.transitioned ? RoundDecimals(2, curve.l3) : 0.0) << '\t' << n << std::endl;
    } else {
      PrintConsoleLine(out, "INFO: ", label, " memory latency: ", text, " ns");
    }
    AppendResultEntry(result, "stateData", label, text);
    if (c == kLatency128MbKb) AppendResultEntry(result, "benchmarks", "Latency" + label, rounded);
  }
  return 0;
}
