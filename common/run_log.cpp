#include "common/run_log.h"

#include <windows.h>
#include <mmsystem.h>

#include <iomanip>
#include <iostream>

#include "common/text_helpers.h"

namespace {
const char* const logCategoryPrefixes[] = {"C ", "S ", "B "};
}

void FormatLogLine(std::ostream& out, int category, int sourceLine, double seconds,
                   const std::string& message) {
  double rounded = RoundDecimals(2, seconds);
  out << logCategoryPrefixes[category];
  out.setf(std::ios::left, std::ios::adjustfield);
  out << std::setw(5) << sourceLine << ' ' << std::setw(4) << rounded << ' ' << message << '\n';
}

void WriteLogLine(int category, int sourceLine, const std::string& message) {
  std::lock_guard<std::mutex> lock(logMutex);
  double now = static_cast<double>(static_cast<unsigned long>(timeGetTime()));
  FormatLogLine(runLog, category, sourceLine, (now - runStartTime) / 1000.0, message);
  if (category == kLogB) {
    std::cout << message << '\n' << std::flush;
  }
}
