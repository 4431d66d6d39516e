#include "cpubench/cpu_benchmark.h"

#include <memory>
#include <string>
#include <vector>

#include "common/child_answer.h"
#include "common/child_lines.h"
#include "common/text_helpers.h"
#include "cpubench/cpu_worker.h"
#include "cpubench/cpu_workloads.h"

namespace {
struct CpuSettings {
  std::vector<int> threadCounts;
  uint32_t warmUpMs;
  uint32_t windowMs;
};

CpuSettings ChooseSettings(bool fast) {
  if (fast) return {{1, 2}, 100, 100};
  return {{1, 2, 4, 8, 64}, 350, 650};
}
}  // namespace

std::string CpuConsoleLabel(int threads) { return ToString(threads) + "Core"; }
std::string CpuKeyLabel(int threads) { return ToString(threads == 64 ? 32 : threads) + "Core"; }

double CpuScore(double amount, uint32_t windowMs) {
  return RoundDecimals(1, amount / static_cast<double>(windowMs) / 1000.0);
}

int RunCpuBenchmarks(nlohmann::json& result, bool fast, bool jsondebug, std::ostream& out,
                     const std::function<double()>& samplePerformance,
                     ThreadStarter startThread) {
  const CpuSettings settings = ChooseSettings(fast);

  PerformanceSamples samples;
  if (samplePerformance() == 0) {
    PrintBothLine(out, "INFO: Unable to detect maximum CPU Frequency");
  } else {
    samples.on = true;
  }

  for (int n : settings.threadCounts) {
    if (!jsondebug) PrintBothLine(out, "INFO: Running ", n, " core CPU benchmark ...");
    const std::string keyLabel = CpuKeyLabel(n);
    const std::string consoleLabel = CpuConsoleLabel(n);
    if (n > kMaxBenchWorkers) {
      PrintLogLine(out, "ERROR: Requested more threads than wait for objects can handle");
      return 1;
    }

    std::vector<HANDLE> handles(n);
    std::unique_ptr<BenchThreadRecord[]> records(new BenchThreadRecord[n]);
    for (int k = 0; k < n; ++k) records[k].buffer = MakeRandomBuffer(records[k].kb);

    for (int mode = kCpuInt; mode <= kCpuMixed; ++mode) {
      for (int k = 0; k < n; ++k) {
        records[k].index = k;
        records[k].mode = mode;
        records[k].count = 0;
      }
      // Sampled while the workers are already busy, so the figure is taken under load.
      auto sampleUnderLoad = [&] {
        if (samples.on && n > 1) samples.Add(samplePerformance());
      };
      WorkerRoundResult round = RunWorkerRound<BenchThreadRecord, RunWorkload>(
          records.get(), handles.data(), n, settings.warmUpMs, settings.windowMs, sampleUnderLoad,
          startThread);
      if (!round.started) {
        PrintBothLine(out, "ERROR: Thread start error ", round.startErrno);
        return 1;
      }

      double amount = 0.0;
      for (int k = 0; k < n; ++k) amount += CollectThreadResult(records[k], CpuAmount);
      const double score = CpuScore(amount, round.t1 - round.t0);

      if (jsondebug) {
        out << score << std::endl;
      } else {
        PrintConsoleLine(out, "INFO: ", consoleLabel, " ", cpuModeNames[mode],
                         " total throughput: ", score);
      }
      AppendResultEntry(result, "benchmarks", keyLabel + cpuModeNames[mode] + "CPUBench", score);
    }
  }

  if (!result.empty() && samples.number > 0) {
    AppendResultEntry(result, "componentInfo", "maxCPUFreqPerc",
                RoundDecimals(1, samples.sum / samples.number));
  }
  return 0;
}
