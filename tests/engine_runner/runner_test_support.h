#pragma once
// What the runner's tests share: the fake child's command line and a view of the run log and the
// console as the code under test writes them.
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

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

// The command line of the fake child beside the test program, quoted.
std::string FakeChildCommand();
// A request that makes the fake child follow the given script.
std::string ScriptRequest(const std::vector<std::string>& script);

// Captures what is logged and printed while it lives (the console through std::cout).
class RunOutputCapture {
 public:
  RunOutputCapture();
  ~RunOutputCapture();
  // Log entries added since the capture began, header parsed away.
  std::vector<LogEntry> Log() const;
  std::string Console() const;

 private:
  size_t logStart_;
  std::ostringstream console_;
  std::streambuf* savedCout_;
};
