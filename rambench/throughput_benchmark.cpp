#include "rambench/throughput_benchmark.h"

#include <windows.h>

#include <memory>
#include <string>

#include "common/child_answer.h"
#include "common/child_lines.h"
#include "common/text_helpers.h"
#include "rambench/ram_workers.h"

namespace {
const int normalThreadCounts[] = {1, 2, 16};
const int fastThreadCounts[] = {1};

constexpr DWORD kSse2Feature = 10;  // PF_XMMI64_INSTRUCTIONS_AVAILABLE

// Measures the three modes on n prepared workers; false after a failed thread start.
bool MeasureModes(BenchThreadRecord* records, HANDLE* handles, int n, const std::string& label,
                  const ThroughputSettings& settings, nlohmann::json& result, bool jsondebug,
                  std::ostream& out) {
  for (int mode = kRamRead; mode < kRamModeCount; ++mode) {
    for (int k = 0; k < n; ++k) {
      records[k].mode = mode;
      records[k].count = 0;
      records[k].index = k;
      records[k].threads = n;
    }
    WorkerRoundResult round = RunWorkerRound<BenchThreadRecord, RunRamWorker>(
        records, handles, n, settings.warmUpMs, settings.windowMs);
    if (!round.started) {
      PrintBothLine(out, "ERROR: Thread start error ", round.startErrno);
      return false;
    }
    double bytes = 0.0;
    for (int k = 0; k < n; ++k) bytes += CollectThreadResult(records[k]);
    uint32_t window = round.t1 - round.t0;
    double gbps = ThroughputGBps(bytes, window);
    if (jsondebug) {
      out << gbps << "                      " << window << std::endl;
    } else {
      PrintConsoleLine(out, "INFO: ", label, " ", ramModeNames[mode], " total throughput: ", gbps);
    }
    AppendResultEntry(result, "benchmarks", label + ramModeNames[mode] + "RAMBench", gbps);
  }
  return true;
}
}  // namespace

bool ProcessorHasSse2() { return IsProcessorFeaturePresent(kSse2Feature) != 0; }

ThroughputSettings ChooseThroughputSettings(bool fast) {
  if (fast) return {fastThreadCounts, 1, 100, 100};
  return {normalThreadCounts, 3, 450, 450};
}

double ThroughputGBps(double bytes, uint32_t windowMs) {
  int64_t wholeBytes = static_cast<int64_t>(bytes);
  int ms = static_cast<int>(windowMs);
  return RoundDecimals(1, static_cast<double>(wholeBytes) * (1.0 / 1073741824.0) / (ms / 1000.0));
}

int RunThroughputBenchmarks(nlohmann::json& result, bool fast, bool jsondebug, std::ostream& out,
                            bool (*hasSse2)()) {
  if (!hasSse2()) {
    PrintBothLine(out, "WARN: Aborting RAM bnechmarks, SSE2 instructions required.");
    return 1;
  }
  ThroughputSettings settings = ChooseThroughputSettings(fast);
  for (int c = 0; c < settings.threadCountCount; ++c) {
    int n = settings.threadCounts[c];
    if (!jsondebug) PrintBothLine(out, "INFO: Running ", n, " core RAM benchmark ...");
    std::string label = ToString(n) + "Core";
    if (n > kMaxBenchWorkers) {
      PrintLogLine(out, "ERROR: Requested more threads than wait for objects can handle");
      return 1;
    }
    std::unique_ptr<HANDLE[]> handles(new HANDLE[n]);
    std::unique_ptr<BenchThreadRecord[]> records(new BenchThreadRecord[n]);
    if (!MeasureModes(records.get(), handles.get(), n, label, settings, result, jsondebug, out)) {
      return 1;
    }
  }
  return 0;
}
