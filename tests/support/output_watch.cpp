#include "tests/support/output_watch.h"

#include <algorithm>
#include <iostream>
#include <mutex>

#include "common/run_log.h"

namespace {
// "<cat><line, 5 columns> <seconds, 4 columns> <message>"
LogEntry ParseLogLine(const std::string& line) {
  size_t position = 2;
  for (size_t width : {size_t{5}, size_t{4}}) {
    size_t tokenEnd = line.find(' ', position);
    position = std::max(position + width, tokenEnd) + 1;
  }
  return {line.substr(0, 2), position <= line.size() ? line.substr(position) : std::string()};
}
}  // namespace

OutputWatch::OutputWatch(ConsoleMode console) {
  std::lock_guard<std::mutex> lock(logMutex);
  logStart_ = runLog.str().size();
  if (console == kConsoleCaptured) savedCout_ = std::cout.rdbuf(console_.rdbuf());
}

OutputWatch::~OutputWatch() {
  std::lock_guard<std::mutex> lock(logMutex);
  if (savedCout_ != nullptr) std::cout.rdbuf(savedCout_);
}

std::string OutputWatch::LogText() const {
  std::lock_guard<std::mutex> lock(logMutex);
  return runLog.str().substr(logStart_);
}

std::vector<std::string> OutputWatch::Lines() const {
  std::vector<std::string> lines;
  std::istringstream text(LogText());
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

std::vector<LogEntry> OutputWatch::Log() const {
  std::vector<LogEntry> entries;
  for (const std::string& line : Lines()) entries.push_back(ParseLogLine(line));
  return entries;
}

std::vector<std::string> OutputWatch::Messages() const {
  std::vector<std::string> messages;
  for (const LogEntry& entry : Log()) messages.push_back(entry.message);
  return messages;
}

int OutputWatch::Count(const std::string& message) const {
  const std::vector<std::string> messages = Messages();
  return static_cast<int>(std::count(messages.begin(), messages.end(), message));
}

std::string OutputWatch::Console() const {
  std::lock_guard<std::mutex> lock(logMutex);
  return console_.str();
}
