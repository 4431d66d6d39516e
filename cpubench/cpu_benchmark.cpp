#include "cpu_benchmark.h"

#include <memory>
#include <string>
#include <vector>

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

void AppendEntry(nlohmann::json& result, const char* member, const std::string& key, double value) {
  nlohmann::json entry = nlohmann::json::object();
  entry[key] = value;
  result[member].push_back(entry);
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
    out << "B: INFO: Unable to detect maximum CPU Frequency" << std::endl;
  } else {
    samples.on = true;
  }

  for (int n : settings.threadCounts) {
    if (!jsondebug) out << "B: INFO: Running " << n << " core CPU benchmark ..." << std::endl;
    const std::string keyLabel = CpuKeyLabel(n);
    const std::string consoleLabel = CpuConsoleLabel(n);
    if (n > kMaxBenchWorkers) {
      out << "S: ERROR: Requested more threads than wait for objects can handle" << std::endl;
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
        out << "B: ERROR: Thread start error " << round.startErrno << std::endl;
        return 1;
      }

      double amount = 0.0;
      for (int k = 0; k < n; ++k) amount += CollectThreadResult(records[k], CpuAmount);
      const double score = CpuScore(amount, round.t1 - round.t0);

      if (jsondebug) {
        out << score << std::endl;
      } else {
        out << "C: INFO: " << consoleLabel << " " << cpuModeNames[mode]
            << " total throughput: " << score << std::endl;
      }
      AppendEntry(result, "benchmarks", keyLabel + cpuModeNames[mode] + "CPUBench", score);
    }
  }

  if (!result.empty() && samples.number > 0) {
    AppendEntry(result, "componentInfo", "maxCPUFreqPerc",
                RoundDecimals(1, samples.sum / samples.number));
  }
  return 0;
}
