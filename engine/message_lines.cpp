#include "engine/message_lines.h"

#include <cstring>
#include <iostream>
#include <mutex>

#include "common/run_log.h"

namespace {
constexpr size_t kPrefixLength = 3;
}

void CutMessageLines(std::string& carried, const char* block, size_t length,
                     std::vector<std::string>& lines) {
  // Only the new bytes can hold a line feed that has not been seen yet.
  size_t searchFrom = carried.size();
  carried.append(block, length);
  size_t start = 0;
  for (;;) {
    size_t lf = carried.find('\n', searchFrom);
    if (lf == std::string::npos) break;
    size_t end = lf > start ? lf - 1 : start;
    lines.emplace_back(carried, start, end - start);
    start = lf + 1;
    searchFrom = start;
  }
  carried.erase(0, start);
}

MessageLineKind ClassifyMessageLine(const std::string& line) {
  if (line.compare(0, kPrefixLength, "C: ") == 0) return MessageLineKind::Console;
  if (line.compare(0, kPrefixLength, "S: ") == 0) return MessageLineKind::Log;
  if (line.compare(0, kPrefixLength, "B: ") == 0) return MessageLineKind::Both;
  if (line.compare(0, kPrefixLength, "R: ") == 0) return MessageLineKind::Result;
  return MessageLineKind::Unknown;
}

void RouteMessageLine(const std::string& line, std::string& result) {
  switch (ClassifyMessageLine(line)) {
    case MessageLineKind::Console: {
      std::lock_guard<std::mutex> lock(logMutex);
      std::cout.write(line.data() + kPrefixLength, line.size() - kPrefixLength);
      std::cout << '\n' << std::flush;
      break;
    }
    case MessageLineKind::Log:
      WriteLogLine(kLogS, __LINE__, line.substr(kPrefixLength));
      break;
    case MessageLineKind::Both:
      WriteLogLine(kLogB, __LINE__, line.substr(kPrefixLength));
      break;
    case MessageLineKind::Result:
      result.assign(line, kPrefixLength, std::string::npos);
      break;
    case MessageLineKind::Unknown:
      WriteLogLine(kLogS, __LINE__, "ERROR UNKNOWN CLIENT MESSAGE TYPE: " + line);
      break;
  }
}
