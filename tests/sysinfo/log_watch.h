#pragma once
// Reads the run-log lines written since a test began.
#include <mutex>
#include <string>
#include <vector>

#include "common/run_log.h"

class LogWatch {
 public:
  LogWatch() : start_(Whole().size()) {}

  // The new lines, whole.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    const std::string text = Whole().substr(start_);
    size_t position = 0;
    for (size_t end; (end = text.find('\n', position)) != std::string::npos; position = end + 1) {
      lines.push_back(text.substr(position, end - position));
    }
    return lines;
  }

  // The new lines' messages, without the category, source line and seconds.
  std::vector<std::string> Messages() const {
    std::vector<std::string> messages;
    for (const std::string& line : Lines()) {
      size_t position = line.find_first_not_of(' ', 8);  // past "S ", the line field and a blank
      position = line.find(' ', position);               // past the seconds
      position = line.find_first_not_of(' ', position);
      messages.push_back(position == std::string::npos ? std::string() : line.substr(position));
    }
    return messages;
  }

  int Count(const std::string& message) const {
    int count = 0;
    for (const std::string& m : Messages()) count += m == message ? 1 : 0;
    return count;
  }

 private:
  static std::string Whole() {
    std::lock_guard<std::mutex> lock(logMutex);
    return runLog.str();
  }
  size_t start_;
};
