#include "engine/sustained_write_stage.h"

#include <windows.h>

#include <nlohmann/json.hpp>

#include "common/run_log.h"
#include "common/text_helpers.h"
#include "common/console_line.h"
#include "engine/phase_guard.h"

namespace {
// The console countdown starts here, less the whole seconds the batch has already run.
constexpr int kCountdownStart = 60;

// Polls the latest batch once a second until it has finished or its time is up.
void WaitForBatch(const RunState& run, const SustainedWriteWaits& waits, const std::string& text) {
  int countdown = kCountdownStart - static_cast<int>((waits.elapsedMs() - run.batchStart) / 1000);
  for (;;) {
    if (waits.elapsedMs() - run.batchStart >= waits.batchTimeMs) return;
    if (waits.allFinished()) return;
    ConsoleLine(text + std::to_string(countdown));
    --countdown;
    waits.sleep();
  }
}
}  // namespace

SustainedWriteWaits RunSustainedWriteWaits(uint32_t mainStartTick) {
  SustainedWriteWaits waits;
  waits.elapsedMs = [mainStartTick] { return ElapsedMs(mainStartTick); };
  waits.sleep = [] { SleepEx(1000, TRUE); };
  waits.allFinished = AllBenchesFinished;
  waits.launchBatch = [](const PendingSustainedWrites& pending, LaunchedSustainedWrites& launched) {
    LaunchSustainedWriteBatch(pending, launched);
  };
  return waits;
}

void WaitForSustainedWrites(RunState& run, const SustainedWriteWaits& waits) {
  int batchCount = 1;
  for (;;) {
    WaitForBatch(run, waits, "INFO: Waiting for sustained writes ... ");
    if (!waits.allFinished()) {
      WriteLogLine(kLogB, __LINE__,
                   "ERROR: Sustained write timed out, aborted additional launches.");
      break;
    }
    if (batchCount >= waits.batchLimit) {
      WriteLogLine(kLogB, __LINE__,
                   "INFO: Reached limit of " + ToString(waits.batchLimit) +
                       " sustained write batches, skipping further benchmarks.");
      break;
    }
    run.batchStart = waits.elapsedMs();
    waits.launchBatch(run.pendingSustainedWrites, run.launchedSustainedWrites);
    ++batchCount;
    if (run.launchedSustainedWrites.size() >= run.pendingSustainedWrites.size()) break;
  }
  WaitForBatch(run, waits, "INFO: Waiting for final batch of sustained writes ... ");
  if (!waits.allFinished()) WriteLogLine(kLogB, __LINE__, "ERROR: Sustained write job timed out.");
}

void CollectSustainedWriteResults(
    RunState& run, const std::function<std::string(const std::string& benchName)>& lookup) {
  for (const auto& parked : run.pendingSustainedWrites) {
    Tree component = parked.second;
    WriteLogLine(kLogS, __LINE__,
                 "INFO: Collecting sustained write bench results for " + parked.first);
    const std::string result = lookup(parked.first);
    if (!result.empty()) {
      // One drive's answer that cannot be merged costs only its own sustained-write members.
      const std::string benchName = "DriveBench sustained write on " + parked.first;
      GuardPhase(run, benchName.c_str(), result, [&] {
        Tree merged = parked.second;
        const nlohmann::json reply = nlohmann::json::parse(result);
        MergeReplyEntries(merged, reply, "componentInfo", "componentInfo.", MergeMode::Text);
        MergeReplyEntries(merged, reply, "benchmarks", "benchmarks.", MergeMode::JsonText);
        component.swap(merged);
      });
    }
    run.components.push_back(Tree::value_type("", component));
  }
}
