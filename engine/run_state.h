#pragma once
// The state of one benchmark run that the engine's phases share.
#include <cstdint>
#include <map>
#include <string>

#include "engine/benchdrive/sustained_write_batch.h"
#include "engine/result_document.h"
#include "engine/sysinfo/system_info.h"

// Sent as the children's fast-mode switch; the engine always asks for the normal mode.
constexpr bool runFastDev = false;

struct RunState {
  bool jsondebug = false;
  uint32_t mainStartTick = 0;  // the run's own clock, for its duration
  Tree resultDocument;
  Tree components;    // becomes "components"
  Tree systemStates;  // becomes "systemStates"
  SystemInfo systemInformation;  // the machine's facts, gathered by the system-information phase
  std::map<std::string, std::string> cpuFacts;  // processor facts for the CPU component
  // Set by any phase that failed, and at the end of the run when a child was ended at its bound;
  // never cleared.
  bool clientCrashed = false;
  // Drives whose core run brought benchmarks, parked for a sustained-write run, and those launched.
  PendingSustainedWrites pendingSustainedWrites;
  LaunchedSustainedWrites launchedSustainedWrites;
  uint32_t batchStart = 0;  // ms since mainStartTick, taken before the latest batch launch
};
