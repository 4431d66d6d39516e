#include "engine/phases.h"

void RunCpuPhase(RunState& run) {}
void RunRamPhase(RunState& run) {}
