#pragma once
// What the code under test wrote to the run log, and optionally printed through std::cout, since
// the watch began. Every test that reads the run log or the console reads it through this.
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

// One run-log line without its source line and seconds.
struct LogEntry {
  std::string category;  // "S " or "B "
  std::string message;
  bool operator==(const LogEntry& other) const {
    return category == other.category && message == other.message;
  }
};
inline std::ostream& operator<<(std::ostream& out, const LogEntry& entry) {
  return out << '[' << entry.category << "] " << entry.message;
}

class OutputWatch {
 public:
  enum ConsoleMode {
    kConsolePassesThrough,  // std::cout stays as it is (a test may capture standard output itself)
    kConsoleCaptured,       // std::cout writes into the watch until it ends
  };

  explicit OutputWatch(ConsoleMode console = kConsolePassesThrough);
  ~OutputWatch();
  OutputWatch(const OutputWatch&) = delete;
  OutputWatch& operator=(const OutputWatch&) = delete;

  // The run log's new text, whole lines with their headers.
  std::string LogText() const;
  std::vector<std::string> Lines() const;
  // The new lines, header parsed away.
  std::vector<LogEntry> Log() const;
  std::vector<std::string> Messages() const;
  // How many new lines carry exactly this message.
  int Count(const std::string& message) const;
  // What went to std::cout; empty unless the console is captured.
  std::string Console() const;

 private:
  size_t logStart_;
  std::ostringstream console_;
  std::streambuf* savedCout_ = nullptr;
};
