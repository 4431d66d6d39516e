#include "runner_test_support.h"

#include <algorithm>
#include <iostream>
#include <mutex>
#include <nlohmann/json.hpp>

#include "common/run_log.h"
#include "tests/support/process_runner.h"

std::string FakeChildCommand() { return "\"" + BinDir() + "\\fake_child.exe\""; }

std::string ScriptRequest(const std::vector<std::string>& script) {
  nlohmann::json request;
  request["FAKE_SCRIPT"] = script;
  return request.dump();
}

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

RunOutputCapture::RunOutputCapture() {
  std::lock_guard<std::mutex> lock(logMutex);
  logStart_ = runLog.str().size();
  savedCout_ = std::cout.rdbuf(console_.rdbuf());
}

RunOutputCapture::~RunOutputCapture() {
  std::lock_guard<std::mutex> lock(logMutex);
  std::cout.rdbuf(savedCout_);
}

std::vector<LogEntry> RunOutputCapture::Log() const {
  std::string text;
  {
    std::lock_guard<std::mutex> lock(logMutex);
    text = runLog.str().substr(logStart_);
  }
  std::vector<LogEntry> entries;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) entries.push_back(ParseLogLine(line));
  return entries;
}

std::string RunOutputCapture::Console() const {
  std::lock_guard<std::mutex> lock(logMutex);
  return console_.str();
}
