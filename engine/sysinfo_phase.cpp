#include "engine/phases.h"

void RunSystemInfoPhase(RunState& run) {}
