#pragma once
// What one child may add to the run log. The log and the document hold every line a child logs,
// so a child that sends lines without end would otherwise grow the run engine until the run is
// lost. The caps are far above any real child: the most talkative one, the RAM benchmark in its
// debug mode, logs about a hundred lines of under a hundred bytes.
#include <cstddef>

constexpr unsigned long kChildLogLineCap = 10000;
constexpr unsigned long long kChildLogByteCap = 4 * 1024 * 1024;

class ChildLogBudget {
 public:
  explicit ChildLogBudget(unsigned long lineCap = kChildLogLineCap,
                          unsigned long long byteCap = kChildLogByteCap)
      : lineCap_(lineCap), byteCap_(byteCap) {}

  // Whether a line of `bytes` may still go to the log. The first line that would pass either cap
  // is refused, and so is every line after it, so that the log never holds stray pieces of a
  // flood; each refused line is counted.
  bool Admit(size_t bytes);

  unsigned long long droppedLines() const { return droppedLines_; }
  unsigned long long droppedBytes() const { return droppedBytes_; }

 private:
  unsigned long lineCap_;
  unsigned long long byteCap_;
  unsigned long lines_ = 0;
  unsigned long long bytes_ = 0;
  unsigned long long droppedLines_ = 0;
  unsigned long long droppedBytes_ = 0;
};
