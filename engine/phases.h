#pragma once
// The phases of a run, in the order main calls them.
#include "engine/run_state.h"

// Fills "systemInfo" of the document and the processor facts.
void RunSystemInfoPhase(RunState& run);
// Runs the CPU benchmark child and adds the CPU component.
void RunCpuPhase(RunState& run);
// Runs the RAM benchmark child and adds the latency state and the RAM component.
void RunRamPhase(RunState& run);
