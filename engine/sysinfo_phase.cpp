#include "common/console_line.h"
#include "engine/phases.h"

void RunSystemInfoPhase(RunState& run) {
  ConsoleLine("INFO: Checking OS support");
  SystemInfo& info = run.systemInformation;
  info.GatherCpuAndSystemInfo();
  for (const auto& fact : info.systemInfo)
    run.resultDocument.add("systemInfo." + fact.first, fact.second);
  run.cpuFacts = info.componentInfo;
}
