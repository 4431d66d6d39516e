#include <iostream>
#include <mutex>

#include "common/run_log.h"
#include "engine/phases.h"

void RunSystemInfoPhase(RunState& run) {
  {
    std::lock_guard<std::mutex> lock(logMutex);
    std::cout << "INFO: Checking OS support" << std::endl;
  }
  SystemInfo& info = run.systemInformation;
  info.GatherCpuAndSystemInfo();
  for (const auto& fact : info.systemInfo)
    run.resultDocument.add("systemInfo." + fact.first, fact.second);
  run.cpuFacts = info.componentInfo;
}
