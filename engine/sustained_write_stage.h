#pragma once
// The sustained-write stage at the end of a run: waits for each batch of background
// sustained-write runs, launches the next batches, then merges their replies into the parked
// drives' components.
#include <cstdint>
#include <functional>
#include <string>

#include "engine/run_state.h"

// A batch is given this long from its launch.
constexpr uint32_t kSustainedWriteBatchTimeMs = 75000;
// Launches in all, the drive phase's first one included.
constexpr int kSustainedWriteBatchLimit = 5;

// The clock, the poll and the launcher of the waits, with their limits.
struct SustainedWriteWaits {
  std::function<uint32_t()> elapsedMs;  // ms since mainStartTick
  std::function<void()> sleep;          // between two polls
  std::function<bool()> allFinished;    // every launched job has stored its result
  std::function<void(const PendingSustainedWrites&, LaunchedSustainedWrites&)> launchBatch;
  uint32_t batchTimeMs = kSustainedWriteBatchTimeMs;
  int batchLimit = kSustainedWriteBatchLimit;
};

// The program's waits: timeGetTime from mainStartTick, one alertable second between polls,
// benchResults and the background job launcher.
SustainedWriteWaits RunSustainedWriteWaits(uint32_t mainStartTick);

// Waits for the running batch (printing a countdown each second), launches the next batch when it
// has finished, up to the batch limit, and ends after a final wait; a batch not finished in time
// stops further launches.
void WaitForSustainedWrites(RunState& run, const SustainedWriteWaits& waits);

// Merges each parked drive's sustained-write reply (looked up by its basePath) into a copy of its
// component and appends it to the components, in key order. A reply that cannot be merged (not
// JSON, a value of the wrong type, a refused key) is logged, marks the run crashed and leaves that
// drive with its core data.
void CollectSustainedWriteResults(
    RunState& run,
    const std::function<std::string(const std::string& benchName)>& lookup =
        [](const std::string& benchName) { return benchResults.Lookup(benchName); });
