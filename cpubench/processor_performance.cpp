#include "cpubench/processor_performance.h"

#include <windows.h>

#include <string>

#include "common/run_log.h"
#include "cpubench/pdh_query.h"

bool HasProcessorPerformanceCounter(unsigned long major, unsigned long minor) {
  return major > 6 || (major == 6 && minor >= 2);
}

double AverageFiveSamples(const std::function<double()>& sample, const std::function<void()>& pause) {
  double sum = 0.0;
  try {
    sample();  // a rate counter's first value covers no known interval
    for (int i = 0; i < 5; ++i) {
      pause();
      sum += sample();
    }
  } catch (const CPdhQuery::CException& e) {
    WriteLogLine(kLogS, __LINE__, e.GetErrorMessage());
  }
  return sum / 5;
}

namespace {
bool RunsOnCounterVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
  return HasProcessorPerformanceCounter(info.dwMajorVersion, info.dwMinorVersion);
}
}  // namespace

double GetProcessorPerformancePercent() {
  if (!RunsOnCounterVersion()) return 0.0;

  static std::string feqPercPath;
  if (feqPercPath.empty()) {
    feqPercPath = "\\Processor Information(_Total)\\% Processor Performance";
    WriteLogLine(kLogS, __LINE__, "DEBUG: feqPercPath-> " + feqPercPath);
  }

  try {
    CPdhQuery query(feqPercPath);
    return AverageFiveSamples([&query] { return query.SampleValue(); }, [] { Sleep(10); });
  } catch (const CPdhQuery::CException& e) {
    WriteLogLine(kLogS, __LINE__, e.GetErrorMessage());
    return 0.0;
  }
}
