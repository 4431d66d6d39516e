#include "engine/message_lines.h"

#include <cstring>
#include <iostream>
#include <mutex>

#include "common/run_log.h"
#include "common/text_encoding.h"

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
  for (MessageLineKind kind : {MessageLineKind::Console, MessageLineKind::Log,
                               MessageLineKind::Both, MessageLineKind::Result}) {
    if (line.compare(0, kMessagePrefixLength, MessageLinePrefix(kind)) == 0) return kind;
  }
  return MessageLineKind::Unknown;
}

bool LogsMessageLine(MessageLineKind kind) {
  return kind != MessageLineKind::Console && kind != MessageLineKind::Result;
}

void RouteMessageLine(const std::string& line, MessageLineKind kind, std::string& result) {
  switch (kind) {
    case MessageLineKind::Console: {
      std::lock_guard<std::mutex> lock(logMutex);
      std::cout.write(line.data() + kMessagePrefixLength, line.size() - kMessagePrefixLength);
      std::cout << '\n' << std::flush;
      break;
    }
    case MessageLineKind::Log:
      WriteLogLine(kLogS, __LINE__, line.substr(kMessagePrefixLength));
      break;
    case MessageLineKind::Both:
      WriteLogLine(kLogB, __LINE__, line.substr(kMessagePrefixLength));
      break;
    case MessageLineKind::Result:
      // A child outside this repository may send Latin-1 bytes in its strings; taken as Latin-1
      // characters, its answer still parses. Valid UTF-8 stays as it came.
      result = Utf8OrLatin1(line.substr(kMessagePrefixLength));
      break;
    case MessageLineKind::Unknown:
      WriteLogLine(kLogS, __LINE__, "ERROR UNKNOWN CLIENT MESSAGE TYPE: " + line);
      break;
  }
}
